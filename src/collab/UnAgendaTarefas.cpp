#include "collab/UnAgendaTarefas.h"
#include "data/DataContext.h"
#include "data/UndmLookup.h"
#include "data/UndmPadrao.h"
#include "platform/Clock.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/IconePadrao.h"
#include "screens/UnPermissoes.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBCheckBox.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include "screens/controls/DBMemo.h"
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

QString sqlMinhasTarefasPendentes(int usuario) {
    return " select * from tab_tarefa  where dh_conclusao is null and id_usuario_aviso = " +
           QString::number(usuario) + " order by dt_aviso";
}

const QString kSqlPendentesDepartamento =
    QStringLiteral(" select * from tab_tarefa  where tab_tarefa.dh_conclusao is null "
                   " and exists (select sis_usuario.id_usuario from sis_usuario "
                   " where sis_usuario.id_usuario = tab_tarefa.id_usuario_aviso "
                   " and ((tab_tarefa.st_administrativo = 'S' and sis_usuario.st_administrativo = 'S') "
                   " or (tab_tarefa.st_comercial = 'S' and sis_usuario.st_comercial = 'S') "
                   " or (tab_tarefa.st_operacional = 'S' and sis_usuario.st_operacional = 'S') "
                   " or (tab_tarefa.st_compras = 'S' and sis_usuario.st_compra = 'S') "
                   " or (tab_tarefa.st_financeiro = 'S' and sis_usuario.st_financeiro = 'S'))) "
                   "order by tab_tarefa.dt_aviso");

const QString kSqlTarefasPendentes =
    QStringLiteral(" select * from tab_tarefa  where dh_conclusao is null order by dt_aviso ");

BotoesTarefa regraBotoesTarefa(bool temTarefa, const QVariant& inicio, const QVariant& conclusao,
                               const QVariant& criador, int usuario) {
    BotoesTarefa b;
    if (!temTarefa) return b;
    b.iniciar = inicio.isNull();
    b.concluir = conclusao.isNull();
    const bool ehCriador = !criador.isNull() && criador.toInt() == usuario;
    b.cancelarInicio = b.cancelarConclusao = b.cancelarAviso = ehCriador;
    return b;
}

RotulosDocumento rotulosDocumento(Query& q, const QVariant& idNfComercio) {
    RotulosDocumento r;
    if (idNfComercio.isNull() || idNfComercio.toLongLong() <= 0) return r;
    q.close();
    q.setSqlText(" select mov.DS_SERIE_NF, mov.NR_NOTA_FISCAL, mov.DT_EMISSAO, mov.ID_NF_COMERCIO, "
                 "tab.NM_NATUREZA_INTERNO  from MOV_NF_COMERCIO mov, TAB_NAT_OPERACAO tab   where "
                 "tab.id_nat_operacao = mov.id_nat_operacao and id_nf_comercio = " +
                 QString::number(idNfComercio.toLongLong()));
    q.open();
    if (!q.isEmpty()) {
        r.natureza = q.fieldByName("NM_NATUREZA_INTERNO")->asString();
        r.documento = "Documento: " + q.fieldByName("DS_SERIE_NF")->asString() + " " +
                      q.fieldByName("NR_NOTA_FISCAL")->asString();
        const QDate emissao = q.fieldByName("DT_EMISSAO")->asDate();
        r.emissao =
            QStringLiteral("Emissão: ") + (emissao.isValid() ? emissao.toString("dd/MM/yyyy") : QString());
    }
    q.close();
    return r;
}

namespace {
void habilita(QAbstractButton* b, bool regra) {
    b->setEnabled(regra && autorizado(b));
}
} // namespace

