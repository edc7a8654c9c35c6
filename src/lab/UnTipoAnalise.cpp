#include "lab/UnTipoAnalise.h"
#include "data/DataContext.h"
#include "data/Database.h"
#include "data/DatabaseError.h"
#include "data/UndmPadrao.h"
#include "lab/ResultadosCalculados.h"
#include "platform/Clock.h"
#include "platform/Cp1252.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/PaginasTela.h"
#include "screens/controls/TextoColuna.h"
#include "support/UnProgressoGeral.h"
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextCursor>
#include <utility>

namespace {

const QLocale& ptBR() {
    static const QLocale l(QLocale::Portuguese, QLocale::Brazil);
    return l;
}

QString textoResultado(double v) {
    QString s = ptBR().toString(formula::arredondaResultado(v), 'f', 4);
    // Four decimals at most, without trailing zeros.
    while (s.endsWith('0'))
        s.chop(1);
    if (s.endsWith(',')) s.chop(1);
    return s;
}

} // namespace

TfrmTipoAnalise::TfrmTipoAnalise(QWidget* parent)
    : TfrmCadastroPadrao("frmTipoAnalise", listaDoModulo(&TdmPadrao::IBQ_TipoAnalise), parent) {
    setWindowTitle("Tipo de Ánalise");
    auto* lay = new QGridLayout(pagFicha);
    auto* lbl = new QLabel("Tipo de Ánalise", pagFicha);
    edtNome = new DBEdit(pagFicha, &dsPadrao, "NM_TP_ANALISE", "DBEdit1");
    lbl->setBuddy(edtNome);
    lay->addWidget(lbl, 0, 0);
    lay->addWidget(edtNome, 1, 0);

    pcTipo = new PaginasTela(pagFicha);
    pcTipo->setObjectName("pcTipo");
    auto* pagFormula = new QWidget(pcTipo);
    pagFormula->setObjectName("tsFormula");
    pcTipo->addTab(pagFormula, "Código e Fórmula");
    auto* g = new QGridLayout(pagFormula);
    auto* lblCodigo = new QLabel("Código (nome do tipo nas fórmulas)", pagFormula);
    edtCodigo = new QLineEdit(pagFormula);
    edtCodigo->setObjectName("edtCodigo");
    edtCodigo->setMaxLength(15);
    lblCodigo->setBuddy(edtCodigo);
    auto* lblFormula = new QLabel("Fórmula (vazia: valor medido)", pagFormula);
    edtFormula = new QPlainTextEdit(pagFormula);
    edtFormula->setObjectName("edtFormula");
    edtFormula->setTabChangesFocus(true);
    edtFormula->setFixedHeight(edtFormula->fontMetrics().lineSpacing() * 3 + 12);
    edtFormula->setToolTip("Vírgula decimal, \";\" entre argumentos; + - * / ^, log10, ln, exp, sqrt, abs, "
                           "min, max e condição ? valor : outro");
    lblFormula->setBuddy(edtFormula);
    lblVerificacao = new QLabel(pagFormula);
    lblVerificacao->setObjectName("lblVerificacao");
    lblVerificacao->setWordWrap(true);
    auto* lblTesteTitulo = new QLabel("Testar com os valores (CÓDIGO=valor; ...)", pagFormula);
    edtTeste = new QLineEdit(pagFormula);
    edtTeste->setObjectName("edtTeste");
    lblTesteTitulo->setBuddy(edtTeste);
    lblTeste = new QLabel(pagFormula);
    lblTeste->setObjectName("lblTeste");
    lblTeste->setWordWrap(true);
    btnSalvarFormula = new QPushButton("Salvar Fórmula", pagFormula);
    btnSalvarFormula->setObjectName("btnSalvarFormula");
    auto* lblPeriodo = new QLabel("Recalcular as análises coletadas de", pagFormula);
    dtInicio = new DBDateEdit(pagFormula, "dtInicio");
    auto* lblAte = new QLabel("a", pagFormula);
    dtFim = new DBDateEdit(pagFormula, "dtFim");
    btnRecalcular = new QPushButton("Recalcular", pagFormula);
    btnRecalcular->setObjectName("btnRecalcular");
    for (QPushButton* b : {btnSalvarFormula, btnRecalcular})
        b->setAutoDefault(false);
    g->addWidget(lblCodigo, 0, 0, 1, 4);
    g->addWidget(edtCodigo, 1, 0, 1, 2);
    g->addWidget(lblFormula, 2, 0, 1, 4);
    g->addWidget(edtFormula, 3, 0, 1, 4);
    g->addWidget(lblVerificacao, 4, 0, 1, 4);
    g->addWidget(lblTesteTitulo, 5, 0, 1, 4);
    g->addWidget(edtTeste, 6, 0, 1, 4);
    g->addWidget(lblTeste, 7, 0, 1, 4);
    g->addWidget(btnSalvarFormula, 8, 3);
    g->addWidget(lblPeriodo, 9, 0);
    g->addWidget(dtInicio, 9, 1);
    g->addWidget(lblAte, 9, 2);
    g->addWidget(dtFim, 9, 3);
    g->addWidget(btnRecalcular, 10, 3);
    g->setRowStretch(11, 1);
    lay->addWidget(pcTipo, 2, 0);
    lay->setRowStretch(2, 1);
    setTabOrder(edtNome, edtCodigo);
    setTabOrder(edtCodigo, edtFormula);
    setTabOrder(edtFormula, edtTeste);
    setTabOrder(edtTeste, btnSalvarFormula);
    setTabOrder(btnSalvarFormula, dtInicio);
    setTabOrder(dtInicio, dtFim);
    setTabOrder(dtFim, btnRecalcular);

    connect(edtCodigo, &QLineEdit::textChanged, this, [this] {
        if (!m_carregando) verifica();
    });
    // Code, formula and test values take only what the database can hold (Windows-1252): a
    // character outside it is refused as it is typed or pasted, and what was there stays.
    const auto nome = [](QWidget* w, const char* rotulo) {
        return
            [w, rotulo] { return textocoluna::nomeDoCampo(w, QString::fromUtf8(rotulo), w->objectName()); };
    };
    TextoColunaValidator::install(edtCodigo, 15, true, nome(edtCodigo, "Código"));
    TextoColunaValidator::install(edtTeste, 0, true, nome(edtTeste, "Teste"));
    connect(edtFormula, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = edtFormula->toPlainText();
        if (const qsizetype at = cp1252::firstUnencodable(t); at >= 0) {
            const QSignalBlocker bloqueio(edtFormula);
            edtFormula->setPlainText(m_formulaAceita);
            edtFormula->moveCursor(QTextCursor::End);
            warn(cp1252::refusal("O campo \"Fórmula\"", t, at));
            return;
        }
        m_formulaAceita = t;
        if (!m_carregando) verifica();
    });
    connect(edtTeste, &QLineEdit::textChanged, this, [this] { testa(); });
    connect(btnSalvarFormula, &QPushButton::clicked, this,
            [this] { guarded([this] { btnSalvarFormulaClick(); }); });
    connect(btnRecalcular, &QPushButton::clicked, this,
            [this] { guarded([this] { btnRecalcularClick(); }); });
    dsPadrao.subscribe([this](const DataEventInfo& e) {
        if (e.kind == DataEvent::RecordChanged || e.kind == DataEvent::StateChanged ||
            e.kind == DataEvent::RowsReset)
            guarded([this] { aoMudarRegistro(); });
    });

    montaGrade({{"NM_TP_ANALISE", "Tipo de Análise", 380}});
    resize(560, 420);
}

