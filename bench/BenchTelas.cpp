// Every screen of the menus opened on the large site, as a user opens it from its menu item,
// until its windows have painted (the analysis registration screen has its own lines). Against
// the raw client library on the statements the screen shows (the first 100 rows of each list it
// has open, and the count of its main list where it has one) plus the same window built from
// the toolkit's plain widgets: a screen of a few rows costs mostly its widgets, which no
// statement accounts for. The ratio against the statements alone is printed beside.
#include "BenchComum.h"
#include "Bruto.h"
#include "ProgramaBancada.h"
#include "data/DataSource.h"
#include "data/Query.h"
#include "data/SqlText.h"
#include "screens/ScreenRegistry.h"
#include "screens/ScreenWindow.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBLookupCombo.h"
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <algorithm>
#include <cstdio>

using namespace bench;

namespace {

// "select first 100 ..." of a statement that names no parameter.
QString primeiras100(const QString& sql) {
    const QString t = sql.trimmed();
    return "select first 100 " + t.mid(6);
}

struct Listas {
    QStringList primeiras; // the first 100 rows of each open list of the screen
    QString contagem;      // the count of the main list, empty where there is none
};

// The open lists of a screen: the datasets of its data sources (its own and the drop-downs'),
// read from the screen itself. A statement with parameters is left out: its raw side would need
// the screen's values.
Listas listasDaTela(ScreenWindow* tela, DataSet* principal) {
    Listas l;
    QSet<const DataSet*> vistas;
    std::vector<DataSet*> abertas;
    for (DataSource* ds : tela->findChildren<DataSource*>())
        abertas.push_back(ds->dataSet());
    // The drop-downs' lists (the data module's people, representatives...), which the screen
    // reopens when it is activated.
    for (DBLookupCombo* c : tela->findChildren<DBLookupCombo*>())
        abertas.push_back(c->listDataSet());
    for (DataSet* aberta : abertas) {
        auto* q = dynamic_cast<Query*>(aberta);
        if (!q || !q->active() || vistas.contains(q) || !q->paramNames().isEmpty()) continue;
        vistas.insert(q);
        if (!q->sqlText().trimmed().startsWith("select", Qt::CaseInsensitive)) continue;
        l.primeiras.append(primeiras100(q->sqlText()));
    }
    if (auto* q = dynamic_cast<Query*>(principal); q && q->active() && q->paramNames().isEmpty())
        l.contagem =
            "select count(*) from (" + sql::beforeClause(q->sqlText(), "order by", Qt::CaseInsensitive) + ")";
    return l;
}

double bruto(Database& db, const Listas& l) {
    Bruto b(db);
    QElapsedTimer t;
    t.start();
    Firebird::ITransaction* tr = b.inicia();
    for (const QString& s : l.primeiras)
        b.todas(tr, s);
    if (!l.contagem.isEmpty()) b.inteiro(tr, l.contagem);
    b.confirma(tr);
    return t.nsecsElapsed() / 1e6;
}

// The screen as the toolkit alone would build it: for each control, the plain Qt widget it is
// made of, at the same place, with the same text, font and contents (the grid as a table of the
// rows it shows, each drop-down with the rows its list holds). Taken from the open screen before
// the clock starts; built, shown in the frame and painted on the raw side of the line, so the
// ratio is what the framework adds to the statements and the toolkit's own widgets.
struct Controle {
    enum Tipo { Caixa, Grupo, Abas, Tabela, Combo, Edicao, Memo, Marca, Rotulo, Botao, BotaoFerramenta };
    Tipo tipo = Caixa;
    QRect lugar;
    bool visivel = true;
    QString texto;
    QFont fonte;
    bool fontePropria = false;
    QIcon icone;
    bool marcado = false;
    QStringList itens;               // a combo's rows, a tab widget's captions, a table's header
    std::vector<QStringList> linhas; // a table's rows
    int atual = 0;
    std::vector<Controle> filhos; // a container's controls, a tab widget's pages
};

Controle retrata(const QWidget* w);

void retrataFilhos(const QWidget* w, Controle& c) {
    for (QObject* o : w->children())
        if (auto* f = qobject_cast<QWidget*>(o); f && !f->isWindow()) c.filhos.push_back(retrata(f));
}

Controle retrata(const QWidget* w) {
    Controle c;
    c.lugar = w->geometry();
    c.visivel = w->isVisibleTo(w->parentWidget());
    c.fonte = w->font();
    c.fontePropria = w->testAttribute(Qt::WA_SetFont);
    if (auto* t = qobject_cast<const QTabWidget*>(w)) {
        c.tipo = Controle::Abas;
        c.atual = t->currentIndex();
        for (int i = 0; i < t->count(); ++i) {
            c.itens << t->tabText(i);
            Controle pagina;
            pagina.lugar = t->widget(i)->geometry();
            retrataFilhos(t->widget(i), pagina);
            c.filhos.push_back(std::move(pagina));
        }
    } else if (auto* v = qobject_cast<const QAbstractItemView*>(w)) {
        c.tipo = Controle::Tabela;
        const QAbstractItemModel* m = v->model();
        for (int j = 0; m && j < m->columnCount(); ++j)
            c.itens << m->headerData(j, Qt::Horizontal).toString();
        for (int i = 0; m && i < m->rowCount(); ++i) {
            QStringList l;
            for (int j = 0; j < m->columnCount(); ++j)
                l << m->index(i, j).data().toString();
            c.linhas.push_back(l);
        }
    } else if (auto* cb = qobject_cast<const QComboBox*>(w)) {
        c.tipo = Controle::Combo;
        for (int i = 0; i < cb->count(); ++i)
            c.itens << cb->itemText(i);
        c.texto = cb->currentText();
    } else if (auto* e = qobject_cast<const QLineEdit*>(w)) {
        c.tipo = Controle::Edicao;
        c.texto = e->text();
    } else if (auto* p = qobject_cast<const QPlainTextEdit*>(w)) {
        c.tipo = Controle::Memo;
        c.texto = p->toPlainText();
    } else if (auto* x = qobject_cast<const QCheckBox*>(w)) {
        c.tipo = Controle::Marca;
        c.texto = x->text();
        c.marcado = x->isChecked();
    } else if (auto* r = qobject_cast<const QLabel*>(w)) {
        c.tipo = Controle::Rotulo;
        c.texto = r->text();
    } else if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
        c.tipo = qobject_cast<const QToolButton*>(w) ? Controle::BotaoFerramenta : Controle::Botao;
        c.texto = b->text();
        c.icone = b->icon();
    } else {
        c.tipo = qobject_cast<const QGroupBox*>(w) ? Controle::Grupo : Controle::Caixa;
        if (auto* g = qobject_cast<const QGroupBox*>(w)) c.texto = g->title();
        retrataFilhos(w, c);
    }
    return c;
}

