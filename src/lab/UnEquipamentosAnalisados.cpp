#include "lab/UnEquipamentosAnalisados.h"
#include "data/DataContext.h"
#include "data/UndmPadrao.h"
#include "lab/ContagemForaFaixa.h"
#include "lab/UnCadastrodeAnalise.h"
#include "lab/UnHistoricoAlteracoes.h"
#include "lab/unResultadoAnalise.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/IconePadrao.h"
#include "reports/GraficoTendencia.h"
#include "screens/UnPermissoes.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/DBLookupCombo.h"
#include "screens/controls/DBRichEdit.h"
#include "screens/controls/PaginasTela.h"
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QPalette cinza(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, QColor(0xd4, 0xd0, 0xc8));
    return p;
}

// A read-only editor of a previous text.
QTextEdit* editorAnterior(QWidget* pai, const char* nome) {
    auto* e = new QTextEdit(pai);
    e->setObjectName(nome);
    e->setReadOnly(true);
    e->setTabChangesFocus(true);
    e->setPalette(cinza(e));
    e->document()->setDefaultFont(QFont(QStringLiteral("Tahoma"), 10));
    return e;
}

} // namespace

TfrmEquipamentosAnalisados::TfrmEquipamentosAnalisados(QWidget* parent)
    : TfrmCadastroPadrao("frmEquipamentosAnalisados", listaDoModulo(&TdmPadrao::IBQ_EquipAnalisados),
                         parent) {
    setWindowTitle("Equipamentos Analisados");
    const DataContext& ctx = dataContext();
    IBQ_Equipamento.setName("IBQ_Equipamento");
    IBQ_Equipamento.setDatabase(ctx.IBSolution);
    IBQ_Equipamento.setTransaction(ctx.IBTransaction);
    IBQ_Equipamento.setSqlText(
        " select tec.id_equipamento_cli, tec.nm_equipamento from tab_equipamento_cli tec  "
        "where tec.id_tp_equipamento = :iTpEquipamento  and tec.id_cliente = :idCliente ");
    dsEquipamento.setDataSet(&IBQ_Equipamento);
    IBQ_Anterior.setName("IBQ_Anterior");
    IBQ_Anterior.setDatabase(ctx.IBSolution);
    IBQ_Anterior.setTransaction(ctx.IBTransaction);
    IBQ_Anterior.setSqlText(
        "select ma.id_analise,  ma.dt_coleta, mae.tx_comentario,mae.tx_obs from mov_analise_equipamento mae "
        "inner join mov_analise ma on (ma.id_analise = mae.id_analise) where mae.id_equipamento_cli = "
        ":idEquipamentoCliente and ma.dt_coleta < :dt_coleta order by ma.dt_coleta desc");
    const QFont tahoma(QStringLiteral("Tahoma"), 10);
    m_fonteComentario = tahoma;
    m_fonteObservacao = tahoma;

    auto* lay = new QGridLayout(pagFicha);
    RxDBLookupCombo1 = new DBLookupCombo(pagFicha, &dsPadrao, "ID_EQUIPAMENTO_CLI", &IBQ_Equipamento,
                                         "ID_EQUIPAMENTO_CLI", "NM_EQUIPAMENTO", "RxDBLookupCombo1");
    RxDBLookupCombo1->setDropDownCount(8);
    edtColetaAnterior = new QLineEdit(pagFicha);
    edtColetaAnterior->setObjectName("edtColetaAnterior");
    edtColetaAnterior->setReadOnly(true);
    edtColetaAnterior->setFocusPolicy(Qt::NoFocus);
    edtColetaAnterior->setPalette(cinza(edtColetaAnterior));
    edtColetaAnterior->setFixedWidth(110);
    auto* lblEquipamento = new QLabel("Equipamento", pagFicha);
    lblEquipamento->setBuddy(RxDBLookupCombo1);
    lay->addWidget(lblEquipamento, 0, 0);
    lay->addWidget(new QLabel("Coleta Anterior", pagFicha), 0, 1);
    lay->addWidget(RxDBLookupCombo1, 1, 0);
    lay->addWidget(edtColetaAnterior, 1, 1);
    connect(RxDBLookupCombo1, &DBLookupCombo::keyChanged, this,
            [this] { guarded([this] { RxDBLookupCombo1Change(); }); });

    pcTextos = new PaginasTela(pagFicha);
    pcTextos->setObjectName("pcTextos");
    // The observation's page, then the comment's.
    struct Pagina {
        QTextEdit* anterior;
        DBRichEdit* atual;
        QLabel* tamanho;
        QPushButton* limpar;
    };
    auto montaPagina = [&](const QString& titulo, const char* nomePagina, const QString& rotuloAnterior,
                           const char* nomeAnterior, const QString& rotuloAtual, const char* campo,
                           const char* nomeAtual, const char* nomeTamanho, const char* nomeLimpar,
                           const QString& textoLimpar, const QString& dicaLimpar,
                           std::initializer_list<QAbstractButton*> ferramentas) {
        auto* pagina = new QWidget(pcTextos);
        pagina->setObjectName(nomePagina);
        auto* v = new QVBoxLayout(pagina);
        Pagina p;
        p.anterior = editorAnterior(pagina, nomeAnterior);
        auto* lAnterior = new QLabel(rotuloAnterior, pagina);
        lAnterior->setBuddy(p.anterior);
        v->addWidget(lAnterior);
        v->addWidget(p.anterior, 1);
        auto* barra = new QHBoxLayout;
        p.atual = new DBRichEdit(pagina, &dsPadrao, campo, nomeAtual);
        p.atual->setDefaultFont(QFont(QStringLiteral("Tahoma"), 10));
        auto* lAtual = new QLabel(rotuloAtual, pagina);
        lAtual->setBuddy(p.atual);
        p.tamanho = new QLabel(RotuloTamanho(0), pagina);
        p.tamanho->setObjectName(nomeTamanho);
        barra->addWidget(lAtual);
        barra->addWidget(p.tamanho);
        barra->addStretch();
        for (QAbstractButton* b : ferramentas) {
            b->setParent(pagina);
            b->show();
            barra->addWidget(b);
        }
        p.limpar = new QPushButton(textoLimpar, pagina);
        p.limpar->setObjectName(nomeLimpar);
        p.limpar->setToolTip(dicaLimpar);
        p.limpar->setAutoDefault(false);
        p.limpar->setEnabled(false);
        barra->addWidget(p.limpar);
        v->addLayout(barra);
        v->addWidget(p.atual, 1);
        pcTextos->addTab(pagina, titulo);
        return p;
    };

    const auto botoesObs = BotoesFerramentaTexto<QPushButton>(this, "BitBtn1", "BitBtn2", "BitBtn3", " (2)");
    BitBtn1 = botoesObs.fonte;
    BitBtn2 = botoesObs.marcador;
    BitBtn3 = botoesObs.recuo;
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3})
        b->setAutoDefault(false);
    const Pagina obs = montaPagina(
        QString::fromUtf8("1. Observações"), "tsObservacoes", QString::fromUtf8("Observação Anterior"),
        "DBRichEdit1", QString::fromUtf8("Observação Atual (para uso interno)"), "TX_OBS", "DBRichEdit4",
        "lblTamanhoObs", "btnLimparConteudoObservacaoAtual", QString::fromUtf8("Limpar Conteúdo (2)"),
        QString::fromUtf8("Apagar Observação Atual (2)"), {BitBtn1, BitBtn2, BitBtn3});
    DBRichEdit1 = obs.anterior;
    DBRichEdit4 = obs.atual;
    lblTamanhoObs = obs.tamanho;
    btnLimparConteudoObservacaoAtual = obs.limpar;

    const auto botoesCom =
        BotoesFerramentaTexto<QToolButton>(this, "btnTipoFonte", "btnNumerar", "btnIdentar", " (1)");
    btnTipoFonte = botoesCom.fonte;
    btnNumerar = botoesCom.marcador;
    btnIdentar = botoesCom.recuo;
    const Pagina com = montaPagina(
        QString::fromUtf8("2. Comentários"), "tsComentarios", QString::fromUtf8("Comentário Anterior"),
        "DBRichEdit2", QString::fromUtf8("Comentário Atual (para impressão no laudo)"), "TX_COMENTARIO",
        "DBRichEdit3", "lblTamanhoComentario", "btnLimparConteudoComentarioAtual",
        QString::fromUtf8("Limpar Conteúdo (1)"), QString::fromUtf8("Apagar Comentário Atual (1)"),
        {btnTipoFonte, btnNumerar, btnIdentar});
    DBRichEdit2 = com.anterior;
    DBRichEdit3 = com.atual;
    lblTamanhoComentario = com.tamanho;
    btnLimparConteudoComentarioAtual = com.limpar;
    lay->addWidget(pcTextos, 2, 0, 1, 2);
    DBRichEdit3->installEventFilter(this);
    DBRichEdit4->installEventFilter(this);

    auto on = [this](QAbstractButton* b, void (TfrmEquipamentosAnalisados::*fn)()) {
        connect(b, &QAbstractButton::clicked, this, [this, fn] { guarded([&] { (this->*fn)(); }); });
    };
    on(btnTipoFonte, &TfrmEquipamentosAnalisados::btnTipoFonteClick);
    on(btnNumerar, &TfrmEquipamentosAnalisados::btnNumerarClick);
    on(btnIdentar, &TfrmEquipamentosAnalisados::btnIdentarClick);
    on(BitBtn1, &TfrmEquipamentosAnalisados::BitBtn1Click);
    on(BitBtn2, &TfrmEquipamentosAnalisados::BitBtn2Click);
    on(BitBtn3, &TfrmEquipamentosAnalisados::BitBtn3Click);
    on(btnLimparConteudoComentarioAtual, &TfrmEquipamentosAnalisados::btnLimparConteudoComentarioAtualClick);
    on(btnLimparConteudoObservacaoAtual, &TfrmEquipamentosAnalisados::btnLimparConteudoObservacaoAtualClick);

    btnConsultar = new QPushButton(QString::fromUtf8("Resultados das Análises"), pagFicha);
    btnConsultar->setObjectName("btnConsultar");
    btnConsultar->setIcon(iconePadrao(QStyle::SP_FileDialogDetailedView));
    btnFechar = new QPushButton("&Fechar", pagFicha);
    btnFechar->setObjectName("btnFechar");
    btnFechar->setIcon(iconePadrao(QStyle::SP_DialogCloseButton));
    btnGrafico = new QPushButton(QString::fromUtf8("Gráfico"), pagFicha);
    btnGrafico->setObjectName("btnGrafico");
    btnGrafico->setToolTip(
        QString::fromUtf8("Tendência dos tipos de análise do equipamento em todas as coletas"));
    btnHistorico = new QPushButton(QString::fromUtf8("Histórico de Alterações"), pagFicha);
    btnHistorico->setObjectName("btnHistorico");
    lblForaFaixa = new QLabel(pagFicha);
    lblForaFaixa->setObjectName("lblForaFaixa");
    for (QPushButton* b : {btnConsultar, btnGrafico, btnHistorico, btnFechar})
        b->setAutoDefault(false);
    auto* rodape = new QHBoxLayout;
    rodape->addWidget(btnConsultar);
    rodape->addWidget(btnGrafico);
    rodape->addWidget(btnHistorico);
    rodape->addWidget(lblForaFaixa);
    rodape->addStretch();
    rodape->addWidget(btnFechar);
    lay->addLayout(rodape, 3, 0, 1, 2);
    on(btnConsultar, &TfrmEquipamentosAnalisados::btnConsultarClick);
    on(btnFechar, &TfrmEquipamentosAnalisados::btnFecharClick);
    on(btnGrafico, &TfrmEquipamentosAnalisados::btnGraficoClick);
    on(btnHistorico, &TfrmEquipamentosAnalisados::btnHistoricoClick);

    DBEdit2 = new DBEdit(pagFicha, &dsPadrao, "ID_ANALISE_EQUIPAMENTO", "DBEdit2");
    DBEdit2->hide();
    connect(DBEdit2, &QLineEdit::textChanged, this, [this] { guarded([this] { DBEdit2Change(); }); });
    lay->setColumnStretch(0, 1);
    lay->setRowStretch(2, 1);

    setTabOrder(RxDBLookupCombo1, pcTextos);
    montaGrade({{"lkEquipamentoCliente", "Equipamento", 300},
                {"NO_PAGINA", QString::fromUtf8("Página"), 70},
                {"NO_AMOSTRA", "Amostra", 70}});
    // The grid names the equipment through the list of every client's equipment, read when the
    // grid is shown.
    connect(pc, &QTabWidget::currentChanged, this, [this](int pagina) {
        if (pagina != 1) return;
        guarded([] {
            if (TdmLookUp* lk = dmLookUp()) TdmLookUp::reabre(lk->IBQ_EquipamentoCliente);
        });
    });
    resize(720, 640);
}

