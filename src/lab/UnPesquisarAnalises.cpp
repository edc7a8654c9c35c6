#include "lab/UnPesquisarAnalises.h"
#include "data/DataContext.h"
#include "data/SqlText.h"
#include "lab/ContagemForaFaixa.h"
#include "lab/UnCadastrodeAnalise.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/IconePadrao.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/DBLookupCombo.h"
#include "search/UnPesquisaPessoaComercio.h"
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString contagem(int n) {
    // "###,##0"
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(n);
}

// The name shown for a chosen person ("" for none).
QString nomePesquisa(int idPessoa) {
    if (idPessoa == 0) return QString();
    const DataContext& ctx = dataContext();
    Query q(ctx.IBSolution, ctx.IBT_Gen, "IBQ_NomePessoa");
    q.setSqlText(" select cp.nm_pesquisa from cad_pessoa cp where cp.id_pessoa = " +
                 QString::number(idPessoa));
    q.open();
    const QString nome = q.isEmpty() ? QString() : q.fieldByName("NM_PESQUISA")->asString();
    q.close();
    return nome;
}

QLineEdit* textoCinza(QWidget* pai, const char* nome) {
    auto* e = new QLineEdit(pai);
    e->setObjectName(nome);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, QColor(0xd4, 0xd0, 0xc8));
    e->setPalette(p);
    return e;
}

QLabel* titulo(const QString& texto, QWidget* pai, const char* nome) {
    auto* l = new QLabel(texto, pai);
    l->setObjectName(nome);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

} // namespace

QString MontaSQLPesquisaAnalises(const CriteriosPesquisaAnalise& c) {
    QString s =
        " select ma.id_analise, ma.dt_coleta, cli.nm_pesquisa as CLI_NM_PESQUISA, rep.nm_pesquisa as "
        "REP_NM_PESQUISA, tte.nm_tp_equipamento from mov_analise ma inner join mov_analise_equipamento mae "
        "on (mae.id_analise = ma.id_analise) inner join cad_pessoa cli on (cli.id_pessoa = ma.id_cliente) "
        "inner join cad_pessoa rep on (rep.id_pessoa = ma.id_representante) inner join tab_tp_equipamento "
        "tte on (tte.id_tp_equipamento = ma.id_tp_equipamento) where 0=0";
    if (c.porData)
        s += " and ma.dt_coleta between " + sql::quotedDate(c.de) + " and " + sql::quotedDate(c.ate);
    if (c.porCliente) s += " and ma.id_cliente = " + QString::number(c.idCliente);
    if (c.porRepresentante) s += " and ma.id_representante = " + QString::number(c.idRepresentante);
    if (c.porEquipamento && !c.idEquipamento.isNull())
        s += " and mae.id_equipamento_cli = " + QString::number(c.idEquipamento.toInt());
    s += QString(" group by ma.id_analise, ma.dt_coleta, cli.nm_pesquisa, rep.nm_pesquisa, "
                 "tte.nm_tp_equipamento") +
         " order by ma.dt_coleta desc";
    return s;
}

QString SQLEquipamentosCliente(int idCliente) {
    QString s = " select tec.id_equipamento_cli, tec.id_tp_equipamento, tec.nm_equipamento from "
                "tab_equipamento_cli tec";
    if (idCliente != 0) s += " where ID_CLIENTE = " + QString::number(idCliente);
    return s + " order by tec.nm_equipamento";
}