TfrmAgendaTarefas::TfrmAgendaTarefas(QWidget* parent)
    : TfrmCadastroPadrao("frmAgendaTarefas", listaDoModulo(&TdmPadrao::IBQ_AgendaTarefas), parent) {
    setWindowTitle("Agenda de Tarefas");
    const DataContext& ctx = dataContext();
    IBQ_Pessoas.setName("IBQ_Pessoas");
    IBQ_Pessoas.setDatabase(ctx.IBSolution);
    IBQ_Pessoas.setTransaction(ctx.IBTransaction);
    IBQ_Pessoas.setSql({"select id_pessoa, nm_pesquisa", "from cad_pessoa", "order by nm_pesquisa"});
    dsPessoas.setDataSet(&IBQ_Pessoas);
    IBQ_Documento.setName("IBQ_Documento");
    IBQ_Documento.setDatabase(ctx.IBSolution);
    IBQ_Documento.setTransaction(ctx.IBTransaction);
    TdmPadrao* dm = dmPadrao();

    // The subject is created first: inserting puts the cursor there.
    DBEdit_Assunto = new DBEdit(pagFicha, &dsPadrao, "DS_TAREFA", "DBEdit_Assunto");
    DBEdit1 = new DBEdit(pagFicha, &dsPadrao, "ID_TAREFA", "DBEdit1");
    DBEdit1->hide();
    DBEdit_DHCriacao = new DBEdit(pagFicha, &dsPadrao, "DH_CRIACAO", "DBEdit_DHCriacao");
    DBEdit_UsuCriacao = new DBEdit(pagFicha, &dsPadrao, "NM_UsuarioCriacao", "DBEdit_UsuCriacao");
    lkPessoa = new DBLookupCombo(pagFicha, &dsPadrao, "ID_PESSOA", &IBQ_Pessoas, "ID_PESSOA", "NM_PESQUISA",
                                 "lkPessoa");
    lkPessoa->setEmptyText("<Nenhuma>");
    BitBtn4 = new QToolButton(pagFicha);
    BitBtn4->setObjectName("BitBtn4");
    BitBtn4->setToolTip("Consultar Nossa Empresa");
    BitBtn4->setIcon(iconePadrao(QStyle::SP_FileDialogContentsView));
    dbmDetalhe = new DBMemo(pagFicha, &dsPadrao, "TX_DETALHE", "dbmDetalhe");
    auto* deptos = new QGroupBox("Departamentos Interessados", pagFicha);
    deptos->setObjectName("gbDepartamentos");
    chkComercial = new DBCheckBox(deptos, &dsPadrao, "ST_COMERCIAL", "Comercial", "chkComercial");
    chkOperacional = new DBCheckBox(deptos, &dsPadrao, "ST_OPERACIONAL", "Operacional", "chkOperacional");
    chkAdministrativo =
        new DBCheckBox(deptos, &dsPadrao, "ST_ADMINISTRATIVO", "Administrativo", "chkAdministrativo");
    chkFinanceiro = new DBCheckBox(deptos, &dsPadrao, "ST_FINANCEIRO", "Financeiro", "chkFinanceiro");
    chkCompras = new DBCheckBox(deptos, &dsPadrao, "ST_COMPRAS", "Compras", "chkCompras");
    auto* deptosLay = new QHBoxLayout(deptos);
    for (DBCheckBox* c : {chkComercial, chkOperacional, chkAdministrativo, chkFinanceiro, chkCompras})
        deptosLay->addWidget(c);
    deptosLay->addStretch();
    edtDataAviso = new DBDateEdit(pagFicha, &dsPadrao, "DT_AVISO", "edtDataAviso");
    auto ferramenta = [this](const char* nome, const QString& hint, QStyle::StandardPixmap icone) {
        auto* b = new QToolButton(pagFicha);
        b->setObjectName(nome);
        b->setToolTip(hint);
        b->setIcon(iconePadrao(icone));
        return b;
    };
    btnCancelarAviso = ferramenta("btnCancelarAviso", "Cancelar Aviso", QStyle::SP_DialogCancelButton);
    lkUsuarioAviso =
        new DBLookupCombo(pagFicha, &dsPadrao, "ID_USUARIO_AVISO", dm ? &dm->IBQ_Usuarios : nullptr,
                          "ID_USUARIO", "NM_USUARIO", "lkUsuarioAviso");
    lkUsuarioAviso->setEmptyText("<Todos os Usuários dos Departamentos Interessados>");
    DBEdit_DHInicio = new DBEdit(pagFicha, &dsPadrao, "DH_INICIO", "DBEdit_DHInicio");
    DBEdit_UsuInicio = new DBEdit(pagFicha, &dsPadrao, "NM_UsuarioInicio", "DBEdit_UsuInicio");
    auto botao = [this](const char* nome, const QString& caption, QWidget* pai) {
        auto* b = new QPushButton(caption, pai);
        b->setObjectName(nome);
        return b;
    };
    BtnTarefaIniciada = botao("BtnTarefaIniciada", "Tarefa Iniciada    ", pagFicha);
    BtnCancelarInicio =
        ferramenta("BtnCancelarInicio", QStringLiteral("Cancelar o Início"), QStyle::SP_DialogCancelButton);
    DBEdit_DHConclusao = new DBEdit(pagFicha, &dsPadrao, "DH_CONCLUSAO", "DBEdit_DHConclusao");
    DBEdit_UsuConclusao = new DBEdit(pagFicha, &dsPadrao, "NM_UsuarioConclusao", "DBEdit_UsuConclusao");
    BtnTarefaConcluida = botao("BtnTarefaConcluida", "Tarefa Concluida", pagFicha);
    BtnCancelarConclusao = ferramenta("BtnCancelarConclusao", QStringLiteral("Cancelar a Conclusão"),
                                      QStyle::SP_DialogCancelButton);
    for (DBEdit* e : {DBEdit_DHCriacao, DBEdit_UsuCriacao, DBEdit_DHInicio, DBEdit_UsuInicio,
                      DBEdit_DHConclusao, DBEdit_UsuConclusao})
        e->setReadOnly(true);
    // The five state buttons wait for the task and the group's rights.
    for (QAbstractButton* b :
         std::initializer_list<QAbstractButton*>{BtnTarefaIniciada, BtnTarefaConcluida, BtnCancelarInicio,
                                                 BtnCancelarConclusao, btnCancelarAviso})
        b->setEnabled(false);

    auto* operacao = new QGroupBox(QStringLiteral("Operação Comercial:"), pagFicha);
    operacao->setObjectName("gbOperacaoComercial");
    lblNatureza = new QLabel(" ", operacao);
    lblNatureza->setObjectName("lblNatureza");
    lblDocumento = new QLabel("Documento: ", operacao);
    lblDocumento->setObjectName("lblDocumento");
    lblEmissao = new QLabel(QStringLiteral("Emissão: "), operacao);
    lblEmissao->setObjectName("lblEmissao");
    auto* opLay = new QHBoxLayout(operacao);
    opLay->addWidget(lblNatureza, 2);
    opLay->addWidget(lblDocumento, 1);
    opLay->addWidget(lblEmissao, 1);

    BtnTarefaPendente = botao("BtnTarefaPendente", "Minhas Tarefas Pendentes", pagFicha);
    BtnPendentesDepto =
        botao("BtnPendentesDepto", QStringLiteral("Pendências do meu Departamento"), pagFicha);
    BtnTodasPendentes = botao("BtnTodasPendentes", "Tarefas Pendentes", pagFicha);
    btnFechar = botao("btnFechar", "&Fechar", pagFicha);

    auto* lay = new QGridLayout(pagFicha);
    auto rotulo = [this](const QString& t, QWidget* buddy) {
        auto* l = new QLabel(t, pagFicha);
        l->setBuddy(buddy);
        return l;
    };
    auto linha = [](std::initializer_list<QWidget*> ws) {
        auto* h = new QHBoxLayout;
        for (QWidget* w : ws)
            h->addWidget(w);
        return h;
    };
    lay->addWidget(rotulo("Criada em:", DBEdit_DHCriacao), 0, 0);
    lay->addLayout(linha({DBEdit_DHCriacao, rotulo("por:", DBEdit_UsuCriacao), DBEdit_UsuCriacao}), 0, 1);
    lay->addWidget(rotulo("Assunto:", DBEdit_Assunto), 1, 0);
    lay->addWidget(DBEdit_Assunto, 1, 1);
    lay->addWidget(rotulo(QStringLiteral("Ref. à Pessoa:"), lkPessoa), 2, 0);
    lay->addLayout(linha({lkPessoa, BitBtn4}), 2, 1);
    lay->addWidget(rotulo("Detalhes:", dbmDetalhe), 3, 0, Qt::AlignTop);
    lay->addWidget(dbmDetalhe, 3, 1);
    lay->addWidget(deptos, 4, 0, 1, 2);
    auto* aviso = linha({edtDataAviso, btnCancelarAviso,
                         rotulo(QStringLiteral("Avisar Usuário:"), lkUsuarioAviso), lkUsuarioAviso});
    aviso->setStretch(3, 1);
    lay->addWidget(rotulo("Avisar dia:", edtDataAviso), 5, 0);
    lay->addLayout(aviso, 5, 1);
    lay->addWidget(rotulo("Iniciada em:", DBEdit_DHInicio), 6, 0);
    lay->addLayout(linha({DBEdit_DHInicio, rotulo("por:", DBEdit_UsuInicio), DBEdit_UsuInicio,
                          BtnTarefaIniciada, BtnCancelarInicio}),
                   6, 1);
    lay->addWidget(rotulo("Concluida em:", DBEdit_DHConclusao), 7, 0);
    lay->addLayout(linha({DBEdit_DHConclusao, rotulo("por:", DBEdit_UsuConclusao), DBEdit_UsuConclusao,
                          BtnTarefaConcluida, BtnCancelarConclusao}),
                   7, 1);
    lay->addWidget(operacao, 8, 0, 1, 2);
    auto* listas = linha({BtnTarefaPendente, BtnPendentesDepto, BtnTodasPendentes});
    listas->addStretch();
    listas->addWidget(btnFechar);
    lay->addLayout(listas, 9, 0, 1, 2);
    lay->setRowStretch(3, 1);
    lay->setColumnStretch(1, 1);
    for (DBEdit* e : {DBEdit_DHCriacao, DBEdit_DHInicio, DBEdit_DHConclusao})
        e->setFixedWidth(120);
    edtDataAviso->setFixedWidth(110);
    BtnTarefaIniciada->setMinimumWidth(130);
    BtnTarefaConcluida->setMinimumWidth(130);

    montaGrade({{"DH_CRIACAO", QStringLiteral("Data/Hora Criação"), 125},
                {"NM_UsuarioCriacao", "Criado por:", 120},
                {"DS_TAREFA", "Assunto", 200},
                {"NM_Pessoa", QStringLiteral("Ref. à Pessoa"), 160},
                {"ST_COMERCIAL", "Comercial", 65},
                {"ST_OPERACIONAL", "Operacional", 70},
                {"ST_ADMINISTRATIVO", "Administrativo", 80},
                {"ST_FINANCEIRO", "Financeiro", 65},
                {"ST_COMPRAS", "Compras", 60},
                {"DT_AVISO", "Data do Aviso", 80},
                {"NM_UsuarioAviso", "Avisar apenas", 120},
                {"DH_INICIO", QStringLiteral("Data/Hora do Início"), 125},
                {"NM_UsuarioInicio", "Iniciado por:", 120},
                {"DH_CONCLUSAO", QStringLiteral("Data/Hora da Conclusão "), 135},
                {"NM_UsuarioConclusao", QStringLiteral("Concluído por:"), 120}});
    resize(720, 560);

    auto clique = [this](QAbstractButton* b, void (TfrmAgendaTarefas::*fn)()) {
        connect(b, &QAbstractButton::clicked, this, [this, fn] { guarded([&] { (this->*fn)(); }); });
    };
    clique(BtnTarefaIniciada, &TfrmAgendaTarefas::BtnTarefaIniciadaClick);
    clique(BtnTarefaConcluida, &TfrmAgendaTarefas::BtnTarefaConcluidaClick);
    clique(BtnCancelarInicio, &TfrmAgendaTarefas::BtnCancelarInicioClick);
    clique(BtnCancelarConclusao, &TfrmAgendaTarefas::BtnCancelarConclusaoClick);
    clique(btnCancelarAviso, &TfrmAgendaTarefas::btnCancelarAvisoClick);
    clique(BtnTarefaPendente, &TfrmAgendaTarefas::BtnTarefaPendenteClick);
    clique(BtnPendentesDepto, &TfrmAgendaTarefas::BtnPendentesDeptoClick);
    clique(BtnTodasPendentes, &TfrmAgendaTarefas::BtnTodasPendentesClick);
    clique(BitBtn4, &TfrmAgendaTarefas::BitBtn4Click);
    clique(btnFechar, &TfrmAgendaTarefas::btnFecharClick);
    auto mudanca = [this](DBEdit* e, void (TfrmAgendaTarefas::*fn)()) {
        connect(e, &QLineEdit::textChanged, this, [this, fn] { guarded([&] { (this->*fn)(); }); });
    };
    mudanca(DBEdit1, &TfrmAgendaTarefas::DBEdit1Change);
    mudanca(DBEdit_UsuCriacao, &TfrmAgendaTarefas::DBEdit_UsuCriacaoChange);
    mudanca(DBEdit_Assunto, &TfrmAgendaTarefas::DBEdit_UsuCriacaoChange);
    mudanca(DBEdit_DHInicio, &TfrmAgendaTarefas::DBEdit_DHInicioChange);
    mudanca(DBEdit_DHConclusao, &TfrmAgendaTarefas::DBEdit_DHConclusaoChange);
    connect(lkPessoa, &DBLookupCombo::keyChanged, this, [this] { guarded([this] { lkPessoaChange(); }); });
}