TfrmEquipamentosAnalisados::~TfrmEquipamentosAnalisados() {
    if (TdmPadrao* dm = dmPadrao()) {
        dm->analiseDaTelaEquipamentos = nullptr;
        dm->atualizaTamanhoTextos = nullptr;
    }
}

void TfrmEquipamentosAnalisados::leAnalise() {
    const DataContext& ctx = dataContext();
    Query q(ctx.IBSolution, ctx.IBTransaction, "IBQ_Analise");
    q.setSqlText(
        "select dt_coleta, id_tp_equipamento, id_cliente from mov_analise where id_analise = :idAnalise");
    q.setParam("idAnalise", iIdAnalise);
    q.open();
    m_analise = Analise{};
    if (!q.isEmpty()) {
        m_analise.dtColeta = q.fieldByName("DT_COLETA")->asDate();
        m_analise.idTpEquipamento = q.fieldByName("ID_TP_EQUIPAMENTO")->value();
        m_analise.idCliente = q.fieldByName("ID_CLIENTE")->value();
    }
    q.close();
}

void TfrmEquipamentosAnalisados::FormShow() {
    MostrarTodos = "S";
    TdmPadrao* dm = dmPadrao();
    if (dm) {
        dm->analiseDaTelaEquipamentos = [this] { return iIdAnalise; };
        dm->atualizaTamanhoTextos = [this] { pc_MostrarTamanhoCampo(); };
    }
    leAnalise();
    TfrmCadastroPadrao::FormShow();
    if (!PermissaoAcesso) return;
    CabeNaArea(this);
    pc_MostrarTamanhoCampo();
}

