#include "Passeio.h"
#include "app/UnMenuPrincipal.h"
#include "data/Database.h"
#include "data/KeyAllocation.h"
#include "data/Query.h"
#include "platform/Clock.h"
#include "platform/Cp1252.h"
#include "platform/ErrorHook.h"
#include "screens/UnCadastroPadrao.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/FieldText.h"
#include "search/CampoCombo.h"
#include "search/UnOrdena.h"
#include "search/UnPesquisa.h"
#include "search/UnPesquisaPessoaComercio.h"
#include "support/UnErroSistema.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <cmath>

namespace {

void bombeia() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// A key to a widget that may be gone already (a window the last key closed).
void teclaEm(QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    if (w) QTest::keyClick(w, k, m);
}
void teclaEm(QWidget* w, char c) {
    if (w) QTest::keyClick(w, c);
}

QString nomeDe(const QWidget* w) {
    if (!w) return QStringLiteral("(nenhum)");
    QString n = w->objectName();
    if (n.isEmpty() && w->parentWidget())
        n = w->parentWidget()->objectName() + "/" + w->metaObject()->className();
    return n.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : n;
}

} // namespace

QString Passeio::resumido(const QString& t) {
    QString r = t;
    r.replace('\n', "\\n").replace('\t', "\\t");
    return r.size() > 40 ? r.left(37) + "...(" + QString::number(r.size()) + ")" : r;
}

Passeio::Passeio(Ambiente ambiente, quint64 semente)
    : m_amb(std::move(ambiente)), m_semente(semente), m_rng(semente), m_apresentador([this](QDialog& d) {
          auto& frm = static_cast<TfrmErroSistema&>(d);
          if (!frm.resultado.explicado || frm.it_bEncerrarSistemaAutomaticamente) {
              ++m_naoExplicados;
              m_relatos << (frm.it_bEncerrarSistemaAutomaticamente ? "(pede reinício) " : "") +
                               frm.errooriginal;
          }
          m_registro << "      relatório de erro: " + resumido(frm.mmErro->toPlainText());
          frm.close();
      }) {
    m_amb.dialogos->setResponder([this](const ScriptedDialogs::MessageCall& m) {
        const std::vector<MsgAnswer> r = answersOf(m.buttons);
        const MsgAnswer a = escolhe(r);
        m_registro << QStringLiteral("      pergunta \"%1\" -> %2")
                          .arg(resumido(m.text))
                          .arg(a == MsgAnswer::Yes  ? "Sim"
                               : a == MsgAnswer::No ? "Não"
                               : a == MsgAnswer::Ok ? "OK"
                                                    : "Cancelar");
        return a;
    });
}

Passeio::~Passeio() {
    m_amb.dialogos->setResponder({});
}

quint64 Passeio::sementeDoAmbiente(quint64 padrao) {
    const QByteArray v = qgetenv("CTV_PASSEIO_SEMENTE");
    bool ok = false;
    const quint64 s = v.toULongLong(&ok);
    return ok ? s : padrao;
}

int Passeio::inteiroDoAmbiente(const char* nome, int padrao) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(nome, &ok);
    return ok ? v : padrao;
}

QString Passeio::relatorio() const {
    QString r = QStringLiteral("Semente %1 (repetir com CTV_PASSEIO_SEMENTE=%1), %2 passos.\n")
                    .arg(m_semente)
                    .arg(m_passo);
    for (const QString& f : m_falhas)
        r += "FALHA: " + f + "\n";
    // CTV_PASSEIO_REGISTRO=tudo prints every step.
    const qsizetype ultimos = qgetenv("CTV_PASSEIO_REGISTRO") == "tudo" ? m_registro.size() : 150;
    const qsizetype inicio = std::max<qsizetype>(0, m_registro.size() - ultimos);
    r += "Últimos passos:\n" + m_registro.mid(inicio).join('\n');
    return r;
}