DataSet* TfrmAgendaTarefas::tarefa() const {
    DataSet* ds = dsPadrao.dataSet();
    if (!ds || !ds->active() || (!ds->editing() && ds->isEmpty())) return nullptr;
    return ds;
}

bool TfrmAgendaTarefas::criadorDaTarefa() const {
    DataSet* ds = tarefa();
    TfrmClassePrincipal* p = principal();
    if (!ds || !p) return false;
    const QVariant criador = ds->fieldByName("ID_USUARIO_CRIACAO")->value();
    return !criador.isNull() && criador.toInt() == p->codusuario;
}

void TfrmAgendaTarefas::FormShow() {
    TfrmCadastroPadrao::FormShow();
    if (!PermissaoAcesso) return;
    regraPessoa();
    HabilitaBotoes();
}

void TfrmAgendaTarefas::FormActivate() {
    TfrmCadastroPadrao::FormActivate();
    if (!PermissaoAcesso) return;
    IBQ_Pessoas.close();
    IBQ_Pessoas.open();
    if (TdmPadrao* dm = dmPadrao()) {
        dm->IBQ_Usuarios.close();
        dm->IBQ_Usuarios.open();
    }
    // The person names of the grid come from the shared person list, which the screens that
    // register people keep current; reading it again here would double the cost of coming back
    // to the agenda on a large database.
    if (TdmLookUp* lk = dmLookUp(); lk && !lk->IBQ_Pessoas.active()) lk->IBQ_Pessoas.open();
    regraPessoa();
    HabilitaBotoes();
}