void TfrmEquipamentosAnalisados::FormActivate() {
    TfrmCadastroPadrao::FormActivate();
    if (!PermissaoAcesso) return;
    leAnalise();
    reabreEquipamentos();
    if (m_primeiraAtivacao) {
        m_primeiraAtivacao = false;
        TfrmClassePrincipal* p = principal();
        if (incluirAoAbrir && p && p->dsAtual == &dsPadrao) p->bttIncluirClick();
    }
}

void TfrmEquipamentosAnalisados::reabreEquipamentos() {
    IBQ_Equipamento.close();
    IBQ_Equipamento.setParam("iTpEquipamento", m_analise.idTpEquipamento);
    IBQ_Equipamento.setParam("idCliente", m_analise.idCliente);
    IBQ_Equipamento.open();
    IBQ_Equipamento.fetchAll();
}

bool TfrmEquipamentosAnalisados::FormClose() {
    if (!TfrmCadastroPadrao::FormClose()) return false;
    IBQ_Anterior.close();
    IBQ_Equipamento.close();
    if (TdmPadrao* dm = dmPadrao()) {
        dm->analiseDaTelaEquipamentos = nullptr;
        dm->atualizaTamanhoTextos = nullptr;
    }
    if (aoFechar) {
        const auto devolve = std::move(aoFechar);
        aoFechar = nullptr;
        devolve();
    }
    return true;
}