QWidget* constroi(const Controle& c, QWidget* pai);

void constroiFilhos(const Controle& c, QWidget* pai) {
    for (const Controle& f : c.filhos)
        constroi(f, pai);
}

QWidget* constroi(const Controle& c, QWidget* pai) {
    QWidget* w = nullptr;
    switch (c.tipo) {
    case Controle::Abas: {
        auto* t = new QTabWidget(pai);
        for (size_t i = 0; i < c.filhos.size(); ++i) {
            auto* pagina = new QWidget;
            constroiFilhos(c.filhos[i], pagina);
            t->addTab(pagina, c.itens.value(static_cast<int>(i)));
        }
        t->setCurrentIndex(c.atual);
        w = t;
        break;
    }
    case Controle::Tabela: {
        auto* t = new QTableWidget(static_cast<int>(c.linhas.size()), static_cast<int>(c.itens.size()), pai);
        t->setHorizontalHeaderLabels(c.itens);
        for (size_t i = 0; i < c.linhas.size(); ++i)
            for (int j = 0; j < c.linhas[i].size(); ++j)
                t->setItem(static_cast<int>(i), j, new QTableWidgetItem(c.linhas[i][j]));
        w = t;
        break;
    }
    case Controle::Combo: {
        auto* cb = new QComboBox(pai);
        cb->addItems(c.itens);
        cb->setCurrentText(c.texto);
        w = cb;
        break;
    }
    case Controle::Edicao:
        w = new QLineEdit(c.texto, pai);
        break;
    case Controle::Memo:
        w = new QPlainTextEdit(c.texto, pai);
        break;
    case Controle::Marca: {
        auto* x = new QCheckBox(c.texto, pai);
        x->setChecked(c.marcado);
        w = x;
        break;
    }
    case Controle::Rotulo:
        w = new QLabel(c.texto, pai);
        break;
    case Controle::Botao:
    case Controle::BotaoFerramenta: {
        QAbstractButton* b = c.tipo == Controle::Botao ? static_cast<QAbstractButton*>(new QPushButton(pai))
                                                       : new QToolButton(pai);
        b->setText(c.texto);
        b->setIcon(c.icone);
        w = b;
        break;
    }
    case Controle::Grupo:
        w = new QGroupBox(c.texto, pai);
        constroiFilhos(c, w);
        break;
    case Controle::Caixa:
        w = new QWidget(pai);
        constroiFilhos(c, w);
        break;
    }
    if (c.fontePropria) w->setFont(c.fonte);
    w->setGeometry(c.lugar);
    if (!c.visivel) w->hide();
    return w;
}