void TfrmTipoAnalise::FormShow() {
    const QDate hoje = appClock().today();
    dtInicio->setDate(QDate(hoje.year(), 1, 1));
    dtFim->setDate(hoje);
    TfrmCadastroPadrao::FormShow();
    LeCatalogo();
    aoMudarRegistro();
    m_recemAberta = true;
}

int TfrmTipoAnalise::idAtual() const {
    DataSet* ds = dsPadrao.dataSet();
    if (!ds || !ds->active() || ds->isEmpty() || ds->state() == DataSetState::Insert) return 0;
    Field* f = ds->findField("ID_TP_ANALISE");
    return f && !f->isNull() ? f->value().toInt() : 0;
}

bool TfrmTipoAnalise::formulaAlterada() const {
    return m_idCarregado > 0 && (edtCodigo->text().trimmed() != m_codigoGravado ||
                                 edtFormula->toPlainText().trimmed() != m_formulaGravada);
}

void TfrmTipoAnalise::aoMudarRegistro() {
    const int id = idAtual();
    if (id == m_idCarregado) return;
    // A changed formula is not dropped silently when the record moves on.
    if (formulaAlterada() && ask("A fórmula de \"" + m_catalogo.tipo(m_idCarregado)->nome +
                                 "\" foi alterada e não foi salva. Salvar a fórmula?") == MsgAnswer::Yes) {
        try {
            gravaFormula(*dataContext().IBSolution, m_idCarregado, edtCodigo->text().trimmed(),
                         edtFormula->toPlainText().trimmed());
        } catch (const DatabaseError&) {
            CarregaFormula();
            throw;
        } catch (const AppError& e) {
            warn(e.message() + "\rA fórmula não foi salva.");
        }
        LeCatalogo();
    }
    CarregaFormula();
}