QString Passeio::resumo() const {
    QStringList l;
    for (const auto& [k, n] : m_contagem)
        l << QStringLiteral("%1 %2").arg(k).arg(n);
    return l.join(", ") + QStringLiteral(", gravações conferidas %1").arg(m_salvos);
}

void Passeio::falha(const QString& texto) {
    m_falhas << QStringLiteral("passo %1: %2").arg(m_passo).arg(texto);
}

TfrmCadastroPadrao* Passeio::cadastroAtivo() const {
    return dynamic_cast<TfrmCadastroPadrao*>(m_amb.principal->telaAtiva());
}

QWidget* Passeio::janelaAtiva() const {
    return m_amb.principal->telaAtiva();
}

void Passeio::executa(int passos, int segundos) {
    m_relogio.start();
    for (m_passo = 1; m_passo <= passos; ++m_passo) {
        if (segundos > 0 && m_relogio.elapsed() > qint64(segundos) * 1000) {
            m_registro << QStringLiteral("(tempo esgotado)");
            --m_passo;
            break;
        }
        if (m_amb.antesDoPasso) {
            const QString l = m_amb.antesDoPasso(m_passo, m_rng);
            if (!l.isEmpty()) m_registro << QStringLiteral("%1: %2").arg(m_passo).arg(l);
        }
        const std::vector<Pendente> antes = pendentes();
        const int mensagens = m_amb.dialogos->messageCount();
        const int relatos = m_naoExplicados;
        const int previas = m_amb.previas ? m_amb.previas() : 0;
        m_f6 = 0;
        m_dialogosNoPasso = 0;
        m_emPasso = true;
        agendaDialogos();
        try {
            passo();
        } catch (const std::exception& e) {
            falha(QStringLiteral("exceção fora do caminho dos eventos: %1").arg(e.what()));
        } catch (...) {
            falha(QStringLiteral("exceção fora do caminho dos eventos"));
        }
        bombeia();
        m_emPasso = false;
        if (QWidget* m = QApplication::activeModalWidget()) {
            falha("janela modal deixada aberta: " + nomeDe(m));
            m->close();
            bombeia();
        }
        if (m_naoExplicados > relatos)
            falha("relatório de erro sem explicação para um gesto do usuário: " +
                  m_relatos.mid(relatos).join(" | "));
        bool dataRecusada = false;
        for (int i = mensagens; i < m_amb.dialogos->messageCount(); ++i) {
            const auto& m = m_amb.dialogos->messages()[size_t(i)];
            if (m.buttons == MsgButtons::Ok)
                m_registro << QStringLiteral("      aviso \"%1\"").arg(resumido(m.text));
            if (m.text == QStringLiteral("Data inválida")) dataRecusada = true;
        }
        if (m_amb.previas && m_amb.previas() > previas) {
            m_registro << QStringLiteral("      relatório impresso");
            ++m_contagem["impressos"];
            // A print runs with what the fields show: never after one of them refused its date.
            if (dataRecusada) falha("um relatório foi impresso depois de uma data recusada no mesmo gesto");
        }
        confere(antes, mensagens);
        if (!m_falhas.isEmpty()) break;
    }
    m_passo = std::min(m_passo, passos);
}

// ---------------------------------------------------------------- steps

