#include "lab/UnCadastrodeAnalise.h"
#include "data/DataContext.h"
#include "data/UnFuncoes.h"
#include "data/UndmPadrao.h"
#include "lab/EnvioLaudo.h"
#include "lab/UnEnviaLaudoEmail.h"
#include "lab/UnEquipamentosAnalisados.h"
#include "lab/UnHistoricoAlteracoes.h"
#include "lab/UnResultadosTodasAmostras.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/IconePadrao.h"
#include "reports/UnDadosLaudo.h"
#include "reports/UnImpressaoAnalise.h"
#include "screens/UnPermissoes.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/DBLookupCombo.h"
#include "search/UnPesquisaPessoaComercio.h"
#include "support/ConfiguracaoEmailLaudo.h"
#include "support/Tutoriais.h"
#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace {

const char* const kTipoBloqueado =
    "O tipo de equipamento não pode ser alterado: esta análise já tem equipamentos "
    "analisados, cujos resultados foram medidos para o tipo atual.";

// The help icon of the tutorial: a picture that opens the page when clicked.
class LinkTutorial : public QLabel {
public:
    LinkTutorial(QWidget* parent, std::function<void()> clique)
        : QLabel(parent), m_clique(std::move(clique)) {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        QLabel::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) guarded(m_clique);
    }

private:
    std::function<void()> m_clique;
};

QVariant chaveOuNulo(const QVariant& v) {
    return v.isNull() || v.toInt() == 0 ? QVariant() : v;
}

} // namespace

bool TrazTelaParaFrente(const QString& nomeTela) {
    TfrmClassePrincipal* p = frmPrincipal();
    if (!p) return false;
    QMdiSubWindow* achou = nullptr;
    for (QMdiSubWindow* s : p->mdi->subWindowList(QMdiArea::CreationOrder))
        if (s->widget() && s->widget()->objectName().toUpper() == nomeTela.toUpper()) achou = s;
    if (!achou) return false;
    if (achou->isMinimized()) achou->showNormal();
    p->mdi->setActiveSubWindow(achou);
    achou->raise();
    return true;
}

void CabeNaArea(ScreenWindow* tela) {
    QMdiSubWindow* s = tela ? tela->subWindow() : nullptr;
    if (!s || !s->mdiArea()) return;
    const QRect area = s->mdiArea()->viewport()->rect();
    const QRect g = s->geometry();
    const int x = std::clamp(g.x(), 0, std::max(0, area.width() - g.width()));
    const int y = std::clamp(g.y(), 0, std::max(0, area.height() - g.height()));
    if (x != g.x() || y != g.y()) s->move(x, y);
}