void TfrmEquipamentosAnalisados::RxDBLookupCombo1Change() {
    carregaAnterior();
}

void TfrmEquipamentosAnalisados::DBEdit2Change() {
    carregaAnterior();
    pc_MostrarTamanhoCampo();
    mostraForaDaFaixa();
}

void TfrmEquipamentosAnalisados::mostraForaDaFaixa() {
    DataSet* ds = dsPadrao.dataSet();
    const QVariant amostra = ds && ds->active() && !ds->isEmpty() && ds->state() != DataSetState::Insert
                                 ? ds->fieldByName("ID_ANALISE_EQUIPAMENTO")->value()
                                 : QVariant();
    if (amostra.isNull() || iIdAnalise == 0) {
        lblForaFaixa->clear();
        return;
    }
    const DataContext& ctx = dataContext();
    const ContagemAnalise c = ContaForaDaFaixa(*ctx.IBSolution, *ctx.IBTransaction, iIdAnalise);
    const auto it = c.porAmostra.find(amostra.toInt());
    lblForaFaixa->setText(QString::fromUtf8("Valores: ") +
                          TextoContagem(it == c.porAmostra.end() ? ContagemFaixa{} : it->second));
}

void TfrmEquipamentosAnalisados::btnGraficoClick() {
    DataSet* ds = dsPadrao.dataSet();
    if (!ds || !ds->active() || ds->isEmpty() || ds->fieldByName("ID_EQUIPAMENTO_CLI")->isNull())
        warnAndAbort(QString::fromUtf8("Escolha o equipamento analisado antes de ver o gráfico."));
    TfrmGraficoTendencia frm(ds->fieldByName("ID_EQUIPAMENTO_CLI")->asInteger(), {}, this);
    execModal(frm);
}

