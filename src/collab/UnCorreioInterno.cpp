#include "collab/UnCorreioInterno.h"
#include "collab/UnRelCorreioInterno.h"
#include "data/DataContext.h"
#include "data/UndmPadrao.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "screens/UnPermissoes.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include "screens/controls/DBMemo.h"
#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

RegraMensagem regraMensagem(int usuario, const QVariant& remetente, const QVariant& destinatario, bool lida,
                            bool inserindo) {
    RegraMensagem r;
    const bool ehRemetente = !remetente.isNull() && remetente.toInt() == usuario;
    const bool ehDestinatario = !destinatario.isNull() && destinatario.toInt() == usuario;
    if (lida) {
        r.mostraTexto = true;
        r.podeImprimir = true;
    } else {
        r.mostraTexto = inserindo || ehRemetente;
        r.podeLer = ehDestinatario;
    }
    r.podeAlterar = inserindo || (ehRemetente && !lida);
    r.podeExcluir = ehRemetente && !lida;
    return r;
}

SituacaoMensagem situacaoNoBanco(Database* db, Transaction* tr, const QVariant& idComunicacao) {
    Query q(db, tr, "IBQ_SituacaoMensagem");
    q.setSqlText("select dt_receb from sis_comunicacao where id_comunicacao = :id");
    q.setParam("id", idComunicacao);
    q.open();
    const SituacaoMensagem s = q.isEmpty()                    ? SituacaoMensagem::Inexistente
                               : q.field(0)->value().isNull() ? SituacaoMensagem::NaoLida
                                                              : SituacaoMensagem::Lida;
    q.close();
    return s;
}