void TfrmAgendaTarefas::HabilitaBotoes() {
    DataSet* ds = tarefa();
    TfrmClassePrincipal* p = principal();
    const int usuario = p ? p->codusuario : sessaoUsuario().codusuario;
    const BotoesTarefa b = ds ? regraBotoesTarefa(true, ds->fieldByName("DH_INICIO")->value(),
                                                  ds->fieldByName("DH_CONCLUSAO")->value(),
                                                  ds->fieldByName("ID_USUARIO_CRIACAO")->value(), usuario)
                              : BotoesTarefa{};
    habilita(BtnTarefaIniciada, b.iniciar);
    habilita(BtnTarefaConcluida, b.concluir);
    habilita(BtnCancelarInicio, b.cancelarInicio);
    habilita(BtnCancelarConclusao, b.cancelarConclusao);
    habilita(btnCancelarAviso, b.cancelarAviso);
    regraPessoa();
}

void TfrmAgendaTarefas::regraPessoa() {
    const bool escolhida = !lkPessoa->keyValue().isNull() && lkPessoa->currentText() != "<Nenhuma>";
    habilita(BitBtn4, escolhida);
}

void TfrmAgendaTarefas::mostraDocumento(bool deNovo) {
    DataSet* ds = tarefa();
    const QVariant id = ds ? ds->fieldByName("ID_NF_COMERCIO")->value() : QVariant();
    // Typing the subject runs this on every key: the document is read again only for another
    // task or another document.
    if (!deNovo && m_documentoMostrado && id == *m_documentoMostrado &&
        id.isNull() == m_documentoMostrado->isNull())
        return;
    m_documentoMostrado = id;
    const RotulosDocumento r = ds ? rotulosDocumento(IBQ_Documento, id) : RotulosDocumento{};
    lblNatureza->setText(r.natureza);
    lblDocumento->setText(r.documento);
    lblEmissao->setText(r.emissao);
}