TfrmPesquisarAnalises::TfrmPesquisarAnalises(QWidget* parent)
    : TfrmFormPadrao("frmPesquisarAnalises", parent) {
    setWindowTitle(QString::fromUtf8("Pesquisar Análises Cadastradas"));
    const DataContext& ctx = dataContext();
    for (Query* q : {&IBQ_PesquisaAnalise, &IBQ_Equipamentos, &IBQ_EquipamentoCli}) {
        q->setDatabase(ctx.IBSolution);
        q->setTransaction(ctx.IBT_Gen);
    }
    IBQ_PesquisaAnalise.setName("IBQ_PesquisaAnalise");
    IBQ_PesquisaAnalise.defineField("DT_COLETA").displayLabel = "Coleta";
    IBQ_PesquisaAnalise.defineField("CLI_NM_PESQUISA").displayLabel = "Cliente";
    IBQ_PesquisaAnalise.defineField("REP_NM_PESQUISA").displayLabel = "Representante";
    IBQ_PesquisaAnalise.defineField("NM_TP_EQUIPAMENTO").displayLabel = "Tipo de Equipamento";
    IBQ_Equipamentos.setName("IBQ_Equipamentos");
    IBQ_Equipamentos.setSqlText("select mae.id_analise, mae.id_equipamento_cli, tec.nm_equipamento from "
                                "mov_analise_equipamento mae inner "
                                "join tab_equipamento_cli tec on (tec.id_equipamento_cli = "
                                "mae.id_equipamento_cli) where mae.id_analise = "
                                ":idAnalise");
    IBQ_EquipamentoCli.setName("IBQ_EquipamentoCli");
    dsPesquisaAnalise.setDataSet(&IBQ_PesquisaAnalise);
    dsEquipamentos.setDataSet(&IBQ_Equipamentos);
    cdsForaFaixa.addFieldDef("ID_EQUIPAMENTO_CLI", FieldKind::Integer);
    cdsForaFaixa.addFieldDef("DS_FORA_FAIXA", FieldKind::String, 40);
    cdsForaFaixa.createDataSet();
    IBQ_Equipamentos.defineLookupField("lkForaFaixa", "Fora da Faixa", 40, "ID_EQUIPAMENTO_CLI",
                                       &cdsForaFaixa, "ID_EQUIPAMENTO_CLI", "DS_FORA_FAIXA");

    auto* lay = new QVBoxLayout(this);
    gbParametros = new QGroupBox(QString::fromUtf8("Parâmetros para Pesquisa"), this);
    gbParametros->setObjectName("gbParametros");
    QFont negrito = gbParametros->font();
    negrito.setBold(true);
    gbParametros->setFont(negrito);
    auto* g = new QGridLayout(gbParametros);
    // The frame's title is bold; its controls are not.
    auto normal = [](QWidget* w) {
        QFont f = w->font();
        f.setBold(false);
        w->setFont(f);
        return w;
    };

    ckbDataColeta = new QCheckBox("Data da Coleta", gbParametros);
    ckbDataColeta->setObjectName("ckbDataColeta");
    dtInicial = new DBDateEdit(gbParametros, "dtInicial");
    dtFinal = new DBDateEdit(gbParametros, "dtFinal");
    dtInicial->setEnabled(false);
    dtFinal->setEnabled(false);
    auto* periodo = new QHBoxLayout;
    periodo->addWidget(normal(dtInicial));
    periodo->addWidget(normal(new QLabel("a", gbParametros)));
    periodo->addWidget(normal(dtFinal));
    periodo->addStretch();
    g->addWidget(normal(ckbDataColeta), 0, 0);
    g->addLayout(periodo, 0, 1);

    ckbCliente = new QCheckBox("Cliente", gbParametros);
    ckbCliente->setObjectName("ckbCliente");
    ckbCliente->setChecked(true);
    btnPesquisarCliente = new QToolButton(gbParametros);
    btnPesquisarCliente->setObjectName("btnPesquisarCliente");
    btnPesquisarCliente->setToolTip("Pesquisar Cliente");
    edtCliente = textoCinza(gbParametros, "edtCliente");
    auto* cliente = new QHBoxLayout;
    cliente->addWidget(btnPesquisarCliente);
    cliente->addWidget(normal(edtCliente), 1);
    g->addWidget(normal(ckbCliente), 1, 0);
    g->addLayout(cliente, 1, 1);

    ckbRepresentante = new QCheckBox("Representante", gbParametros);
    ckbRepresentante->setObjectName("ckbRepresentante");
    btnPesquisarRepresentante = new QToolButton(gbParametros);
    btnPesquisarRepresentante->setObjectName("btnPesquisarRepresentante");
    btnPesquisarRepresentante->setToolTip("Pesquisar Representante");
    btnPesquisarRepresentante->setEnabled(false);
    edtRepresentante = textoCinza(gbParametros, "edtRepresentante");
    auto* representante = new QHBoxLayout;
    representante->addWidget(btnPesquisarRepresentante);
    representante->addWidget(normal(edtRepresentante), 1);
    g->addWidget(normal(ckbRepresentante), 2, 0);
    g->addLayout(representante, 2, 1);
    for (QToolButton* b : {btnPesquisarCliente, btnPesquisarRepresentante}) {
        b->setIcon(iconePadrao(QStyle::SP_FileDialogContentsView));
        b->setFocusPolicy(Qt::StrongFocus);
    }

    ckbEquipamento = new QCheckBox("Equipamento", gbParametros);
    ckbEquipamento->setObjectName("ckbEquipamento");
    lkEquipamento = new DBLookupCombo(gbParametros, nullptr, QString(), &IBQ_EquipamentoCli,
                                      "ID_EQUIPAMENTO_CLI", "NM_EQUIPAMENTO", "lkEquipamento");
    lkEquipamento->setDropDownCount(12);
    lkEquipamento->setEnabled(false);
    g->addWidget(normal(ckbEquipamento), 3, 0);
    g->addWidget(normal(lkEquipamento), 3, 1);
    g->setColumnStretch(1, 1);
    lay->addWidget(gbParametros);

    btnPesquisar = new QPushButton("&Pesquisar", this);
    btnPesquisar->setObjectName("btnPesquisar");
    btnPesquisar->setIcon(iconePadrao(QStyle::SP_FileDialogContentsView));
    auto* linhaPesquisar = new QHBoxLayout;
    linhaPesquisar->addStretch();
    linhaPesquisar->addWidget(btnPesquisar);
    lay->addLayout(linhaPesquisar);

    lblAnalises = titulo(QString::fromUtf8("Análises encontradas"), this, "lblAnalises");
    lay->addWidget(lblAnalises);
    DBGrid1 = new DBGrid(this, &dsPesquisaAnalise, "DBGrid1");
    DBGrid1->setColumns({{"DT_COLETA", "Coleta", 80},
                         {"CLI_NM_PESQUISA", "Cliente", 230},
                         {"REP_NM_PESQUISA", "Representante", 170},
                         {"NM_TP_EQUIPAMENTO", "Tipo de Equipamento", 170}});
    DBGrid1->onDblClick = [this] { DBGrid1DblClick(); };
    lay->addWidget(DBGrid1, 3);
    lblEquipamentos =
        titulo(QString::fromUtf8("Equipamentos da Análise Selecionada"), this, "lblEquipamentos");
    lay->addWidget(lblEquipamentos);
    DBGrid2 = new DBGrid(this, &dsEquipamentos, "DBGrid2");
    DBGrid2->setColumns({{"NM_EQUIPAMENTO", "Equipamento", 400}, {"lkForaFaixa", "Fora da Faixa", 200}});
    DBGrid2->horizontalHeader()->setStretchLastSection(true);
    DBGrid2->onDblClick = [this] { DBGrid1DblClick(); };
    lay->addWidget(DBGrid2, 1);
    lblForaFaixa = new QLabel(this);
    lblForaFaixa->setObjectName("lblForaFaixa");
    lay->addWidget(lblForaFaixa);

    btnConsultarAnalise = new QPushButton(QString::fromUtf8("Consultar Análise"), this);
    btnConsultarAnalise->setObjectName("btnConsultarAnalise");
    btnConsultarAnalise->setIcon(iconePadrao(QStyle::SP_DialogOpenButton));
    btnCancelar = new QPushButton("Cancelar", this);
    btnCancelar->setObjectName("btnCancelar");
    btnCancelar->setIcon(iconePadrao(QStyle::SP_DialogCancelButton));
    auto* rodape = new QHBoxLayout;
    rodape->addStretch();
    rodape->addWidget(btnConsultarAnalise);
    rodape->addWidget(btnCancelar);
    lay->addLayout(rodape);
    for (QPushButton* b : {btnPesquisar, btnConsultarAnalise, btnCancelar})
        b->setAutoDefault(false);

    setTabOrder(ckbDataColeta, dtInicial);
    setTabOrder(dtInicial, dtFinal);
    setTabOrder(dtFinal, ckbCliente);
    setTabOrder(ckbCliente, btnPesquisarCliente);
    setTabOrder(btnPesquisarCliente, ckbRepresentante);
    setTabOrder(ckbRepresentante, btnPesquisarRepresentante);
    setTabOrder(btnPesquisarRepresentante, ckbEquipamento);
    setTabOrder(ckbEquipamento, lkEquipamento);
    setTabOrder(lkEquipamento, btnPesquisar);
    setTabOrder(btnPesquisar, DBGrid1);
    setTabOrder(DBGrid1, DBGrid2);
    setTabOrder(DBGrid2, btnConsultarAnalise);
    setTabOrder(btnConsultarAnalise, btnCancelar);

    auto on = [this](QAbstractButton* b, void (TfrmPesquisarAnalises::*fn)()) {
        connect(b, &QAbstractButton::clicked, this, [this, fn] { guarded([&] { (this->*fn)(); }); });
    };
    on(ckbDataColeta, &TfrmPesquisarAnalises::ckbDataColetaClick);
    on(ckbCliente, &TfrmPesquisarAnalises::ckbClienteClick);
    on(ckbRepresentante, &TfrmPesquisarAnalises::ckbRepresentanteClick);
    on(ckbEquipamento, &TfrmPesquisarAnalises::ckbEquipamentoClick);
    on(btnPesquisarCliente, &TfrmPesquisarAnalises::btnPesquisarClienteClick);
    on(btnPesquisarRepresentante, &TfrmPesquisarAnalises::btnPesquisarRepresentanteClick);
    on(btnPesquisar, &TfrmPesquisarAnalises::btnPesquisarClick);
    on(btnConsultarAnalise, &TfrmPesquisarAnalises::btnConsultarAnaliseClick);
    on(btnCancelar, &TfrmPesquisarAnalises::btnCancelarClick);
    dsPesquisaAnalise.onDataChange = [this](Field* f) {
        if (!f) DBEdit1Change();
    };
    resize(700, 620);
}