void TfrmEquipamentosAnalisados::carregaAnterior() {
    DataSet* ds = dsPadrao.dataSet();
    const QVariant equipamento = ds && ds->active() && (ds->editing() || !ds->isEmpty())
                                     ? ds->fieldByName("ID_EQUIPAMENTO_CLI")->value()
                                     : QVariant();
    const QString chave = equipamento.toString() + '|' + m_analise.dtColeta.toString(Qt::ISODate);
    if (chave == m_chaveAnterior) return;
    m_chaveAnterior = chave;
    IBQ_Anterior.close();
    DBRichEdit1->clear();
    DBRichEdit2->clear();
    edtColetaAnterior->clear();
    m_idAnaliseAnterior = 0;
    if (equipamento.isNull() || !m_analise.dtColeta.isValid()) return;
    IBQ_Anterior.setParam("idEquipamentoCliente", equipamento);
    IBQ_Anterior.setParam("dt_coleta", m_analise.dtColeta);
    IBQ_Anterior.open();
    if (IBQ_Anterior.isEmpty()) return;
    // The first row is the latest collection before this one.
    MostraTextoRico(*DBRichEdit2, IBQ_Anterior.fieldByName("TX_COMENTARIO")->asString());
    MostraTextoRico(*DBRichEdit1, IBQ_Anterior.fieldByName("TX_OBS")->asString());
    edtColetaAnterior->setText(IBQ_Anterior.fieldByName("DT_COLETA")->asDate().toString("dd/MM/yyyy"));
    m_idAnaliseAnterior = IBQ_Anterior.fieldByName("ID_ANALISE")->asInteger();
}

void TfrmEquipamentosAnalisados::pc_MostrarTamanhoCampo() {
    DataSet* ds = dsPadrao.dataSet();
    const bool temRegistro = ds && ds->active() && (ds->editing() || !ds->isEmpty());
    auto mostra = [&](const char* campo, QLabel* rotulo, QPushButton* limpar) {
        const int n = temRegistro ? int(ds->fieldByName(campo)->asString().size()) : 0;
        rotulo->setText(RotuloTamanho(n));
        if (n == 0)
            limpar->setEnabled(false);
        else if (autorizado(limpar))
            limpar->setEnabled(true);
    };
    mostra("TX_COMENTARIO", lblTamanhoComentario, btnLimparConteudoComentarioAtual);
    mostra("TX_OBS", lblTamanhoObs, btnLimparConteudoObservacaoAtual);
}

bool TfrmEquipamentosAnalisados::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::FocusOut && (o == DBRichEdit3 || o == DBRichEdit4)) {
        guarded([this] { pc_MostrarTamanhoCampo(); });
    } else if (e->type() == QEvent::KeyPress && o == DBRichEdit3) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_N && k->modifiers() == Qt::ControlModifier) {
            guarded([this] { textorico::alternaNegrito(*DBRichEdit3); });
            return true;
        }
    }
    return TfrmCadastroPadrao::eventFilter(o, e);
}