void Passeio::passo() {
    // An open drop-down list or calendar has the keyboard and the mouse: a key goes to it, a
    // click elsewhere closes it, as on the desktop.
    if (QWidget* popup = QApplication::activePopupWidget()) {
        static const std::pair<Qt::Key, const char*> teclas[] = {{Qt::Key_Escape, "Esc"},
                                                                 {Qt::Key_Return, "Enter"},
                                                                 {Qt::Key_Down, "seta para baixo"},
                                                                 {Qt::Key_Up, "seta para cima"},
                                                                 {Qt::Key_F3, "F3"},
                                                                 {Qt::Key_F7, "F7"},
                                                                 {Qt::Key_F2, "F2"}};
        ++m_contagem["lista aberta"];
        if (chance(30)) {
            m_registro << QStringLiteral("%1: clica fora da lista aberta %2").arg(m_passo).arg(nomeDe(popup));
            popup->close();
            return;
        }
        const auto& [k, nome] = teclas[ate(int(std::size(teclas)))];
        QWidget* alvo = popup->focusWidget() ? popup->focusWidget() : popup;
        m_registro
            << QStringLiteral("%1: tecla %2 na lista aberta %3").arg(m_passo).arg(nome).arg(nomeDe(alvo));
        teclaEm(alvo, k);
        return;
    }
    if (!janelaAtiva() || m_amb.principal->telasAbertas().isEmpty()) {
        abreTela();
        return;
    }
    // A changed record is saved more often than a random key would: the saves are what the
    // checks weigh.
    if (TfrmCadastroPadrao* t = cadastroAtivo()) {
        DataSet* ds = t->dsPadrao.dataSet();
        QWidget* alvo = QApplication::focusWidget();
        if (ds && ds->modified() && alvo && chance(12)) {
            ++m_contagem["tecla"];
            m_registro << QStringLiteral("%1: tecla F3 em %2").arg(m_passo).arg(nomeDe(alvo));
            teclaEm(alvo, Qt::Key_F3);
            return;
        }
    }
    const int r = ate(100);
    // A report screen has no list: its buttons (print, workbook) get the grid's share.
    if (!cadastroAtivo() && r >= 84) {
        clicaBotao();
        return;
    }
    if (r < 4)
        abreTela();
    else if (r < 34)
        tecla();
    else if (r < 54)
        focaControle();
    else if (r < 84)
        digita();
    else if (r < 92)
        clicaBotao();
    else
        grade();
}

void Passeio::abreTela() {
    const QString nome = escolhe(std::vector<QString>(m_amb.telas.begin(), m_amb.telas.end()));
    ++m_contagem["abre"];
    m_registro << QStringLiteral("%1: abre %2").arg(m_passo).arg(nome);
    guarded([&] { m_amb.principal->abreTelaRegistrada(nome); });
    bombeia();
}

void Passeio::tecla() {
    struct T {
        Qt::Key k;
        Qt::KeyboardModifiers m;
        const char* nome;
        int peso;
    };
    static const T teclas[] = {
        {Qt::Key_F2, Qt::NoModifier, "F2", 10},
        {Qt::Key_F3, Qt::NoModifier, "F3", 14},
        {Qt::Key_F4, Qt::NoModifier, "F4", 3},
        {Qt::Key_F5, Qt::NoModifier, "F5", 3},
        {Qt::Key_F6, Qt::NoModifier, "F6", 5},
        {Qt::Key_F7, Qt::NoModifier, "F7", 8},
        {Qt::Key_F8, Qt::NoModifier, "F8", 5},
        {Qt::Key_F9, Qt::NoModifier, "F9", 4},
        {Qt::Key_F12, Qt::NoModifier, "F12", 5},
        {Qt::Key_Escape, Qt::NoModifier, "Esc", 3},
        {Qt::Key_Home, Qt::AltModifier, "Alt+Home", 3},
        {Qt::Key_Left, Qt::AltModifier, "Alt+Left", 4},
        {Qt::Key_Right, Qt::AltModifier, "Alt+Right", 4},
        {Qt::Key_End, Qt::AltModifier, "Alt+End", 3},
        {Qt::Key_Tab, Qt::NoModifier, "Tab", 10},
        {Qt::Key_Return, Qt::NoModifier, "Enter", 3},
    };
    int total = 0;
    for (const T& t : teclas)
        total += t.peso;
    int r = ate(total);
    const T* escolhida = &teclas[0];
    for (const T& t : teclas) {
        if (r < t.peso) {
            escolhida = &t;
            break;
        }
        r -= t.peso;
    }
    QWidget* alvo = QApplication::focusWidget();
    if (!alvo) alvo = janelaAtiva();
    ++m_contagem["tecla"];
    m_registro << QStringLiteral("%1: tecla %2 em %3").arg(m_passo).arg(escolhida->nome).arg(nomeDe(alvo));
    if (escolhida->k == Qt::Key_F6 && escolhida->m == Qt::NoModifier) m_f6 = 1;
    teclaEm(alvo, escolhida->k, escolhida->m);
}