void TfrmPesquisarAnalises::FormShow() {
    TfrmFormPadrao::FormShow();
    if (!PermissaoAcesso) return;
    const QDate hoje = appClock().today();
    dtInicial->setDate(hoje.addDays(-30));
    dtFinal->setDate(hoje);
    carregaEquipamentos();
    btnPesquisarClick();
}

CriteriosPesquisaAnalise TfrmPesquisarAnalises::criterios() const {
    CriteriosPesquisaAnalise c;
    c.porData = ckbDataColeta->isChecked();
    c.de = dtInicial->date();
    c.ate = dtFinal->date();
    c.porCliente = ckbCliente->isChecked();
    c.idCliente = it_iidCliente;
    c.porRepresentante = ckbRepresentante->isChecked();
    c.idRepresentante = it_iidRepresentante;
    c.porEquipamento = ckbEquipamento->isChecked();
    c.idEquipamento = lkEquipamento->keyValue();
    return c;
}

void TfrmPesquisarAnalises::ckbDataColetaClick() {
    dtInicial->setEnabled(ckbDataColeta->isChecked());
    dtFinal->setEnabled(ckbDataColeta->isChecked());
}

void TfrmPesquisarAnalises::ckbClienteClick() {
    btnPesquisarCliente->setEnabled(ckbCliente->isChecked());
}