void TfrmTipoAnalise::LeCatalogo() {
    const DataContext& ctx = dataContext();
    if (!ctx.IBSolution || !ctx.IBSolution->connected()) return;
    Transaction tr(ctx.IBSolution);
    tr.start();
    m_catalogo = formula::Catalogo::le(*ctx.IBSolution, tr);
    tr.commit();
}

void TfrmTipoAnalise::FormActivate() {
    TfrmCadastroPadrao::FormActivate();
    // The activation that follows the opening finds the catalogue just read.
    if (std::exchange(m_recemAberta, false)) return;
    // Formulas that another workstation saved meanwhile.
    if (!formulaAlterada()) {
        LeCatalogo();
        m_idCarregado = -1;
        CarregaFormula();
    }
}

void TfrmTipoAnalise::CarregaFormula() {
    const int id = idAtual();
    // A type not yet in the catalogue (no code, no formula) still has its name for messages.
    if (id > 0 && !m_catalogo.tipo(id)) {
        formula::TipoFormula t;
        t.id = id;
        t.nome = dsPadrao.dataSet()->fieldByName("NM_TP_ANALISE")->asString();
        m_catalogo.define(t);
    }
    const formula::TipoFormula* t = id > 0 ? m_catalogo.tipo(id) : nullptr;
    m_idCarregado = id;
    m_codigoGravado = t ? t->codigo : QString();
    m_formulaGravada = t ? t->formula : QString();
    m_carregando = true;
    edtCodigo->setText(m_codigoGravado);
    edtFormula->setPlainText(m_formulaGravada);
    m_carregando = false;
    for (QWidget* w : std::initializer_list<QWidget*>{edtCodigo, edtFormula, edtTeste, btnSalvarFormula,
                                                      dtInicio, dtFim, btnRecalcular})
        w->setEnabled(id > 0);
    verifica();
    if (id <= 0) {
        corDaVerificacao(QString());
        lblVerificacao->setText("Salve o tipo de análise para dar a ele um código ou uma fórmula.");
    }
}

// A style sheet set again, even the same one, rebuilds the label's style: the verdict is set on
// every record the screen shows, and most keep its colour.
void TfrmTipoAnalise::corDaVerificacao(const QString& estilo) {
    if (lblVerificacao->styleSheet() != estilo) lblVerificacao->setStyleSheet(estilo);
}