void Passeio::focaControle() {
    QWidget* tela = janelaAtiva();
    if (!tela) return;
    std::vector<QWidget*> candidatos;
    for (QWidget* w : tela->findChildren<QWidget*>()) {
        if (!w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::ClickFocus)) continue;
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QTabBar*>(w)) continue;
        if (qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parentWidget())) continue;
        if (w->inherits("QAbstractScrollArea") && !qobject_cast<QPlainTextEdit*>(w) &&
            !qobject_cast<QTextEdit*>(w) && !qobject_cast<DBGrid*>(w))
            continue;
        candidatos.push_back(w);
    }
    if (candidatos.empty()) return;
    QWidget* w = escolhe(candidatos);
    ++m_contagem["foco"];
    m_registro << QStringLiteral("%1: clica em %2").arg(m_passo).arg(nomeDe(w));
    QWidget* alvo = w;
    if (auto* c = qobject_cast<QComboBox*>(w); c && c->lineEdit()) alvo = c->lineEdit();
    if (auto* a = qobject_cast<QAbstractScrollArea*>(w)) alvo = a->viewport();
    QTest::mouseClick(alvo, Qt::LeftButton, {}, QPoint(std::min(10, alvo->width() / 2), alvo->height() / 2));
}

QString Passeio::valorAleatorio() {
    static const char* const valores[] = {// dates, possible and impossible
                                          "15/03/2024", "01/01/2000", "31/12/2023", "31/02/2024",
                                          "29/02/2023", "00/00/0000", "99/99/9999", "1/1", "29/02/2024",
                                          // numbers
                                          "0", "7", "42", "1.234,56", "-3,5", "12,345", "1.000",
                                          "999999999999999999999", "1e5", "3,14159265", "abc",
                                          // text, also hostile
                                          "Teste", "Água Fria – ação", "O'Brien",
                                          "'; delete from tab_tp_analise; --", "recorder where order by x",
                                          "%_*?", "€ “aspas” ‘simples’", "日本語", "emoji \xF0\x9F\x98\x80",
                                          "   ", "ÿþý", "a\"b", "Caldeira 01", "linha\tcom tab"};
    const int n = int(sizeof valores / sizeof *valores);
    const int r = ate(n + 3);
    if (r == n) return QString(ate(2) ? 120 : 400, QChar('x'));
    if (r == n + 1) return QString();
    if (r == n + 2) return QString::number(ate(100000));
    return QString::fromUtf8(valores[r]);
}

void Passeio::digitaTexto(QWidget* alvo, const QString& texto) {
    const QList<uint> pontos = texto.toUcs4();
    for (uint c : pontos) {
        if (!alvo || QApplication::focusWidget() != alvo) break;
        if (c < 128 && c >= 32)
            teclaEm(alvo, char(c));
        else if (c == '\t')
            teclaEm(alvo, Qt::Key_Tab);
        else
            QTest::sendKeyEvent(QTest::Click, alvo, Qt::Key_unknown,
                                QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1), Qt::NoModifier);
    }
}

