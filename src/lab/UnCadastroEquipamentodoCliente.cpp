#include "lab/UnCadastroEquipamentodoCliente.h"
#include "data/UndmPadrao.h"
#include "platform/ErrorHook.h"
#include "platform/IconePadrao.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/DBLookupCombo.h"
#include "screens/controls/DBMemo.h"
#include "search/UnPesquisaPessoaComercio.h"
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace {
const QString kTipoBloqueado = QString::fromUtf8(
    "Este equipamento já foi analisado: o tipo de equipamento não pode ser alterado, pois as análises "
    "foram feitas para o tipo atual.");
}

TfrmCadastroEquipamentodoCliente::TfrmCadastroEquipamentodoCliente(QWidget* parent)
    : TfrmCadastroPadrao("frmCadastroEquipamentodoCliente", listaDoModulo(&TdmPadrao::IBQ_Equipamento_Cli),
                         parent) {
    setWindowTitle("Equipamentos do Cliente");
    TdmLookUp* lk = dmLookUp();
    auto* lay = new QGridLayout(pagFicha);
    auto rotulo = [this](const QString& texto, QWidget* parceiro) {
        auto* l = new QLabel(texto, pagFicha);
        l->setBuddy(parceiro);
        return l;
    };

    // Client: chosen through the search only.
    btnPesquisaPessoa = new QToolButton(pagFicha);
    btnPesquisaPessoa->setObjectName("btnPesquisaPessoa");
    btnPesquisaPessoa->setToolTip("Pesquisar Cliente");
    btnPesquisaPessoa->setIcon(iconePadrao(QStyle::SP_FileDialogContentsView));
    btnPesquisaPessoa->setFocusPolicy(Qt::StrongFocus);
    edtCliente = new DBEdit(pagFicha, &dsPadrao, "lkPessoa", "edtCliente");
    edtCliente->setReadOnly(true);
    edtCliente->setFocusPolicy(Qt::NoFocus);
    QPalette cinza = edtCliente->palette();
    cinza.setColor(QPalette::Base, QColor(0xd4, 0xd0, 0xc8));
    edtCliente->setPalette(cinza);
    auto* cliente = new QHBoxLayout;
    cliente->addWidget(btnPesquisaPessoa);
    cliente->addWidget(edtCliente, 1);
    connect(btnPesquisaPessoa, &QToolButton::clicked, this,
            [this] { guarded([this] { btnPesquisaPessoaClick(); }); });

    lkTipoEquipamento =
        new DBLookupCombo(pagFicha, &dsPadrao, "ID_TP_EQUIPAMENTO", lk ? &lk->IBQ_TipoEquipamento : nullptr,
                          "ID_TP_EQUIPAMENTO", "NM_TP_EQUIPAMENTO", "lkTipoEquipamento");
    lkTipoEquipamento->setDropDownCount(8);
    edtNomeEquipamento = new DBEdit(pagFicha, &dsPadrao, "NM_EQUIPAMENTO", "edtNomeEquipamento");
    dtProposta = new DBDateEdit(pagFicha, &dsPadrao, "DT_PROPOSTA", "dtProposta");
    edtNoProposta = new DBEdit(pagFicha, &dsPadrao, "NO_PROPOSTA", "edtNoProposta");
    edtProdutos = new DBEdit(pagFicha, &dsPadrao, "DS_PRODUTOS", "edtProdutos");
    lkSituacao = new DBLookupCombo(pagFicha, &dsPadrao, "ID_SITAUCAO_EQUIPAMENTO",
                                   lk ? &lk->IBQ_SituacaoEquipamento : nullptr, "ID_OPCAO_TABELA",
                                   "DS_OPCAO_TABELA", "lkSituacao");
    lkSituacao->setDropDownCount(8);
    dtSituacao = new DBDateEdit(pagFicha, &dsPadrao, "DT_SITUACAO_EQUIPAMENTO", "dtSituacao");
    dtSituacao->calendarButton()->hide();
    mmObsSituacao = new DBMemo(pagFicha, &dsPadrao, "TX_OBS_SITUACAO_EQUIP", "mmObsSituacao");
    mmObsSituacao->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmObsSituacao->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmObsSituacao->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmObsSituacao->setTabChangesFocus(true);

    lay->addWidget(rotulo("Cliente", btnPesquisaPessoa), 0, 0, 1, 2);
    lay->addLayout(cliente, 1, 0, 1, 2);
    lay->addWidget(rotulo("Tipo de Equipamento", lkTipoEquipamento), 2, 0);
    lay->addWidget(rotulo("Nome do Equipamento", edtNomeEquipamento), 2, 1);
    lay->addWidget(lkTipoEquipamento, 3, 0);
    lay->addWidget(edtNomeEquipamento, 3, 1);
    lay->addWidget(rotulo("Data da Proposta", dtProposta), 4, 0);
    lay->addWidget(rotulo("No da Proposta", edtNoProposta), 4, 1);
    lay->addWidget(dtProposta, 5, 0);
    lay->addWidget(edtNoProposta, 5, 1);
    lay->addWidget(rotulo("Produtos da Proposta", edtProdutos), 6, 0, 1, 2);
    lay->addWidget(edtProdutos, 7, 0, 1, 2);
    lay->addWidget(rotulo(QString::fromUtf8("Situação do Equipamento"), lkSituacao), 8, 0);
    lay->addWidget(rotulo(QString::fromUtf8("Data da Situação"), dtSituacao), 8, 1);
    lay->addWidget(lkSituacao, 9, 0);
    lay->addWidget(dtSituacao, 9, 1);
    lay->addWidget(rotulo(QString::fromUtf8("Observações sobre a situação do equipamento"), mmObsSituacao),
                   10, 0, 1, 2);
    lay->addWidget(mmObsSituacao, 11, 0, 1, 2);
    lay->setColumnStretch(0, 1);
    lay->setColumnStretch(1, 1);
    lay->setRowStretch(11, 1);
    setTabOrder(btnPesquisaPessoa, lkTipoEquipamento);
    setTabOrder(lkTipoEquipamento, edtNomeEquipamento);
    setTabOrder(edtNomeEquipamento, dtProposta);
    setTabOrder(dtProposta, edtNoProposta);
    setTabOrder(edtNoProposta, edtProdutos);
    setTabOrder(edtProdutos, lkSituacao);
    setTabOrder(lkSituacao, dtSituacao);
    setTabOrder(dtSituacao, mmObsSituacao);

    // Columns titled by the fields' labels.
    montaGrade({{"lkPessoa", QString(), 200},
                {"lkTipoEquipamento", QString(), 150},
                {"NM_EQUIPAMENTO", QString(), 220},
                {"DT_PROPOSTA", QString(), 90},
                {"NO_PROPOSTA", QString(), 90},
                {"DS_PRODUTOS", QString(), 200},
                {"lkSituacaoEquipamento", QString(), 160},
                {"DT_SITUACAO_EQUIPAMENTO", QString(), 90}});
    dsPadrao.onDataChange = [this](Field* f) {
        if (!f) atualizaBloqueioTipo();
    };
    resize(560, 420);
}