TfrmCorreioInterno::TfrmCorreioInterno(QWidget* parent)
    : TfrmCadastroPadrao("frmCorreioInterno", listaDoModulo(&TdmPadrao::IBQ_CorreioInterno), parent) {
    setWindowTitle("Correio Interno");
    auto* lay = new QGridLayout(pagFicha);
    // The subject is created first: it is the first control of the tab order, where inserting
    // puts the cursor.
    DBEdit3 = new DBEdit(pagFicha, &dsPadrao, "DS_ASSUNTO", "DBEdit3");
    RxDBLookupCombo1 = new DBLookupCombo(pagFicha, &dsPadrao, "ID_DESTINATARIO", nullptr, "ID_USUARIO",
                                         "NM_USUARIO", "RxDBLookupCombo1");
    dbmMensagem = new DBMemo(pagFicha, &dsPadrao, "DS_COMUNICACAO", "dbmMensagem");
    DBEdit5 = new DBEdit(pagFicha, &dsPadrao, "DT_RECEB", "DBEdit5");
    DBEdit6 = new DBEdit(pagFicha, &dsPadrao, "HO_RECEB", "DBEdit6");
    DBEdit1 = new DBEdit(pagFicha, &dsPadrao, "DT_COMUNICACAO", "DBEdit1");
    DBEdit2 = new DBEdit(pagFicha, &dsPadrao, "HO_COMUNICACAO", "DBEdit2");
    DBEdit4 = new DBEdit(pagFicha, &dsPadrao, "lkRemetente", "DBEdit4");
    for (DBEdit* e : {DBEdit5, DBEdit6, DBEdit1, DBEdit2, DBEdit4})
        e->setReadOnly(true);
    if (TdmPadrao* dm = dmPadrao())
        RxDBLookupCombo1->setListSource(&dm->IBQ_Usuarios, "ID_USUARIO", "NM_USUARIO");
    RxDBLookupCombo1->setDropDownCount(12);

    auto botao = [this](const char* nome, const QString& caption) {
        auto* b = new QPushButton(caption, pagFicha);
        b->setObjectName(nome);
        b->setFocusPolicy(Qt::StrongFocus);
        return b;
    };
    btnLerMensagem = botao("btnLerMensagem", "Ler Mensagem");
    btnImprimir = botao("btnImprimir", "Imprimir");
    btnMensagemRecebida = botao("btnMensagemRecebida", QStringLiteral("Mensagens não lidas"));
    BitBtn4 = botao("BitBtn4", "Mensagens Recebidas");
    BitBtn5 = botao("BitBtn5", "Mensagens Enviadas");
    BitBtn2 = botao("BitBtn2", "Fechar");

    auto rotulo = [this](const QString& t, QWidget* buddy) {
        auto* l = new QLabel(t, pagFicha);
        l->setBuddy(buddy);
        return l;
    };
    lay->addWidget(rotulo("Data", DBEdit1), 0, 0);
    lay->addWidget(DBEdit1, 0, 1);
    lay->addWidget(rotulo("Hora", DBEdit2), 0, 2);
    lay->addWidget(DBEdit2, 0, 3);
    lay->addWidget(rotulo("Remetente", DBEdit4), 0, 4);
    lay->addWidget(DBEdit4, 0, 5);
    lay->addWidget(rotulo("Destinatario", RxDBLookupCombo1), 1, 0);
    lay->addWidget(RxDBLookupCombo1, 1, 1, 1, 5);
    lay->addWidget(rotulo("Assunto", DBEdit3), 2, 0);
    lay->addWidget(DBEdit3, 2, 1, 1, 5);
    lay->addWidget(rotulo("Conteudo da Mensagem:", dbmMensagem), 3, 0, 1, 6);
    lay->addWidget(dbmMensagem, 4, 0, 1, 6);
    auto* leitura = new QHBoxLayout;
    leitura->addWidget(rotulo("Mensagem lida em:", DBEdit5));
    leitura->addWidget(DBEdit5);
    leitura->addWidget(rotulo("as", DBEdit6));
    leitura->addWidget(DBEdit6);
    leitura->addStretch();
    lay->addLayout(leitura, 5, 0, 1, 6);
    auto* botoes = new QHBoxLayout;
    for (QPushButton* b : {btnLerMensagem, btnImprimir, btnMensagemRecebida, BitBtn4, BitBtn5, BitBtn2})
        botoes->addWidget(b);
    lay->addLayout(botoes, 6, 0, 1, 6);
    lay->setRowStretch(4, 1);
    lay->setColumnStretch(5, 1);
    DBEdit1->setMaximumWidth(90);
    DBEdit2->setMaximumWidth(60);
    DBEdit5->setMaximumWidth(90);
    DBEdit6->setMaximumWidth(60);

    // Tab order: subject, addressee, text, reading date and time, date, time, sender, buttons.
    QWidget* ordem[] = {
        DBEdit3,        RxDBLookupCombo1, dbmMensagem,         DBEdit5, DBEdit6, DBEdit1, DBEdit2, DBEdit4,
        btnLerMensagem, btnImprimir,      btnMensagemRecebida, BitBtn4, BitBtn5, BitBtn2};
    for (size_t i = 1; i < std::size(ordem); ++i)
        setTabOrder(ordem[i - 1], ordem[i]);

    montaGrade({{"DT_COMUNICACAO", "Data", 80},
                {"HO_COMUNICACAO", "Hora", 50},
                {"DS_ASSUNTO", "Assunto", 220},
                {"lkRemetente", "Remetente", 150},
                {"lkDestinatario", QStringLiteral("Destinatário"), 150},
                {"DT_RECEB", "Data do Recebimento", 120},
                {"HO_RECEB", "Hora do Recebimento", 120}});
    resize(800, 480);

    auto clique = [this](QPushButton* b, void (TfrmCorreioInterno::*fn)()) {
        connect(b, &QPushButton::clicked, this, [this, fn] { guarded([&] { (this->*fn)(); }); });
    };
    clique(btnLerMensagem, &TfrmCorreioInterno::btnLerMensagemClick);
    clique(btnImprimir, &TfrmCorreioInterno::btnImprimirClick);
    clique(btnMensagemRecebida, &TfrmCorreioInterno::btnMensagemRecebidaClick);
    clique(BitBtn4, &TfrmCorreioInterno::BitBtn4Click);
    clique(BitBtn5, &TfrmCorreioInterno::BitBtn5Click);
    clique(BitBtn2, &TfrmCorreioInterno::BitBtn2Click);
    // The state rule also runs on every change of the subject and of the addressee.
    connect(DBEdit3, &QLineEdit::textChanged, this, [this] { guarded([this] { dsPadraoStateChange(); }); });
    connect(RxDBLookupCombo1, &DBLookupCombo::keyChanged, this,
            [this] { guarded([this] { dsPadraoStateChange(); }); });
    DBEdit3->installEventFilter(this);
    RxDBLookupCombo1->installEventFilter(this);

    dsPadrao.onStateChange = [this] { dsPadraoStateChange(); };
    dsPadrao.onDataChange = [this](Field*) { dsPadraoDataChange(); };
    // A view switch resets the toolbar's Excluir; the rule of the message decides it again.
    connect(
        pc, &QTabWidget::currentChanged, this, [this] { guarded([this] { aplicaRegra(); }); },
        Qt::QueuedConnection);
    aplicaRegra();
}