void TfrmPesquisarAnalises::ckbRepresentanteClick() {
    btnPesquisarRepresentante->setEnabled(ckbRepresentante->isChecked());
}

void TfrmPesquisarAnalises::ckbEquipamentoClick() {
    lkEquipamento->setEnabled(ckbEquipamento->isChecked());
    if (ckbEquipamento->isChecked()) reabreEquipamentosCliente();
}

void TfrmPesquisarAnalises::carregaEquipamentos() {
    // The choices are read when the drop-down is in use: every client's equipment is a long list.
    m_equipamentosPendentes = true;
    lkEquipamento->setKeyValue(QVariant());
    if (ckbEquipamento->isChecked()) reabreEquipamentosCliente();
}

void TfrmPesquisarAnalises::reabreEquipamentosCliente() {
    if (!m_equipamentosPendentes && IBQ_EquipamentoCli.active()) return;
    IBQ_EquipamentoCli.setSqlText(SQLEquipamentosCliente(it_iidCliente));
    IBQ_EquipamentoCli.open();
    IBQ_EquipamentoCli.fetchAll();
    m_equipamentosPendentes = false;
}

void TfrmPesquisarAnalises::btnPesquisarClienteClick() {
    const int id = PesquisaPessoa("C");
    // A cancelled search leaves no client chosen: the name shown and the filter agree.
    it_iidCliente = id;
    edtCliente->setText(nomePesquisa(id));
    carregaEquipamentos();
}

void TfrmPesquisarAnalises::btnPesquisarRepresentanteClick() {
    const int id = PesquisaPessoa("V");
    it_iidRepresentante = id;
    edtRepresentante->setText(nomePesquisa(id));
}