void Passeio::digita() {
    QPointer<QWidget> alvo = QApplication::focusWidget();
    if (!alvo || alvo->window() != m_amb.principal) return;
    ++m_contagem["digita"];
    if (auto* c = qobject_cast<QComboBox*>(alvo.data()); c && !c->isEditable()) {
        static const Qt::Key k[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End, Qt::Key_PageDown};
        const Qt::Key t = k[ate(5)];
        m_registro << QStringLiteral("%1: escolhe na lista %2 (tecla %3)")
                          .arg(m_passo)
                          .arg(nomeDe(alvo))
                          .arg(int(t));
        teclaEm(alvo, t);
        return;
    }
    if (qobject_cast<QCheckBox*>(alvo.data())) {
        m_registro << QStringLiteral("%1: marca %2").arg(m_passo).arg(nomeDe(alvo));
        teclaEm(alvo, Qt::Key_Space);
        return;
    }
    if (qobject_cast<DBGrid*>(alvo.data()) || qobject_cast<QAbstractButton*>(alvo.data())) {
        teclaEm(alvo, ate(2) ? Qt::Key_Down : Qt::Key_Up);
        m_registro << QStringLiteral("%1: seta em %2").arg(m_passo).arg(nomeDe(alvo));
        return;
    }
    QString v = valorAleatorio();
    auto* le = qobject_cast<QLineEdit*>(alvo.data());
    if (le && !le->inputMask().isEmpty()) v.remove('/');
    const bool limpa = chance(75);
    m_registro << QStringLiteral("%1: digita \"%2\" em %3%4")
                      .arg(m_passo)
                      .arg(resumido(v))
                      .arg(nomeDe(alvo))
                      .arg(limpa ? " (apagando antes)" : "");
    if (limpa) {
        teclaEm(alvo, Qt::Key_A, Qt::ControlModifier);
        if (alvo) teclaEm(alvo, Qt::Key_Backspace);
    }
    if (alvo) digitaTexto(alvo, v);
    confereAlfabeto(alvo);
}

void Passeio::confereAlfabeto(QWidget* alvo) {
    // What a box holds goes to the database (or to a query of it): a character the database
    // cannot hold is refused as it is typed, never kept to fail later.
    QString texto;
    if (!alvo || m_amb.caixasLivres.contains(alvo->objectName())) return;
    if (auto* le = qobject_cast<QLineEdit*>(alvo))
        texto = le->text();
    else if (auto* pt = qobject_cast<QPlainTextEdit*>(alvo))
        texto = pt->toPlainText();
    else
        return;
    const qsizetype i = cp1252::firstUnencodable(texto);
    if (i >= 0)
        falha(QStringLiteral("%1 aceitou o caractere \"%2\", que o banco de dados não guarda")
                  .arg(nomeDe(alvo), texto.mid(i, texto.at(i).isHighSurrogate() ? 2 : 1)));
}

void Passeio::clicaBotao() {
    QWidget* tela = janelaAtiva();
    if (!tela) return;
    std::vector<QAbstractButton*> botoes;
    for (QAbstractButton* b : tela->findChildren<QAbstractButton*>()) {
        if (!b->isVisible() || !b->isEnabled()) continue;
        // Printing opens the report preview; the calendar is a popup of its own.
        if ((!m_amb.previas && b->text().contains("Imprimir")) || b->objectName() == "btnCalendario")
            continue;
        if (qobject_cast<QCheckBox*>(b) && b->objectName().isEmpty()) continue;
        botoes.push_back(b);
    }
    if (botoes.empty()) {
        m_registro << QStringLiteral("%1: nenhum botão em %2").arg(m_passo).arg(nomeDe(tela));
        return;
    }
    QAbstractButton* b = escolhe(botoes);
    ++m_contagem["botao"];
    if (b->text().contains("Imprimir")) ++m_contagem["botao imprimir"];
    m_registro << QStringLiteral("%1: clica no botão %2 \"%3\"").arg(m_passo).arg(nomeDe(b)).arg(b->text());
    QTest::mouseClick(b, Qt::LeftButton);
}