TfrmCadastrodeAnalise::TfrmCadastrodeAnalise(QWidget* parent)
    : TfrmCadastroPadrao("frmCadastrodeAnalise", listaDoModulo(&TdmPadrao::IBQ_Mov_Analise), parent) {
    setWindowTitle(QString::fromUtf8("Cadastro de Análise"));
    const DataContext& ctx = dataContext();
    IBQ_Gen.setName("IBQ_Gen");
    IBQ_Gen.setDatabase(ctx.IBSolution);
    IBQ_Gen.setTransaction(ctx.IBTransaction);
    TdmPadrao* dm = dmPadrao();
    TdmLookUp* lk = dmLookUp();
    if (dm) dsConsultaEquipAnalisados.setDataSet(&dm->IBQ_ConsultaEquipAnalisados);

    auto* lay = new QGridLayout(pagFicha);
    auto rotulo = [this](const QString& texto, QWidget* parceiro) {
        auto* l = new QLabel(texto, pagFicha);
        l->setBuddy(parceiro);
        return l;
    };

    dtColeta = new DBDateEdit(pagFicha, &dsPadrao, "DT_COLETA", "dtColeta");
    dtRecebimento = new DBDateEdit(pagFicha, &dsPadrao, "DT_RECEBIMENTO", "dtRecebimento");
    dtAvaliacao = new DBDateEdit(pagFicha, &dsPadrao, "DT_AVALIACAO", "dtAvaliacao");
    dtEnvio = new DBDateEdit(pagFicha, &dsPadrao, "DT_ENVIO", "dtEnvio");
    lay->addWidget(rotulo("Data da Coleta", dtColeta), 0, 0);
    lay->addWidget(rotulo("Data do Recebimento", dtRecebimento), 0, 1);
    lay->addWidget(rotulo(QString::fromUtf8("Data da Análise"), dtAvaliacao), 0, 2);
    lay->addWidget(rotulo("Data do Envio", dtEnvio), 0, 3);
    lay->addWidget(dtColeta, 1, 0);
    lay->addWidget(dtRecebimento, 1, 1);
    lay->addWidget(dtAvaliacao, 1, 2);
    lay->addWidget(dtEnvio, 1, 3);

    // Client: the search button or the drop-down of every person.
    btnPesquisaPessoa = new QToolButton(pagFicha);
    btnPesquisaPessoa->setObjectName("btnPesquisaPessoa");
    btnPesquisaPessoa->setToolTip("Pesquisar Cliente");
    btnPesquisaPessoa->setIcon(iconePadrao(QStyle::SP_FileDialogContentsView));
    btnPesquisaPessoa->setFocusPolicy(Qt::StrongFocus);
    lkCliente = new DBLookupCombo(pagFicha, &dsPadrao, "ID_CLIENTE", lk ? &lk->IBQ_Pessoas : nullptr,
                                  "ID_PESSOA", "NM_PESQUISA", "lkCliente");
    lkCliente->setDropDownCount(12);
    auto* cliente = new QHBoxLayout;
    cliente->addWidget(btnPesquisaPessoa);
    cliente->addWidget(lkCliente, 1);
    lay->addWidget(rotulo("Cliente", lkCliente), 2, 0, 1, 4);
    lay->addLayout(cliente, 3, 0, 1, 4);
    connect(btnPesquisaPessoa, &QToolButton::clicked, this,
            [this] { guarded([this] { btnPesquisaPessoaClick(); }); });

    lkRepresentante =
        new DBLookupCombo(pagFicha, &dsPadrao, "ID_REPRESENTANTE", lk ? &lk->IBQ_Representante : nullptr,
                          "ID_PESSOA", "NM_PESQUISA", "lkRepresentante");
    lkResponsavel =
        new DBLookupCombo(pagFicha, &dsPadrao, "ID_RESPONSAVEL_TECNICO", lk ? &lk->IBQ_Responsavel : nullptr,
                          "ID_PESSOA", "NM_PESQUISA", "lkResponsavel");
    lkTipoEquipamento =
        new DBLookupCombo(pagFicha, &dsPadrao, "ID_TP_EQUIPAMENTO", lk ? &lk->IBQ_TipoEquipamento : nullptr,
                          "ID_TP_EQUIPAMENTO", "NM_TP_EQUIPAMENTO", "lkTipoEquipamento");
    for (DBLookupCombo* c : {lkRepresentante, lkResponsavel, lkTipoEquipamento})
        c->setDropDownCount(8);
    lay->addWidget(rotulo("Representante", lkRepresentante), 4, 0, 1, 2);
    lay->addWidget(rotulo(QString::fromUtf8("Responsável"), lkResponsavel), 4, 2, 1, 2);
    lay->addWidget(lkRepresentante, 5, 0, 1, 2);
    lay->addWidget(lkResponsavel, 5, 2, 1, 2);
    lay->addWidget(rotulo("Tipo de Equipamento", lkTipoEquipamento), 6, 0, 1, 2);
    lay->addWidget(lkTipoEquipamento, 7, 0, 1, 2);

    // The samples of the analysis.
    auto* linha = new QFrame(pagFicha);
    linha->setFrameShape(QFrame::HLine);
    linha->setFrameShadow(QFrame::Sunken);
    auto* titulo = new QLabel("Equipamentos Analisados", pagFicha);
    QFont negrito = titulo->font();
    negrito.setBold(true);
    titulo->setFont(negrito);
    lay->addWidget(linha, 8, 0, 1, 4);
    lay->addWidget(titulo, 9, 0, 1, 4);
    btnIncluir = new QToolButton(pagFicha);
    btnIncluir->setObjectName("btnIncluir");
    btnIncluir->setToolTip("Incluir Equipamento");
    btnIncluir->setIcon(iconePadrao(QStyle::SP_FileDialogNewFolder));
    btnExcluir = new QToolButton(pagFicha);
    btnExcluir->setObjectName("btnExcluir");
    btnExcluir->setToolTip("Excluir Equipamento");
    btnExcluir->setIcon(iconePadrao(QStyle::SP_TrashIcon));
    btnExcluir->setEnabled(false);
    for (QToolButton* b : {btnIncluir, btnExcluir}) {
        b->setFocusPolicy(Qt::StrongFocus);
        b->setIconSize(QSize(18, 18));
    }
    btnConsultar = new QPushButton("Consultar Resultados", pagFicha);
    btnConsultar->setObjectName("btnConsultar");
    btnConsultar->setEnabled(false);
    btnConsultar->setAutoDefault(false);
    btnResultadosAmostras = new QPushButton("Resultados de Todas as Amostras", pagFicha);
    btnResultadosAmostras->setObjectName("btnResultadosAmostras");
    btnResultadosAmostras->setEnabled(false);
    btnHistorico = new QPushButton(QString::fromUtf8("Histórico de Alterações"), pagFicha);
    btnHistorico->setObjectName("btnHistorico");
    btnHistorico->setEnabled(false);
    for (QPushButton* b : {btnResultadosAmostras, btnHistorico})
        b->setAutoDefault(false);
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(btnIncluir);
    botoes->addWidget(btnExcluir);
    botoes->addWidget(btnConsultar);
    botoes->addWidget(btnResultadosAmostras);
    botoes->addWidget(btnHistorico);
    botoes->addStretch();
    lay->addLayout(botoes, 10, 0, 1, 4);
    dbgDados = new DBGrid(pagFicha, &dsConsultaEquipAnalisados, "dbgDados");
    dbgDados->setColumns({{"NM_EQUIPAMENTO", "Nome do Equipamento", 420}});
    dbgDados->horizontalHeader()->setStretchLastSection(true);
    dbgDados->onDblClick = [this] { dbgDadosDblClick(); };
    lay->addWidget(dbgDados, 11, 0, 1, 4);
    connect(btnIncluir, &QToolButton::clicked, this, [this] { guarded([this] { btnIncluirClick(); }); });
    connect(btnExcluir, &QToolButton::clicked, this, [this] { guarded([this] { btnExcluirClick(); }); });
    connect(btnConsultar, &QPushButton::clicked, this, [this] { guarded([this] { btnConsultarClick(); }); });
    connect(btnResultadosAmostras, &QPushButton::clicked, this,
            [this] { guarded([this] { btnResultadosAmostrasClick(); }); });
    connect(btnHistorico, &QPushButton::clicked, this, [this] { guarded([this] { btnHistoricoClick(); }); });

    // What the prints carry: the logo, signature and footer, with the chosen own company's images.
    chkImprimirLogomarcaRodape =
        new QCheckBox(QString::fromUtf8("Imprimir logomarca, assinatura e rodapé"), pagFicha);
    chkImprimirLogomarcaRodape->setObjectName("chkImprimirLogomarcaRodape");
    imgTutorial = new LinkTutorial(pagFicha, [this] { imgTutorialClick(); });
    imgTutorial->setObjectName("imgTutorial");
    imgTutorial->setPixmap(iconePadrao(QStyle::SP_MessageBoxQuestion).pixmap(18, 18));
    imgTutorial->setToolTip(QString::fromUtf8(
        "TUTORIAL: Como Imprimir logomarca, assinatura e rodapé no laudo técnico do laboratório"));
    lkEmpresa = new DBLookupCombo(pagFicha, nullptr, QString(), lk ? &lk->IBQ_Empresa : nullptr, "ID_PESSOA",
                                  "NM_PESQUISA", "lkEmpresa");
    lkEmpresa->setEnabled(false);
    auto* impressao = new QHBoxLayout;
    impressao->addWidget(chkImprimirLogomarcaRodape);
    impressao->addWidget(imgTutorial);
    impressao->addSpacing(16);
    impressao->addWidget(rotulo("Nossa Empresa", lkEmpresa));
    impressao->addWidget(lkEmpresa, 1);
    lay->addLayout(impressao, 12, 0, 1, 4);
    connect(chkImprimirLogomarcaRodape, &QCheckBox::toggled, this,
            [this] { guarded([this] { chkImprimirLogomarcaRodapeClick(); }); });

    // The two prints of the current analysis: the technical report and the bench fill-in sheet.
    BitBtn1 = new QPushButton(QString::fromUtf8("&Imprimir Relatório de Análise"), pagFicha);
    BitBtn1->setObjectName("BitBtn1");
    BTImpRelPreench = new QPushButton("Imprimir Planilha de Preenchimento", pagFicha);
    BTImpRelPreench->setObjectName("BTImpRelPreench");
    for (QPushButton* b : {BitBtn1, BTImpRelPreench}) {
        b->setAutoDefault(false);
        b->setIcon(iconePadrao(QStyle::SP_FileDialogDetailedView));
    }
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn1Click(); }); });
    // Inserting or leaving an insert changes what the buttons can do.
    dsPadrao.subscribe([this](const DataEventInfo& e) {
        if (e.kind == DataEvent::StateChanged && BitBtn1) ajustaControlesEquipamento();
    });
    connect(BTImpRelPreench, &QPushButton::clicked, this,
            [this] { guarded([this] { BTImpRelPreenchClick(); }); });
    // The same report, as a PDF by e-mail to the client.
    btnEnviarLaudoEmail = new QPushButton("Enviar Laudo por E-mail", pagFicha);
    btnEnviarLaudoEmail->setObjectName("btnEnviarLaudoEmail");
    btnEnviarLaudoEmail->setAutoDefault(false);
    btnEnviarLaudoEmail->setIcon(iconePadrao(QStyle::SP_ArrowForward));
    connect(btnEnviarLaudoEmail, &QPushButton::clicked, this,
            [this] { guarded([this] { btnEnviarLaudoEmailClick(); }); });
    auto* imprime = new QHBoxLayout;
    imprime->addWidget(BitBtn1);
    imprime->addWidget(BTImpRelPreench);
    imprime->addWidget(btnEnviarLaudoEmail);
    imprime->addStretch();
    lay->addLayout(imprime, 13, 0, 1, 4);
    lblUltimoEnvio = new QLabel(pagFicha);
    lblUltimoEnvio->setObjectName("lblUltimoEnvio");
    lblUltimoEnvio->setWordWrap(true);
    lay->addWidget(lblUltimoEnvio, 14, 0, 1, 4);

    // The key of the record: its changes drive the equipment list.
    DBEdit1 = new DBEdit(pagFicha, &dsPadrao, "ID_ANALISE", "DBEdit1");
    DBEdit1->hide();
    connect(DBEdit1, &QLineEdit::textChanged, this, [this] { guarded([this] { DBEdit1Change(); }); });
    for (int c = 0; c < 4; ++c)
        lay->setColumnStretch(c, 1);
    lay->setRowStretch(11, 1);

    setTabOrder(dtColeta, dtRecebimento);
    setTabOrder(dtRecebimento, dtAvaliacao);
    setTabOrder(dtAvaliacao, dtEnvio);
    setTabOrder(dtEnvio, btnPesquisaPessoa);
    setTabOrder(btnPesquisaPessoa, lkCliente);
    setTabOrder(lkCliente, lkRepresentante);
    setTabOrder(lkRepresentante, lkResponsavel);
    setTabOrder(lkResponsavel, lkTipoEquipamento);
    setTabOrder(lkTipoEquipamento, btnIncluir);
    setTabOrder(btnIncluir, btnExcluir);
    setTabOrder(btnExcluir, btnConsultar);
    setTabOrder(btnConsultar, btnResultadosAmostras);
    setTabOrder(btnResultadosAmostras, btnHistorico);
    setTabOrder(btnHistorico, dbgDados);
    setTabOrder(dbgDados, chkImprimirLogomarcaRodape);
    setTabOrder(chkImprimirLogomarcaRodape, lkEmpresa);
    setTabOrder(lkEmpresa, BitBtn1);
    setTabOrder(BitBtn1, BTImpRelPreench);
    setTabOrder(BTImpRelPreench, btnEnviarLaudoEmail);

    montaGrade({{"DT_COLETA", QString(), 90},
                {"DT_RECEBIMENTO", QString(), 90},
                {"DT_AVALIACAO", QString(), 90},
                {"DT_ENVIO", QString(), 90},
                {"lkCliente", QString(), 220},
                {"lkRepresentante", QString(), 180},
                {"lkResponsavel", QString(), 180},
                {"lkTipoEquipamento", QString(), 160}});
    dsPadrao.onDataChange = [this](Field* f) {
        // A move to another record (or its key changing); not every letter typed.
        if (!f || f->fieldName().compare("ID_ANALISE", Qt::CaseInsensitive) == 0) dsPadraoDataChange();
    };
    resize(640, 600);
}