void TfrmPesquisarAnalises::btnPesquisarClick() {
    const CriteriosPesquisaAnalise c = criterios();
    if (c.porData) {
        if (!c.de.isValid() || !c.ate.isValid())
            warnAndAbort(QString::fromUtf8("Informe as duas datas do período da coleta."));
        if (c.de > c.ate)
            warnAndAbort(QString::fromUtf8("A data inicial do período da coleta é posterior à data final."));
    }
    const QString anterior = IBQ_PesquisaAnalise.sqlText();
    const bool estavaAberta = IBQ_PesquisaAnalise.active();
    m_analiseMostrada = QVariant();
    try {
        IBQ_PesquisaAnalise.setSqlText(MontaSQLPesquisaAnalises(c));
        IBQ_PesquisaAnalise.open();
        IBQ_PesquisaAnalise.fetchAll();
    } catch (...) {
        // The list found before stays on the screen.
        guarded([&] {
            IBQ_PesquisaAnalise.setSqlText(anterior);
            if (estavaAberta) {
                IBQ_PesquisaAnalise.open();
                IBQ_PesquisaAnalise.fetchAll();
            }
        });
        throw;
    }
    lblAnalises->setText(QString::fromUtf8("Análises encontradas (") +
                         contagem(IBQ_PesquisaAnalise.recordCount()) + ")");
    DBEdit1Change();
}

void TfrmPesquisarAnalises::DBEdit1Change() {
    const QVariant id = IBQ_PesquisaAnalise.active() && !IBQ_PesquisaAnalise.isEmpty()
                            ? IBQ_PesquisaAnalise.fieldByName("ID_ANALISE")->value()
                            : QVariant();
    if (!id.isNull() && id == m_analiseMostrada) return;
    m_analiseMostrada = id;
    IBQ_Equipamentos.close();
    lblForaFaixa->clear();
    if (id.isNull() || id.toInt() == 0) {
        lblEquipamentos->setText(QString::fromUtf8("Equipamentos da Análise Selecionada"));
        return;
    }
    const DataContext& ctx = dataContext();
    IBQ_Equipamentos.setParam("idAnalise", id);
    IBQ_Equipamentos.open();
    IBQ_Equipamentos.fetchAll();
    // Every equipment of the analysis gets its count, one without values too.
    const ContagemAnalise fora = ContaForaDaFaixa(*ctx.IBSolution, *ctx.IBT_Gen, id.toInt());
    cdsForaFaixa.createDataSet();
    Field* equipamento = IBQ_Equipamentos.fieldByName("ID_EQUIPAMENTO_CLI");
    for (int r = 0; r < IBQ_Equipamentos.recordCount(); ++r) {
        const int eq = IBQ_Equipamentos.valueAt(r, equipamento).toInt();
        const auto it = fora.porEquipamento.find(eq);
        cdsForaFaixa.append();
        cdsForaFaixa.fieldByName("ID_EQUIPAMENTO_CLI")->setValue(eq);
        cdsForaFaixa.fieldByName("DS_FORA_FAIXA")
            ->setValue(TextoContagem(it == fora.porEquipamento.end() ? ContagemFaixa{} : it->second));
        cdsForaFaixa.post();
    }
    DBGrid2->viewport()->update();
    lblForaFaixa->setText(QString::fromUtf8("Valores da análise selecionada: ") + TextoContagem(fora.total));
    lblEquipamentos->setText(QString::fromUtf8("Equipamentos da Análise Selecionada (") +
                             contagem(IBQ_Equipamentos.recordCount()) + ")");
}

void TfrmPesquisarAnalises::btnConsultarAnaliseClick() {
    const QVariant id = IBQ_PesquisaAnalise.active() && !IBQ_PesquisaAnalise.isEmpty()
                            ? IBQ_PesquisaAnalise.fieldByName("ID_ANALISE")->value()
                            : QVariant();
    if (id.isNull()) warnAndAbort("Nenhum registro encontrado!");
    if (TrazTelaParaFrente("frmCadastrodeAnalise")) return;
    TfrmClassePrincipal* p = principal();
    p->ProcuraRegistro = "id_analise," + QString::number(id.toInt());
    p->gbpainelcontrole->hide();
    try {
        p->abreTela(new TfrmCadastrodeAnalise);
    } catch (...) {
        p->ProcuraRegistro.clear();
        throw;
    }
}

void TfrmPesquisarAnalises::btnCancelarClick() {
    fecha();
}