TfrmCorreioInterno::~TfrmCorreioInterno() {
    instalaGuardas(false);
    if (TdmPadrao* dm = dmPadrao()) dm->correioInternoAberto = false;
}

bool TfrmCorreioInterno::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::FocusOut) {
        if (o == DBEdit3) guarded([this] { DBEdit3Exit(); });
        if (o == RxDBLookupCombo1) guarded([this] { RxDBLookupCombo1Exit(); });
    }
    return TfrmCadastroPadrao::eventFilter(o, e);
}

void TfrmCorreioInterno::FormShow() {
    TdmPadrao* dm = dmPadrao();
    if (dm) {
        dm->correioInternoAberto = true;
    }
    TfrmCadastroPadrao::FormShow();
    if (!PermissaoAcesso) return;
    instalaGuardas(true);
    aplicaRegra();
}

void TfrmCorreioInterno::FormActivate() {
    TfrmCadastroPadrao::FormActivate();
    if (!PermissaoAcesso) return;
    if (TdmPadrao* dm = dmPadrao()) {
        dm->IBQ_Usuarios.close();
        dm->IBQ_Usuarios.open();
    }
    // A message being written or changed stays as it is when the user comes back to the screen.
    DataSet* ds = dsPadrao.dataSet();
    if (ds && !ds->editing())
        btnMensagemRecebidaClick();
    else
        aplicaRegra();
}

bool TfrmCorreioInterno::FormClose() {
    if (TfrmClassePrincipal* p = principal())
        if (auto* item = p->findChild<QAction*>("miCorreioInterno")) item->setEnabled(true);
    if (!TfrmCadastroPadrao::FormClose()) return false;
    instalaGuardas(false);
    if (TdmPadrao* dm = dmPadrao()) dm->correioInternoAberto = false;
    return true;
}

void TfrmCorreioInterno::instalaGuardas(bool instala) {
    TdmPadrao* dm = dmPadrao();
    if (!dm || instala == m_guardas) return;
    m_guardas = instala;
    Query& q = dm->IBQ_CorreioInterno;
    if (instala) {
        q.beforePost = [this](DataSet& ds) { guardaAntesDeGravar(ds); };
        q.beforeDelete = [this](DataSet& ds) { guardaAntesDeExcluir(ds); };
    } else {
        q.beforePost = nullptr;
        q.beforeDelete = nullptr;
    }
}

void TfrmCorreioInterno::guardaAntesDeGravar(DataSet& ds) {
    // The sender's list may be older than the reading: a change of a message that its addressee
    // read meanwhile (on another workstation) is refused, and one deleted meanwhile is not
    // reported as saved.
    if (ds.state() != DataSetState::Edit || editar == "S") return;
    const QVariant id = ds.fieldByName("ID_COMUNICACAO")->oldValue();
    Query* q = dynamic_cast<Query*>(&ds);
    if (!q || id.isNull()) return;
    switch (situacaoNoBanco(q->database(), q->transaction(), id)) {
    case SituacaoMensagem::Lida:
        warnAndAbort(
            QStringLiteral("Esta mensagem já foi lida pelo destinatário e não pode mais ser alterada. "
                           "Cancele a alteração."));
    case SituacaoMensagem::Inexistente:
        warnAndAbort(
            QStringLiteral("Esta mensagem foi excluída em outra estação e não pode mais ser alterada. "
                           "Cancele a alteração."));
    case SituacaoMensagem::NaoLida:
        break;
    }
}