// Builds the screen's plain twin in the frame, in a window of the screen's place and size, shows
// and paints it; the milliseconds it took.
double janelaCrua(QMdiArea* mdi, const Controle& tela, const QString& titulo, const QRect& moldura) {
    QElapsedTimer t;
    t.start();
    auto* raiz = new QWidget;
    constroiFilhos(tela, raiz);
    raiz->resize(tela.lugar.size());
    QMdiSubWindow* sub = mdi->addSubWindow(raiz);
    sub->setWindowTitle(titulo);
    // Left to itself the window would take the twin's size hint, which a root without a layout
    // does not give: it would show its title bar alone and paint none of the controls.
    sub->setGeometry(moldura);
    sub->show();
    // Painted as the program's screen is: by the event loop.
    ProgramaBancada::pump();
    const double ms = t.nsecsElapsed() / 1e6;
    sub->close();
    delete sub;
    return ms;
}

} // namespace

void benchTelas(Database& db, const QString& site) {
    ProgramaBancada programa(site, QString());
    if (!programa.conectado()) {
        std::printf("every screen: the site did not connect\n");
        return;
    }
    TfrmMenuPrincipal* principal = programa.principal();
    // The plain twins are shown in a frame of their own, of the same size, so they never touch
    // the program's frame.
    QMainWindow molduraCrua;
    auto* mdiCru = new QMdiArea;
    molduraCrua.setCentralWidget(mdiCru);
    molduraCrua.resize(principal->size());
    molduraCrua.show();
    ProgramaBancada::pump();
    // CTV_BENCH_TELAS names the screens to measure (comma-separated), for a profile of a few.
    const QStringList so = qEnvironmentVariable("CTV_BENCH_TELAS").split(',', Qt::SkipEmptyParts);
    for (const TelaRegistrada& r : telasRegistradas()) {
        // The registration screen has its own lines.
        if (r.nome.compare("frmCadastrodeAnalise", Qt::CaseInsensitive) == 0) continue;
        if (!so.isEmpty() && !so.contains(r.nome, Qt::CaseInsensitive)) continue;
        std::vector<double> nossa, crua, instrucoes, janela;
        Listas listas;
        int linhas = 0;
        bool todos = false;
        for (int run = 0; run < (so.isEmpty() ? 7 : 60); ++run) {
            QElapsedTimer t;
            t.start();
            ScreenWindow* tela = principal->abreTelaRegistrada(r.nome);
            ProgramaBancada::pump();
            if (!tela) break;
            // A record screen opens its list empty: the user's next key is Todos (F7), and the
            // rows it shows are what the opening is for.
            if (auto* q = principal->dsAtual ? dynamic_cast<Query*>(principal->dsAtual->dataSet()) : nullptr;
                q && q->active() && q->isEmpty() && q->sqlText().contains("0=1")) {
                principal->bttMostrarTodosClick();
                todos = true;
            }
            // Shown: what the event loop paints once the rows and the status bar's count are in.
            programa.esperaContagem(false);
            ProgramaBancada::pump();
            nossa.push_back(t.nsecsElapsed() / 1e6);
            DataSet* ds = principal->dsAtual ? principal->dsAtual->dataSet() : nullptr;
            linhas = ds && ds->active() ? ds->recordCount() : 0;
            listas = listasDaTela(tela, ds);
            Controle foto;
            foto.lugar = tela->rect();
            retrataFilhos(tela, foto);
            const QString titulo = tela->windowTitle();
            const QRect moldura = tela->subWindow() ? tela->subWindow()->geometry() : tela->geometry();
            if (QMdiSubWindow* sub = tela->subWindow()) sub->close();
            ProgramaBancada::pump();
            instrucoes.push_back(bruto(db, listas));
            janela.push_back(janelaCrua(mdiCru, foto, titulo, moldura));
            crua.push_back(instrucoes.back() + janela.back());
            ProgramaBancada::pump();
        }
        if (nossa.empty()) {
            std::printf("screen %s: did not open\n", r.nome.toLocal8Bit().constData());
            continue;
        }
        const QByteArray nome =
            ("screen \"" + r.caption + "\" open" + (todos ? QString(" and Todos") : QString())).toUtf8();
        if (listas.primeiras.isEmpty()) {
            std::printf("%s: ours %.2f ms (it opens no list of rows)\n", nome.constData(), mediana(nossa));
            continue;
        }
        linha(nome.constData(), mediana(nossa), mediana(crua));
        std::printf("  (%d rows in its list; raw: %lld lists of 100 rows%s, %.2f ms, ratio %.2f against "
                    "them alone, and the same window in plain widgets, %.2f ms; target 1.5)\n",
                    linhas, static_cast<long long>(listas.primeiras.size()),
                    listas.contagem.isEmpty() ? "" : " and the count", mediana(instrucoes),
                    mediana(nossa) / std::max(mediana(instrucoes), 1e-6), mediana(janela));
        if (programa.dialogs.messageCount())
            std::printf("  messages: %s\n", programa.dialogs.texts().join(" | ").toLocal8Bit().constData());
    }
}