TfrmCadastrodeAnalise::~TfrmCadastrodeAnalise() = default;

TfrmEquipamentosAnalisados* TfrmCadastrodeAnalise::telaEquipamentos() const {
    return m_equipamentos;
}

void TfrmCadastrodeAnalise::FormShow() {
    TfrmCadastroPadrao::FormShow();
    if (!PermissaoAcesso) return;
    CabeNaArea(this);
    lkEmpresa->setEnabled(false);
    // The buttons' rights are known now.
    m_idCarregado = QVariant();
    recarregaEquipamentos();
    ajustaControlesEquipamento();
}

void TfrmCadastrodeAnalise::FormActivate() {
    TfrmCadastroPadrao::FormActivate();
    if (!PermissaoAcesso) return;
    if (m_equipamentos) {
        // While the analysed-equipment screen is open, it is the one that works.
        QPointer<TfrmEquipamentosAnalisados> e = m_equipamentos;
        QTimer::singleShot(0, this, [e] {
            if (e && e->subWindow()) frmPrincipal()->mdi->setActiveSubWindow(e->subWindow());
        });
        return;
    }
    if (TdmLookUp* lk = dmLookUp()) {
        TdmLookUp::reabre(lk->IBQ_TipoEquipamento);
        TdmLookUp::reabre(lk->IBQ_Pessoas);
        TdmLookUp::reabre(lk->IBQ_TipoAnalise);
        TdmLookUp::reabre(lk->IBQ_Representante);
        TdmLookUp::reabre(lk->IBQ_Responsavel);
        if (!lk->IBQ_Empresa.active()) TdmLookUp::reabre(lk->IBQ_Empresa);
    }
    if (DBGrid1) DBGrid1->viewport()->update();
}

