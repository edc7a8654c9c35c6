// Every screen of the menus opened on the large site, as a user opens it from its menu item,
// until its windows have painted (the analysis registration screen has its own lines). Against
// the raw client library on the statements the screen shows: the first 100 rows of each list it
// has open, and the count of its main list where it has one.
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
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSet>
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

void pintaTudo(ScreenWindow* tela) {
    tela->grab();
}

} // namespace

void benchTelas(Database& db, const QString& site) {
    ProgramaBancada programa(site, QString());
    if (!programa.conectado()) {
        std::printf("every screen: the site did not connect\n");
        return;
    }
    TfrmMenuPrincipal* principal = programa.principal();
    for (const TelaRegistrada& r : telasRegistradas()) {
        // The registration screen has its own lines.
        if (r.nome.compare("frmCadastrodeAnalise", Qt::CaseInsensitive) == 0) continue;
        std::vector<double> nossa, crua;
        Listas listas;
        int linhas = 0;
        bool todos = false;
        for (int run = 0; run < 7; ++run) {
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
            pintaTudo(tela);
            programa.esperaContagem();
            nossa.push_back(t.nsecsElapsed() / 1e6);
            DataSet* ds = principal->dsAtual ? principal->dsAtual->dataSet() : nullptr;
            linhas = ds && ds->active() ? ds->recordCount() : 0;
            listas = listasDaTela(tela, ds);
            crua.push_back(bruto(db, listas));
            if (QMdiSubWindow* sub = tela->subWindow()) sub->close();
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
        std::printf("  (%d rows in its list; raw: %lld lists of 100 rows%s; target 1.5)\n", linhas,
                    static_cast<long long>(listas.primeiras.size()),
                    listas.contagem.isEmpty() ? "" : " and the count");
        if (programa.dialogs.messageCount())
            std::printf("  messages: %s\n", programa.dialogs.texts().join(" | ").toLocal8Bit().constData());
    }
}