void TfrmCorreioInterno::guardaAntesDeExcluir(DataSet& ds) {
    // Only the sender deletes, and only while the message is unread, also when the toolbar's
    // button was enabled by a view switch or the list is older than the reading.
    const RegraMensagem r = regraAtual();
    if (!r.podeExcluir)
        warnAndAbort(
            QStringLiteral("Somente o remetente pode excluir uma mensagem, e apenas enquanto ela não "
                           "foi lida."));
    Query* q = dynamic_cast<Query*>(&ds);
    const QVariant id = ds.fieldByName("ID_COMUNICACAO")->value();
    if (q && !id.isNull() && situacaoNoBanco(q->database(), q->transaction(), id) == SituacaoMensagem::Lida)
        warnAndAbort(
            QStringLiteral("Esta mensagem já foi lida pelo destinatário e não pode mais ser excluída."));
}

RegraMensagem TfrmCorreioInterno::regraAtual() const {
    DataSet* ds = dsPadrao.dataSet();
    if (!ds || !ds->active() || (!ds->editing() && ds->isEmpty())) return {};
    TfrmClassePrincipal* p = principal();
    const int usuario = p ? p->codusuario : sessaoUsuario().codusuario;
    return regraMensagem(usuario, ds->fieldByName("ID_REMETENTE")->value(),
                         ds->fieldByName("ID_DESTINATARIO")->value(), !ds->fieldByName("DT_RECEB")->isNull(),
                         ds->state() == DataSetState::Insert);
}

void TfrmCorreioInterno::aplicaRegra() {
    const RegraMensagem r = regraAtual();
    // The text is bound to the memo only where the user may see it.
    if (r.mostraTexto) {
        if (dbmMensagem->dataSource() != &dsPadrao) dbmMensagem->setDataSource(&dsPadrao);
    } else if (dbmMensagem->dataSource()) {
        dbmMensagem->setDataSource(nullptr);
    }
    dbmMensagem->setReadOnly(!r.podeAlterar);
    DBEdit3->setReadOnly(!r.podeAlterar);
    RxDBLookupCombo1->setReadOnly(!r.podeAlterar);
    btnLerMensagem->setEnabled(r.podeLer && autorizado(btnLerMensagem));
    btnImprimir->setEnabled(r.podeImprimir && autorizado(btnImprimir));
    // Excluir follows the rule of the message where the toolbar acts on this list.
    notifyChange(Change::DeleteRule);
}

bool TfrmCorreioInterno::mayDeleteCurrent() const {
    return regraAtual().podeExcluir;
}

void TfrmCorreioInterno::dsPadraoDataChange() {
    aplicaRegra();
}

void TfrmCorreioInterno::dsPadraoStateChange() {
    TfrmCadastroPadrao::dsPadraoStateChange();
    DataSet* ds = dsPadrao.dataSet();
    if (!ds) return;
    // Only the sender changes a message, and only until it is read; any other edit (except the
    // reading's own) is undone at once.
    if (ds->state() == DataSetState::Edit && editar != "S" && !regraAtual().podeAlterar) {
        ds->cancel();
        throw SilentAbort();
    }
    aplicaRegra();
}

void TfrmCorreioInterno::abreLista(const QString& sql) {
    TfrmClassePrincipal* p = principal();
    if (!p || !reabreLista(sql, [p](Query& q) { q.setParam("usuario", p->codusuario); })) return;
    aplicaRegra();
}

void TfrmCorreioInterno::btnMensagemRecebidaClick() {
    abreLista(kSqlMensagensNaoLidas);
}

void TfrmCorreioInterno::BitBtn4Click() {
    abreLista(kSqlMensagensRecebidas);
}