bool TfrmCadastrodeAnalise::FormClose() {
    if (!TfrmCadastroPadrao::FormClose()) return false;
    if (TdmPadrao* dm = dmPadrao()) dm->IBQ_ConsultaEquipAnalisados.close();
    return true;
}

int TfrmCadastrodeAnalise::idAnaliseAtual() const {
    DataSet* ds = dsPadrao.dataSet();
    if (!ds || !ds->active() || ds->isEmpty() || ds->state() == DataSetState::Insert) return 0;
    return ds->fieldByName("ID_ANALISE")->asInteger();
}

void TfrmCadastrodeAnalise::dsPadraoDataChange() {
    recarregaEquipamentos();
    mostraUltimoEnvio();
}

void TfrmCadastrodeAnalise::DBEdit1Change() {
    // The move that changed the key has read the list already.
    if (chaveOuNulo(idAnaliseAtual()) != m_idCarregado) recarregaEquipamentos();
    ajustaControlesEquipamento();
    mostraUltimoEnvio();
}

void TfrmCadastrodeAnalise::mostraUltimoEnvio(bool sempre) {
    const QVariant id = chaveOuNulo(idAnaliseAtual());
    if (!sempre && id == m_idEnvioMostrado) return;
    m_idEnvioMostrado = id;
    Database* db = dataContext().IBSolution;
    if (id.isNull() || !db) {
        lblUltimoEnvio->clear();
        return;
    }
    lblUltimoEnvio->setText(DescricaoUltimoEnvio(UltimoLaudoEnviado(*db, id.toInt())));
}