void TfrmAgendaTarefas::DBEdit_UsuCriacaoChange() {
    HabilitaBotoes();
    mostraDocumento();
}

void TfrmAgendaTarefas::DBEdit1Change() {
    // Another task: its buttons and its sales document (whose key has no control of its own).
    HabilitaBotoes();
    mostraDocumento();
}

void TfrmAgendaTarefas::DBEdit_DHInicioChange() {
    HabilitaBotoes();
}

void TfrmAgendaTarefas::DBEdit_DHConclusaoChange() {
    HabilitaBotoes();
}

void TfrmAgendaTarefas::Edicao() {
    DataSet* ds = dsPadrao.dataSet();
    if (ds && !ds->editing()) ds->edit();
}

namespace {
QDateTime agoraEmSegundos() {
    const QDateTime agora = appClock().now();
    const QTime t = agora.time();
    return QDateTime(agora.date(), QTime(t.hour(), t.minute(), t.second()));
}
} // namespace

void TfrmAgendaTarefas::BtnTarefaIniciadaClick() {
    TfrmClassePrincipal* p = principal();
    if (!tarefa() || !p) return;
    Edicao();
    DataSet* ds = dsPadrao.dataSet();
    ds->fieldByName("DH_INICIO")->setValue(agoraEmSegundos());
    ds->fieldByName("ID_USUARIO_INICIO")->setValue(p->codusuario);
    HabilitaBotoes();
}