void TfrmEquipamentosAnalisados::escolheFonte(QTextEdit& editor, QFont& fonte, bool tamanho10) {
    QFont inicial = fonte;
    if (tamanho10) inicial.setPointSize(10);
    textorico::escolheFonte(editor, fonte, inicial);
}

void TfrmEquipamentosAnalisados::btnTipoFonteClick() {
    escolheFonte(*DBRichEdit3, m_fonteComentario, true);
}
void TfrmEquipamentosAnalisados::btnNumerarClick() {
    textorico::alternaMarcador(*DBRichEdit3);
}
void TfrmEquipamentosAnalisados::btnIdentarClick() {
    textorico::alternaRecuo(*DBRichEdit3);
}
void TfrmEquipamentosAnalisados::BitBtn1Click() {
    escolheFonte(*DBRichEdit4, m_fonteObservacao, false);
}
void TfrmEquipamentosAnalisados::BitBtn2Click() {
    textorico::alternaMarcador(*DBRichEdit4);
}
void TfrmEquipamentosAnalisados::BitBtn3Click() {
    textorico::alternaRecuo(*DBRichEdit4);
}

void TfrmEquipamentosAnalisados::limpa(const char* campo) {
    DataSet* ds = dsPadrao.dataSet();
    TfrmClassePrincipal* p = principal();
    if (!ds || !p || !ds->active() || (!ds->editing() && ds->isEmpty())) return;
    if (!ds->editing()) ds->edit();
    ds->fieldByName(campo)->clear();
    p->salvaDataSet(*ds);
    p->TotalRegistros();
    pc_MostrarTamanhoCampo();
}

void TfrmEquipamentosAnalisados::btnLimparConteudoComentarioAtualClick() {
    limpa("TX_COMENTARIO");
}

void TfrmEquipamentosAnalisados::btnLimparConteudoObservacaoAtualClick() {
    limpa("TX_OBS");
}

void TfrmEquipamentosAnalisados::btnConsultarClick() {
    DataSet* ds = dsPadrao.dataSet();
    TfrmClassePrincipal* p = principal();
    if (!ds || !p || !ds->active()) return;
    if (ds->editing()) {
        p->salvaDataSet(*ds);
        p->TotalRegistros();
    }
    if (ds->isEmpty() || ds->fieldByName("ID_ANALISE_EQUIPAMENTO")->isNull())
        warnAndAbort(QString::fromUtf8("Escolha o equipamento analisado antes de consultar os resultados."));
    m_chaveAnterior.clear();
    carregaAnterior();
    TfrmResultadoAnalise frm(this);
    frm.IidTpEquipamento = m_analise.idTpEquipamento.toInt();
    frm.IidCliente = m_analise.idCliente.toInt();
    frm.IidAnalise = ds->fieldByName("ID_ANALISE")->asInteger();
    frm.IidAnaliseEquipamento = ds->fieldByName("ID_ANALISE_EQUIPAMENTO")->asInteger();
    frm.IidEquipamentoCli = ds->fieldByName("ID_EQUIPAMENTO_CLI")->asInteger();
    frm.IidAnaliseAnterior = m_idAnaliseAnterior;
    execModal(frm);
    mostraForaDaFaixa();
}

void TfrmEquipamentosAnalisados::btnHistoricoClick() {
    DataSet* ds = dsPadrao.dataSet();
    TfrmClassePrincipal* p = principal();
    if (!ds || !p || !ds->active()) return;
    if (ds->editing()) {
        p->salvaDataSet(*ds);
        p->TotalRegistros();
    }
    if (ds->isEmpty() || ds->fieldByName("ID_ANALISE_EQUIPAMENTO")->isNull())
        warnAndAbort(QString::fromUtf8("Escolha o equipamento analisado para ver o seu histórico."));
    TfrmHistoricoAlteracoes::abre(ds->fieldByName("ID_ANALISE")->asInteger(),
                                  ds->fieldByName("ID_ANALISE_EQUIPAMENTO")->asInteger(),
                                  "Amostra: " + RxDBLookupCombo1->currentText());
}

void TfrmEquipamentosAnalisados::btnFecharClick() {
    fecha();
}