void TfrmCadastrodeAnalise::recarregaEquipamentos() {
    TdmPadrao* dm = dmPadrao();
    if (!dm) return;
    Query& q = dm->IBQ_ConsultaEquipAnalisados;
    const QVariant id = chaveOuNulo(idAnaliseAtual());
    q.close();
    m_idCarregado = id;
    if (id.isNull()) return;
    q.setParam("IdAnalise", id);
    q.open();
    q.fetchAll();
}

void TfrmCadastrodeAnalise::ajustaControlesEquipamento() {
    TdmPadrao* dm = dmPadrao();
    const bool comChave = idAnaliseAtual() != 0;
    const bool comEquipamentos = comChave && dm && dm->IBQ_ConsultaEquipAnalisados.active() &&
                                 !dm->IBQ_ConsultaEquipAnalisados.isEmpty();
    // Without samples there is nothing to remove or consult (a new analysis included).
    btnExcluir->setEnabled(comEquipamentos && autorizado(btnExcluir));
    btnConsultar->setEnabled(comEquipamentos && autorizado(btnConsultar));
    btnResultadosAmostras->setEnabled(comEquipamentos && autorizado(btnResultadosAmostras));
    // A saved analysis has a history, samples or not.
    btnHistorico->setEnabled(comChave && autorizado(btnHistorico));
    lkTipoEquipamento->setEnabled(!comEquipamentos);
    lkTipoEquipamento->setToolTip(comEquipamentos ? QString::fromUtf8(kTipoBloqueado) : QString());
    // The prints need an analysis: the current one, or the new one (saved before it prints).
    const DataSet* ds = dsPadrao.dataSet();
    const bool analise = comChave || (ds && ds->state() == DataSetState::Insert);
    BitBtn1->setEnabled(analise && autorizado(BitBtn1));
    BTImpRelPreench->setEnabled(analise && autorizado(BTImpRelPreench));
    btnEnviarLaudoEmail->setEnabled(analise && autorizado(btnEnviarLaudoEmail));
}