void TfrmCorreioInterno::BitBtn5Click() {
    abreLista(kSqlMensagensEnviadas);
}

void TfrmCorreioInterno::BitBtn2Click() {
    fecha();
}

void TfrmCorreioInterno::btnLerMensagemClick() {
    TfrmClassePrincipal* p = principal();
    Query* q = query();
    if (!p || !q || !q->active() || (!q->editing() && q->isEmpty())) return;
    if (!regraAtual().podeLer) return;
    const QVariant id = q->fieldByName("ID_COMUNICACAO")->value();
    if (!id.isNull() && q->state() == DataSetState::Browse) {
        // The list may be older than the message: its sender may have deleted it, or it was
        // read on another workstation of the addressee (its reading moment is kept).
        const SituacaoMensagem s = situacaoNoBanco(q->database(), q->transaction(), id);
        if (s != SituacaoMensagem::NaoLida) {
            q->refresh();
            p->TotalRegistros();
            aplicaRegra();
            if (s == SituacaoMensagem::Inexistente)
                warnAndAbort(QStringLiteral("Esta mensagem foi excluída pelo remetente."));
            return;
        }
    }
    editar = "S";
    try {
        if (q->state() == DataSetState::Browse) q->edit();
        const QTime t = appClock().now().time();
        q->fieldByName("DT_RECEB")->setValue(appClock().today());
        q->fieldByName("HO_RECEB")->setValue(QTime(t.hour(), t.minute(), t.second()));
        p->salvaDataSet(*q);
    } catch (...) {
        // Nothing was stored: the message stays unread, as the list shows it.
        if (q->state() == DataSetState::Edit) q->cancel();
        editar.clear();
        aplicaRegra();
        throw;
    }
    editar.clear();
    p->TotalRegistros();
    aplicaRegra();
}

void TfrmCorreioInterno::btnImprimirClick() {
    TfrmClassePrincipal* p = principal();
    Query* q = query();
    TdmPadrao* dm = dmPadrao();
    if (!p || !q || !dm) return;
    if (q->editing()) {
        p->salvaDataSet(*q);
        p->TotalRegistros();
    }
    const QVariant id = q->active() && !q->isEmpty() ? q->fieldByName("ID_COMUNICACAO")->value() : QVariant();
    if (id.isNull() || id.toLongLong() == 0)
        warnAndAbort(QStringLiteral("Não existem dados para serem impressos !"));
    Query& rel = dm->IBQ_COMUNICACAO;
    rel.close();
    rel.setParam("idComunicacao", id);
    rel.open();
    ImprimeCorreioInterno(rel, *q, RxDBLookupCombo1->currentText(), dbmMensagem->toPlainText());
}

void TfrmCorreioInterno::DBEdit3Exit() {
    DataSet* ds = dsPadrao.dataSet();
    if (ds && ds->state() == DataSetState::Insert && !DBEdit3->text().trimmed().isEmpty() &&
        dbmMensagem->dataSource() != &dsPadrao)
        dbmMensagem->setDataSource(&dsPadrao);
}

void TfrmCorreioInterno::RxDBLookupCombo1Exit() {
    // The unread list's button follows the rights of the group only when the current user of
    // the user list carries the name of the current group of the group list.
    TdmPadrao* dm = dmPadrao();
    TfrmClassePrincipal* p = principal();
    if (!dm || !p || !dm->IBQ_Usuarios.active() || !dm->IBQ_SIS_GR_USUARIO.active()) return;
    if (dm->IBQ_Usuarios.isEmpty() || dm->IBQ_SIS_GR_USUARIO.isEmpty()) return;
    const QString usuario = dm->IBQ_Usuarios.fieldByName("NM_USUARIO")->asString();
    const QString grupo = dm->IBQ_SIS_GR_USUARIO.fieldByName("NM_GR_USUARIO")->asString();
    if (usuario == grupo &&
        EstadoBotao(QString::number(p->grupousuario), objectName(), "btnMensagemRecebida"))
        btnMensagemRecebida->setEnabled(true);
}