void TfrmTipoAnalise::verifica() {
    const int id = m_idCarregado;
    const QString codigo = edtCodigo->text().trimmed();
    const QString texto = edtFormula->toPlainText().trimmed();
    QString m = m_catalogo.verificaCodigo(id, codigo);
    if (m.isEmpty()) m = m_catalogo.verificaFormula(id, codigo, texto);
    if (!m.isEmpty()) {
        corDaVerificacao("color: #b00000;");
        lblVerificacao->setText(m);
    } else {
        corDaVerificacao("color: #006000;");
        lblVerificacao->setText(texto.isEmpty() ? QString("Tipo medido (sem fórmula).")
                                                : QString("Fórmula válida."));
    }
    testa();
}

void TfrmTipoAnalise::testa() {
    const QString texto = edtFormula->toPlainText().trimmed();
    if (texto.isEmpty() || edtTeste->text().trimmed().isEmpty()) {
        lblTeste->clear();
        return;
    }
    const QString codigo = edtCodigo->text().trimmed();
    if (!m_catalogo.verificaFormula(m_idCarregado, codigo, texto).isEmpty()) {
        lblTeste->setText("Corrija a fórmula para testá-la.");
        return;
    }
    // The trial values by code: "PH=8,0; ALC=100".
    formula::Catalogo c = m_catalogo;
    formula::TipoFormula eu = c.tipo(m_idCarregado) ? *c.tipo(m_idCarregado) : formula::TipoFormula{};
    eu.id = m_idCarregado;
    eu.codigo = codigo;
    eu.formula = texto;
    c.define(eu);
    std::map<int, double> medidos;
    for (const QString& par : edtTeste->text().split(';', Qt::SkipEmptyParts)) {
        const QString p = par.trimmed();
        const qsizetype igual = p.indexOf('=');
        const QString cod = p.left(igual).trimmed();
        bool ok = igual > 0;
        const double v = ok ? ptBR().toDouble(p.mid(igual + 1).trimmed(), &ok) : 0.0;
        const formula::TipoFormula* t = c.porCodigo(cod);
        if (!ok || !t) {
            lblTeste->setText(
                QString("Valor de teste não reconhecido: \"%1\" (escreva CÓDIGO=valor; ...).").arg(p));
            return;
        }
        medidos[t->id] = v;
    }
    const formula::Resultado r = c.calcula(medidos, {m_idCarregado}).at(m_idCarregado);
    lblTeste->setText(r.valor ? "Resultado: " + textoResultado(*r.valor)
                              : "Não calculado: " + r.motivo + ".");
}

void TfrmTipoAnalise::btnSalvarFormulaClick() {
    if (m_idCarregado <= 0) return;
    const QString codigo = edtCodigo->text().trimmed();
    const QString texto = edtFormula->toPlainText().trimmed();
    if (texto.size() > 1000)
        warnAndAbort(
            QString("A fórmula aceita no máximo 1000 caracteres (foram informados %1).").arg(texto.size()));
    try {
        gravaFormula(*dataContext().IBSolution, m_idCarregado, codigo, texto);
    } catch (const DatabaseError&) {
        throw;
    } catch (const AppError& e) {
        warnAndAbort(e.message());
    }
    LeCatalogo();
    CarregaFormula();
}

void TfrmTipoAnalise::btnRecalcularClick() {
    if (m_idCarregado <= 0) return;
    if (formulaAlterada()) warnAndAbort("Salve a fórmula antes de recalcular.");
    const QDate de = dtInicio->date(), ate = dtFim->date();
    if (!de.isValid() || !ate.isValid() || de > ate)
        warnAndAbort("Informe um período válido para o recálculo.");
    Recalculo r;
    MostraProgresso();
    try {
        r = recalculaFormula(*dataContext().IBSolution, m_idCarregado, de, ate, [](int feitas, int total) {
            if (feitas == 0)
                ConfiguraProgresso("Aguarde ...", "Recalculando...", "Aguarde o processamento...", 0, total);
            else
                AvancaProgresso();
        });
    } catch (...) {
        FechaProgresso();
        throw;
    }
    FechaProgresso();
    inform(QString("Recálculo concluído: %1 análise(s) examinada(s), %2 valor(es) alterado(s).")
               .arg(r.analises)
               .arg(r.valoresAlterados));
}