void TfrmCadastrodeAnalise::salvaSeEditando() {
    DataSet* ds = dsPadrao.dataSet();
    TfrmClassePrincipal* p = principal();
    if (!ds || !p || !ds->editing()) return;
    p->salvaDataSet(*ds);
    p->TotalRegistros();
}

void TfrmCadastrodeAnalise::btnPesquisaPessoaClick() {
    const int id = PesquisaPessoa("G");
    if (id == 0) return;
    DataSet* ds = dsPadrao.dataSet();
    if (!ds || !ds->active()) return;
    if (!ds->editing()) {
        if (ds->isEmpty())
            ds->insert();
        else
            ds->edit();
    }
    ds->fieldByName("ID_CLIENTE")->setValue(id);
    // A person registered after the list was read is read now, so that the name shows.
    if (lkCliente->currentIndex() < 0)
        if (TdmLookUp* lk = dmLookUp()) TdmLookUp::reabre(lk->IBQ_Pessoas);
}

void TfrmCadastrodeAnalise::btnIncluirClick() {
    DataSet* ds = dsPadrao.dataSet();
    if (!ds || !ds->active()) return;
    salvaSeEditando();
    const int id = idAnaliseAtual();
    if (id == 0)
        warnAndAbort(
            QString::fromUtf8("Inclua ou escolha uma análise antes de incluir os equipamentos analisados."));
    const QVariant tipo = ds->fieldByName("ID_TP_EQUIPAMENTO")->value();
    const QVariant cliente = ds->fieldByName("ID_CLIENTE")->value();
    IBQ_Gen.close();
    IBQ_Gen.setSqlText(
        "select count(*) as qtde from tab_equipamento_cli tec  where tec.id_tp_equipamento = " +
        QString::number(tipo.toInt()) + " and tec.id_cliente =  " + QString::number(cliente.toInt()));
    IBQ_Gen.open();
    const int qtde = IBQ_Gen.fieldByName("qtde")->asInteger();
    IBQ_Gen.close();
    if (qtde == 0) {
        warn("Não existem equipamentos cadastrados para este Cliente");
        return;
    }
    if (TrazTelaParaFrente("frmEquipamentosAnalisados")) return;
    abreEquipamentos(true, 0);
}

void TfrmCadastrodeAnalise::btnConsultarClick() {
    salvaSeEditando();
    if (TrazTelaParaFrente("frmEquipamentosAnalisados")) return;
    TdmPadrao* dm = dmPadrao();
    const int id = idAnaliseAtual();
    if (!dm || id == 0 || !dm->IBQ_ConsultaEquipAnalisados.active() ||
        dm->IBQ_ConsultaEquipAnalisados.isEmpty())
        warnAndAbort("Nenhum equipamento analisado selecionado.");
    abreEquipamentos(false,
                     dm->IBQ_ConsultaEquipAnalisados.fieldByName("ID_ANALISE_EQUIPAMENTO")->asInteger());
}

void TfrmCadastrodeAnalise::abreEquipamentos(bool novo, int idAnaliseEquipamento) {
    TfrmClassePrincipal* p = principal();
    const int id = idAnaliseAtual();
    auto* tela = new TfrmEquipamentosAnalisados;
    tela->iIdAnalise = id;
    // The screen lists the samples of this analysis only (its Todos included).
    tela->defineCondicaoBase("where id_analise = " + QString::number(id));
    tela->incluirAoAbrir = novo;
    QPointer<TfrmCadastrodeAnalise> self(this);
    tela->aoFechar = [self] {
        if (self) self->equipamentosFechados();
    };
    if (!novo) p->ProcuraRegistro = "id_analise_equipamento," + QString::number(idAnaliseEquipamento);
    m_equipamentos = tela;
    aguardaEquipamentos(true);
    try {
        p->abreTela(tela);
    } catch (...) {
        aguardaEquipamentos(false);
        throw;
    }
}

void TfrmCadastrodeAnalise::aguardaEquipamentos(bool aguardando) {
    // This screen accepts no input while the analysed-equipment screen is open.
    setEnabled(!aguardando);
    if (QMdiSubWindow* s = subWindow()) s->setEnabled(!aguardando);
}