void TfrmAgendaTarefas::BtnTarefaConcluidaClick() {
    TfrmClassePrincipal* p = principal();
    if (!tarefa() || !p) return;
    Edicao();
    DataSet* ds = dsPadrao.dataSet();
    ds->fieldByName("DH_CONCLUSAO")->setValue(agoraEmSegundos());
    ds->fieldByName("ID_USUARIO_CONCLUSAO")->setValue(p->codusuario);
    HabilitaBotoes();
}

void TfrmAgendaTarefas::BtnCancelarInicioClick() {
    if (!criadorDaTarefa()) return;
    Edicao();
    DataSet* ds = dsPadrao.dataSet();
    ds->fieldByName("ID_USUARIO_INICIO")->clear();
    ds->fieldByName("DH_INICIO")->clear();
    HabilitaBotoes();
}

void TfrmAgendaTarefas::BtnCancelarConclusaoClick() {
    if (!criadorDaTarefa()) return;
    Edicao();
    DataSet* ds = dsPadrao.dataSet();
    ds->fieldByName("ID_USUARIO_CONCLUSAO")->clear();
    ds->fieldByName("DH_CONCLUSAO")->clear();
    HabilitaBotoes();
}

void TfrmAgendaTarefas::btnCancelarAvisoClick() {
    if (!criadorDaTarefa()) return;
    Edicao();
    // The user to warn stays as it was.
    dsPadrao.dataSet()->fieldByName("DT_AVISO")->clear();
    HabilitaBotoes();
}

void TfrmAgendaTarefas::abreLista(const QString& sql) {
    if (!reabreLista(sql)) return;
    HabilitaBotoes();
    mostraDocumento(true);
}

void TfrmAgendaTarefas::BtnTarefaPendenteClick() {
    if (TfrmClassePrincipal* p = principal()) abreLista(sqlMinhasTarefasPendentes(p->codusuario));
}

void TfrmAgendaTarefas::BtnPendentesDeptoClick() {
    abreLista(kSqlPendentesDepartamento);
}

void TfrmAgendaTarefas::BtnTodasPendentesClick() {
    abreLista(kSqlTarefasPendentes);
}

void TfrmAgendaTarefas::lkPessoaChange() {
    regraPessoa();
}

void TfrmAgendaTarefas::BitBtn4Click() {
    if (lkPessoa->keyValue().isNull() || lkPessoa->currentText() == "<Nenhuma>") throw SilentAbort();
}

void TfrmAgendaTarefas::btnFecharClick() {
    fecha();
}