void Passeio::grade() {
    TfrmCadastroPadrao* tela = cadastroAtivo();
    if (!tela) return;
    ++m_contagem["grade"];
    if (tela->pc && tela->pc->tabBar()->isVisible() && chance(40)) {
        QTabBar* barra = tela->pc->tabBar();
        std::vector<int> abas;
        for (int i = 0; i < barra->count(); ++i)
            if (barra->isTabVisible(i) && barra->isTabEnabled(i)) abas.push_back(i);
        if (!abas.empty()) {
            const int a = escolhe(abas);
            m_registro << QStringLiteral("%1: clica na aba \"%2\"").arg(m_passo).arg(barra->tabText(a));
            QTest::mouseClick(barra, Qt::LeftButton, {}, barra->tabRect(a).center());
            return;
        }
    }
    DBGrid* g = tela->DBGrid1;
    if (!g || !g->isVisible() || g->model()->rowCount() == 0) {
        m_registro << QStringLiteral("%1: tecla F12 (para a grade)").arg(m_passo);
        QWidget* alvo = QApplication::focusWidget() ? QApplication::focusWidget() : tela;
        teclaEm(alvo, Qt::Key_F12);
        return;
    }
    const int linha = ate(g->model()->rowCount());
    const QRect r = g->visualRect(g->model()->index(linha, 0));
    m_registro << QStringLiteral("%1: clica na linha %2 da grade").arg(m_passo).arg(linha);
    if (r.isValid())
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    else
        teclaEm(g, Qt::Key_PageDown);
}

// ---------------------------------------------------------------- modal windows

void Passeio::agendaDialogos() {
    QTimer::singleShot(0, &m_vida, [this] {
        if (!m_emPasso) return;
        if (QApplication::activeModalWidget())
            conduzDialogo();
        else
            agendaDialogos();
    });
}

void Passeio::conduzDialogo() {
    QPointer<QWidget> d = QApplication::activeModalWidget();
    if (!d) return;
    // A window that keeps coming back is closed unread after a few rounds.
    if (++m_dialogosNoPasso > 4) {
        d->close();
        agendaDialogos();
        return;
    }
    d->activateWindow();
    QApplication::setActiveWindow(d);
    QApplication::processEvents();
    m_registro << "      janela " + nomeDe(d);
    if (qobject_cast<TfrmPesquisa*>(d.data()))
        conduzPesquisa(d);
    else if (qobject_cast<TfrmOrdena*>(d.data()))
        conduzOrdena(d);
    else if (qobject_cast<TfrmPesquisaPessoaComercio*>(d.data()))
        conduzPesquisaPessoa(d);
    if (d && d->isVisible()) d->close();
    // A window the first one opened, or the next one of the step.
    agendaDialogos();
}