void TfrmCadastrodeAnalise::equipamentosFechados() {
    m_equipamentos = nullptr;
    aguardaEquipamentos(false);
    recarregaEquipamentos();
    ajustaControlesEquipamento();
}

void TfrmCadastrodeAnalise::btnResultadosAmostrasClick() {
    salvaSeEditando();
    const int id = idAnaliseAtual();
    if (id == 0) warnAndAbort(QString::fromUtf8("Escolha uma análise com equipamentos analisados."));
    TfrmResultadosTodasAmostras janela(this);
    janela.IidAnalise = id;
    execModal(janela);
}

void TfrmCadastrodeAnalise::btnHistoricoClick() {
    salvaSeEditando();
    const int id = idAnaliseAtual();
    if (id == 0) warnAndAbort(QString::fromUtf8("Escolha uma análise gravada para ver o seu histórico."));
    TfrmHistoricoAlteracoes::abre(
        id, 0, QString::fromUtf8("Análise de ") + dtColeta->text() + " - " + lkCliente->currentText());
}

void TfrmCadastrodeAnalise::btnExcluirClick() {
    TdmPadrao* dm = dmPadrao();
    if (!dm || !dm->IBQ_ConsultaEquipAnalisados.active() || dm->IBQ_ConsultaEquipAnalisados.isEmpty()) return;
    const int idAnalise = idAnaliseAtual();
    const QVariant idAE = dm->IBQ_ConsultaEquipAnalisados.fieldByName("ID_ANALISE_EQUIPAMENTO")->value();
    if (idAnalise == 0 || idAE.isNull()) return;
    if (showMessage("Deseja Excluir este Registro?", kSystemCaption, MsgIcon::Warning, MsgButtons::YesNo,
                    MsgAnswer::No) != MsgAnswer::Yes)
        return;
    IBQ_Gen.close();
    IBQ_Gen.setSqlText("delete from mov_analise_equipamento where id_analise_equipamento = " +
                       QString::number(idAE.toInt()));
    IBQ_Gen.execSQL();
    IBQ_Gen.setSqlText("commit");
    IBQ_Gen.execSQL();
    // The samples left keep their pages and positions without a gap.
    NumeraPaginasAmostras(idAnalise);
    recarregaEquipamentos();
    ajustaControlesEquipamento();
}

void TfrmCadastrodeAnalise::chkImprimirLogomarcaRodapeClick() {
    // The company chosen stays chosen while the box is cleared.
    lkEmpresa->setEnabled(chkImprimirLogomarcaRodape->isChecked());
}

void TfrmCadastrodeAnalise::imgTutorialClick() {
    AbreTutorial("frmCadastrodeAnalise", 1);
}

void TfrmCadastrodeAnalise::BitBtn1Click() {
    imprime(BitBtn1, QStringLiteral("0"));
}

void TfrmCadastrodeAnalise::BTImpRelPreenchClick() {
    imprime(BTImpRelPreench, QStringLiteral("1"));
}

void TfrmCadastrodeAnalise::imprime(QPushButton* botao, const QString& tipo) {
    salvaSeEditando();
    const int id = idAnaliseAtual();
    if (id == 0)
        warnAndAbort(QString::fromUtf8("Não há análise para imprimir: escolha ou cadastre uma análise."));
    botao->setEnabled(false);
    TipoImpresao = tipo;
    // The button comes back and the list shows the new page and sample numbers, whatever the
    // print's outcome.
    struct Depois {
        TfrmCadastrodeAnalise* tela;
        QPushButton* botao;
        ~Depois() {
            botao->setEnabled(true);
            guarded([this] { tela->recarregaEquipamentos(); });
        }
    } depois{this, botao};
    const TAnaliseImpressao a = analiseDaTela(id);
    if (tipo == QLatin1String("0"))
        ImprimeRelatorioAnalise(a, &cdsRelatorio);
    else
        ImprimePlanilhaPreenchimento(a, &cdsRelatorio);
}

TAnaliseImpressao TfrmCadastrodeAnalise::analiseDaTela(int id) const {
    TAnaliseImpressao a = LeAnaliseImpressao(id);
    // What the screen shows and offers, as the user sees it.
    a.cliente = lkCliente->currentText();
    a.representante = lkRepresentante->currentText();
    if (DataSet* ds = dsPadrao.dataSet()) {
        if (Field* f = ds->findField("DT_ENVIO")) a.dtEnvio = f->asDate();
    }
    a.imprimirLogomarca = chkImprimirLogomarcaRodape->isChecked();
    a.idEmpresa = lkEmpresa->keyValue().isNull() ? 0 : lkEmpresa->keyValue().toInt();
    return a;
}