void TfrmCadastroEquipamentodoCliente::FormShow() {
    TfrmCadastroPadrao::FormShow();
}

void TfrmCadastroEquipamentodoCliente::FormActivate() {
    TfrmCadastroPadrao::FormActivate();
    if (!PermissaoAcesso) return;
    if (TdmLookUp* lk = dmLookUp()) {
        TdmLookUp::reabre(lk->IBQ_TipoEquipamento);
        TdmLookUp::reabre(lk->IBQ_Pessoas);
        TdmLookUp::reabre(lk->IBQ_SituacaoEquipamento);
    }
    // The names shown through the lists follow them.
    edtCliente->refresh();
    if (DBGrid1) DBGrid1->viewport()->update();
    atualizaBloqueioTipo();
}

void TfrmCadastroEquipamentodoCliente::btnPesquisaPessoaClick() {
    const int id = PesquisaPessoa("G");
    if (id == 0) return;
    DataSet* ds = dsPadrao.dataSet();
    if (!ds || !ds->active()) return;
    if (!ds->editing()) ds->edit();
    ds->fieldByName("ID_CLIENTE")->setValue(id);
    // A person registered after the list was read is read now, so that the name shows.
    if (ds->fieldByName("lkPessoa")->asString().isEmpty()) {
        if (TdmLookUp* lk = dmLookUp()) TdmLookUp::reabre(lk->IBQ_Pessoas);
        edtCliente->refresh();
    }
}

bool TfrmCadastroEquipamentodoCliente::equipamentoAnalisado(const QVariant& idEquipamento) const {
    TfrmClassePrincipal* p = principal();
    if (!p || idEquipamento.isNull() || !p->IBSolution.connected()) return false;
    Query q(&p->IBSolution, &p->IBTransaction, "IBQ_EquipamentoAnalisado");
    q.setSqlText("select first 1 mae.id_analise_equipamento from mov_analise_equipamento mae where "
                 "mae.id_equipamento_cli = :idEquipamento");
    q.setParam("idEquipamento", idEquipamento);
    q.open();
    const bool analisado = !q.isEmpty();
    q.close();
    return analisado;
}

void TfrmCadastroEquipamentodoCliente::atualizaBloqueioTipo() {
    DataSet* ds = dsPadrao.dataSet();
    bool bloqueia = false;
    if (ds && ds->active() && ds->state() != DataSetState::Insert && !ds->isEmpty())
        bloqueia = equipamentoAnalisado(ds->fieldByName("ID_EQUIPAMENTO_CLI")->value());
    lkTipoEquipamento->setEnabled(!bloqueia);
    lkTipoEquipamento->setToolTip(bloqueia ? kTipoBloqueado : QString());
}