void Passeio::conduzPesquisa(QWidget* janela) {
    QPointer<TfrmPesquisa> d = static_cast<TfrmPesquisa*>(janela);
    const int linhas = 1 + ate(3);
    for (int l = 0; l < linhas && d; ++l) {
        const int linha = ate(3);
        CampoCombo* cb = d->caixa(linha);
        if (!cb || !cb->isEnabled()) continue;
        const QStringList rotulos = cb->rotulos();
        if (rotulos.isEmpty()) continue;
        const QString r = rotulos[ate(int(rotulos.size()))];
        QString texto = chance(30) ? r.left(1 + ate(int(r.size()))) : r;
        m_registro << QStringLiteral("      campo %1 da linha %2").arg(texto).arg(linha + 1);
        QTest::mouseClick(cb->lineEdit(), Qt::LeftButton);
        teclaEm(cb->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        digitaTexto(cb->lineEdit(), texto);
        if (!d) return;
        teclaEm(QApplication::focusWidget(), Qt::Key_Tab);
        if (!d) return;
        const size_t i = size_t(linha);
        QPointer<QWidget> editor;
        if (d->Me[i] && d->Me[i]->isVisible())
            editor = d->Me[i];
        else if (d->ce[i] && d->ce[i]->isVisible())
            editor = chance(50) || !d->ceb[i] ? static_cast<QWidget*>(d->ce[i]) : d->ceb[i];
        else if (d->de[i] && d->de[i]->isVisible())
            editor = chance(50) || !d->deb[i] ? static_cast<QWidget*>(d->de[i]) : d->deb[i];
        else if (d->ch[i] && d->ch[i]->isVisible())
            editor = d->ch[i];
        if (!editor || !editor->isEnabled()) continue;
        if (auto* c = qobject_cast<QCheckBox*>(editor.data())) {
            QTest::mouseClick(c, Qt::LeftButton);
            continue;
        }
        QString v = valorAleatorio();
        if (auto* le = qobject_cast<QLineEdit*>(editor.data()); le && !le->inputMask().isEmpty())
            v.remove('/');
        m_registro << QStringLiteral("      valor \"%1\"").arg(resumido(v));
        QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(5, editor->height() / 2));
        if (!d || !editor) return;
        teclaEm(editor, Qt::Key_A, Qt::ControlModifier);
        teclaEm(editor, Qt::Key_Backspace);
        digitaTexto(editor, v);
        confereAlfabeto(editor);
    }
    if (!d) return;
    QPushButton* botoes[] = {d->bttAplicar, d->bttMostrarTodos, d->bttPesquisar, d->BitBtn1};
    QPushButton* b = botoes[ate(4)];
    m_registro << QStringLiteral("      botão \"%1\"").arg(b->text());
    if (b->isEnabled()) QTest::mouseClick(b, Qt::LeftButton);
}

void Passeio::conduzOrdena(QWidget* janela) {
    QPointer<TfrmOrdena> d = static_cast<TfrmOrdena*>(janela);
    const int linhas = 1 + ate(3);
    for (int l = 0; l < linhas && d; ++l) {
        const int linha = ate(3);
        CampoCombo* cb = d->caixa(linha);
        if (!cb || !cb->isEnabled() || cb->rotulos().isEmpty()) continue;
        const QStringList rotulos = cb->rotulos();
        const QString r = rotulos[ate(int(rotulos.size()))];
        m_registro << QStringLiteral("      ordem por %1 na linha %2").arg(r).arg(linha + 1);
        QTest::mouseClick(cb->lineEdit(), Qt::LeftButton);
        teclaEm(cb->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        digitaTexto(cb->lineEdit(), chance(30) ? r.left(2) : r);
        if (!d) return;
        teclaEm(QApplication::focusWidget(), Qt::Key_Tab);
        if (d && chance(30) && d->inversa(linha)->isEnabled())
            QTest::mouseClick(d->inversa(linha), Qt::LeftButton);
    }
    if (!d) return;
    QPushButton* botoes[] = {d->bttAplicar, d->bttOrdena, d->BitBtn1};
    QPushButton* b = botoes[ate(3)];
    m_registro << QStringLiteral("      botão \"%1\"").arg(b->text());
    if (b->isEnabled()) QTest::mouseClick(b, Qt::LeftButton);
}

void Passeio::conduzPesquisaPessoa(QWidget* janela) {
    QPointer<TfrmPesquisaPessoaComercio> d = static_cast<TfrmPesquisaPessoaComercio*>(janela);
    QLineEdit* caixas[] = {d->mskCodigo, d->mskParteNome, d->mskCNPJ_CPF, d->mskParteCodigo,
                           d->mskInicioNome};
    QLineEdit* e = caixas[ate(5)];
    const QString v = valorAleatorio();
    m_registro << QStringLiteral("      digita \"%1\" em %2").arg(resumido(v)).arg(e->objectName());
    QTest::mouseClick(e, Qt::LeftButton);
    digitaTexto(e, v);
    confereAlfabeto(e);
    if (!d) return;
    if (QApplication::focusWidget()) teclaEm(QApplication::focusWidget(), Qt::Key_Return);
    if (d && chance(50) && QApplication::focusWidget()) teclaEm(QApplication::focusWidget(), Qt::Key_Return);
}