void TfrmCadastrodeAnalise::btnEnviarLaudoEmailClick() {
    salvaSeEditando();
    const int id = idAnaliseAtual();
    if (id == 0)
        warnAndAbort(QString::fromUtf8("Não há análise para enviar: escolha ou cadastre uma análise."));
    const ConfiguracaoEmailLaudo cfg = carregaConfiguracaoEmailLaudo();
    if (const QString falta = faltaNaConfiguracaoEmailLaudo(cfg); !falta.isEmpty())
        warnAndAbort(
            QString::fromUtf8("O e-mail para envio dos laudos não está configurado: ") + falta + QChar(13) +
            QString::fromUtf8("Configure-o em \"Configurações do Cortivandela\", botão \"E-mail para Envio "
                              "dos Laudos\"."));
    Database* db = dataContext().IBSolution;
    if (!db) return;
    btnEnviarLaudoEmail->setEnabled(false);
    TipoImpresao = QStringLiteral("0");
    struct Depois {
        TfrmCadastrodeAnalise* tela;
        ~Depois() {
            tela->ajustaControlesEquipamento();
            guarded([this] { tela->recarregaEquipamentos(); });
        }
    } depois{this};

    // The progress window of the report leaves the keyboard to no one: the mail window
    // opens over this screen, which gets it back when the mail window closes.
    const KeyboardKeeper teclado;
    // The report exactly as the print makes it, into a PDF.
    const TAnaliseImpressao a = analiseDaTela(id);
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("laudo.pdf"));
    GeraPdfRelatorioAnalise(a, caminho, &cdsRelatorio);
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly))
        warnAndAbort(QString::fromUtf8("O PDF do laudo não pôde ser lido: ") + arquivo.errorString());
    const QByteArray pdf = arquivo.readAll();
    arquivo.close();
    teclado.giveBack();

    const QString nomeArquivo = NomeArquivoLaudo(id, a.cliente, a.dtColeta);
    const QString assinatura = cfg.nomeRemetente.isEmpty() ? RetornaNomeEmpresa() : cfg.nomeRemetente;
    TfrmEnviaLaudoEmail frm(cfg, DestinatariosDoCliente(*db, a.idCliente),
                            AssuntoLaudo(a.cliente, a.dtColeta), TextoLaudo(a.dtColeta, assinatura),
                            nomeArquivo, pdf, this);
    if (execModal(frm) != QDialog::Accepted) return;

    // The server accepted the mail: it is recorded whatever happens next.
    LaudoEnviado enviado;
    enviado.idAnalise = id;
    enviado.destinatarios = frm.enviados;
    enviado.assunto = frm.assuntoEnviado;
    enviado.momento = frm.momento;
    enviado.idUsuario = sessaoUsuario().codusuario;
    enviado.nmUsuario = sessaoUsuario().Nm_usuario;
    const QString falhaCopia = RegistraLaudoEnviado(*db, enviado, nomeArquivo, pdf);
    mostraUltimoEnvio(true);
    const QString para = frm.enviados.join(", ");
    if (falhaCopia.isEmpty())
        inform(QString::fromUtf8("Laudo enviado para ") + para + ".");
    else
        warn(QString::fromUtf8("Laudo enviado para ") + para +
             QString::fromUtf8(", mas a cópia do PDF não pôde ser "
                               "guardada: ") +
             falhaCopia + ".");
    marcaDataEnvio();
}

void TfrmCadastrodeAnalise::marcaDataEnvio() {
    DataSet* ds = dsPadrao.dataSet();
    if (!ds || !ds->active() || ds->isEmpty()) return;
    Field* f = ds->fieldByName("DT_ENVIO");
    const QDate hoje = appClock().today();
    if (!f->isNull()) {
        if (f->asDate() == hoje) return;
        const QLocale br(QLocale::Portuguese, QLocale::Brazil);
        if (ask(QString::fromUtf8("A \"Data do Envio\" desta análise já está preenchida com ") +
                    br.toString(f->asDate(), "dd/MM/yyyy") +
                    QString::fromUtf8(". Trocar pela data de hoje (") + br.toString(hoje, "dd/MM/yyyy") +
                    ")?",
                MsgButtons::YesNo, MsgAnswer::No) != MsgAnswer::Yes)
            return;
    }
    if (!ds->editing()) ds->edit();
    f->setValue(hoje);
    salvaSeEditando();
}
