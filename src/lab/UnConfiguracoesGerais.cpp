#include "lab/UnConfiguracoesGerais.h"
#include "data/DataContext.h"
#include "data/ParametrosProprios.h"
#include "data/UndmPadrao.h"
#include "lab/UnEmailLaudo.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/IconePadrao.h"
#include "reports/UnRelatorioAnaliseMod2.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/DBRichEdit.h"
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TfrmConfiguracoesGerais::TfrmConfiguracoesGerais(QWidget* parent)
    : TfrmCadastroPadrao("frmConfiguracoesGerais", listaDoModulo(&TdmPadrao::IBQ_ConfGerais), parent),
      fonteDialogo(QStringLiteral("Tahoma"), 8) {
    setWindowTitle(QString::fromUtf8("Configurações do Cortivandela"));
    auto* lay = new QGridLayout(pagFicha);
    auto* rotulo = new QLabel(QString::fromUtf8("Texto complementar para o Laudo Técnico"), pagFicha);
    DBRichEdit1 = new DBRichEdit(pagFicha, &dsPadrao, "TX_LAUDO_TECNICO", "DBRichEdit1");
    DBRichEdit1->setDefaultFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    DBRichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    rotulo->setBuddy(DBRichEdit1);
    const auto botoes =
        BotoesFerramentaTexto<QToolButton>(pagFicha, "btnTipoFonte", "btnNumerar", "btnIdentar");
    btnTipoFonte = botoes.fonte;
    btnNumerar = botoes.marcador;
    btnIdentar = botoes.recuo;
    auto* topo = new QHBoxLayout;
    topo->addWidget(rotulo);
    topo->addStretch();
    topo->addWidget(btnTipoFonte);
    topo->addWidget(btnNumerar);
    topo->addWidget(btnIdentar);
    lay->addLayout(topo, 0, 0);
    lay->addWidget(DBRichEdit1, 1, 0);
    chkMarcaForaFaixa = new QCheckBox(
        QString::fromUtf8("Marcar no laudo os valores fora da faixa do resultado ideal (negrito e símbolo)"),
        pagFicha);
    chkMarcaForaFaixa->setObjectName("chkMarcaForaFaixa");
    chkGraficosTendencia = new QCheckBox(
        QString::fromUtf8("Anexar ao laudo uma página de gráficos de tendência por amostra"), pagFicha);
    chkGraficosTendencia->setObjectName("chkGraficosTendencia");
    auto* opcoes = new QVBoxLayout;
    opcoes->addWidget(chkMarcaForaFaixa);
    opcoes->addWidget(chkGraficosTendencia);
    lay->addLayout(opcoes, 2, 0);
    auto* linha = new QFrame(pagFicha);
    linha->setFrameShape(QFrame::HLine);
    linha->setFrameShadow(QFrame::Sunken);
    lay->addWidget(linha, 3, 0);
    BitBtn1 = new QPushButton("&Fechar", pagFicha);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setIcon(iconePadrao(QStyle::SP_DialogCloseButton));
    BitBtn1->setAutoDefault(false);
    btnEmailLaudo = new QPushButton(QString::fromUtf8("E-mail para Envio dos &Laudos..."), pagFicha);
    btnEmailLaudo->setObjectName("btnEmailLaudo");
    btnEmailLaudo->setIcon(iconePadrao(QStyle::SP_DriveNetIcon));
    btnEmailLaudo->setAutoDefault(false);
    auto* rodape = new QHBoxLayout;
    rodape->addWidget(btnEmailLaudo);
    rodape->addStretch();
    rodape->addWidget(BitBtn1);
    lay->addLayout(rodape, 4, 0);
    lay->setRowStretch(1, 1);
    setTabOrder(DBRichEdit1, chkMarcaForaFaixa);
    setTabOrder(chkMarcaForaFaixa, chkGraficosTendencia);
    setTabOrder(chkGraficosTendencia, btnEmailLaudo);
    setTabOrder(btnEmailLaudo, BitBtn1);
    setTabOrder(BitBtn1, btnTipoFonte);
    setTabOrder(btnTipoFonte, btnNumerar);
    setTabOrder(btnNumerar, btnIdentar);
    auto on = [this](QAbstractButton* b, void (TfrmConfiguracoesGerais::*fn)()) {
        connect(b, &QAbstractButton::clicked, this, [this, fn] { guarded([&] { (this->*fn)(); }); });
    };
    on(btnTipoFonte, &TfrmConfiguracoesGerais::btnTipoFonteClick);
    on(btnNumerar, &TfrmConfiguracoesGerais::btnNumerarClick);
    on(btnIdentar, &TfrmConfiguracoesGerais::btnIdentarClick);
    on(BitBtn1, &TfrmConfiguracoesGerais::BitBtn1Click);
    on(btnEmailLaudo, &TfrmConfiguracoesGerais::btnEmailLaudoClick);
    on(chkMarcaForaFaixa, &TfrmConfiguracoesGerais::chkMarcaForaFaixaClick);
    on(chkGraficosTendencia, &TfrmConfiguracoesGerais::chkGraficosTendenciaClick);

    montaGrade({{"TX_LAUDO_TECNICO", QString::fromUtf8("Texto complementar para o Laudo Técnico"), 600}});
    resize(744, 476);
}

TfrmConfiguracoesGerais::~TfrmConfiguracoesGerais() {
    disconnect(m_ativacao);
}

void TfrmConfiguracoesGerais::FormShow() {
    MostrarTodos = "S";
    TfrmCadastroPadrao::FormShow();
    if (!PermissaoAcesso) return;
    if (Database* db = dataContext().IBSolution) {
        chkMarcaForaFaixa->setChecked(leParametroProprioLogico(*db, kParamLaudoMarcaForaFaixa));
        chkGraficosTendencia->setChecked(leParametroProprioLogico(*db, kParamLaudoGraficosTendencia));
    }
    // A user who may not change records cannot change the options either.
    chkMarcaForaFaixa->setEnabled(alterar);
    chkGraficosTendencia->setEnabled(alterar);
    // The toolbar is hidden while this screen is the active one, and back for any other.
    TfrmClassePrincipal* p = principal();
    m_ativacao = connect(p->mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (w && w != subWindow())
            if (TfrmClassePrincipal* pr = principal()) pr->tb1->show();
    });
}

void TfrmConfiguracoesGerais::FormActivate() {
    TfrmCadastroPadrao::FormActivate();
    if (!PermissaoAcesso) return;
    // The parameter row is one row shared with the other applications: it is edited here, never
    // added or removed (the keys stay in force while the toolbar is hidden).
    incluir = false;
    excluir = false;
    dsPadraoStateChange();
    principal()->tb1->hide();
}

bool TfrmConfiguracoesGerais::FormClose() {
    if (!TfrmCadastroPadrao::FormClose()) return false;
    disconnect(m_ativacao);
    if (TfrmClassePrincipal* p = principal()) p->tb1->show();
    return true;
}

void TfrmConfiguracoesGerais::btnTipoFonteClick() {
    textorico::escolheFonte(*DBRichEdit1, fonteDialogo, fonteDialogo);
}

void TfrmConfiguracoesGerais::btnNumerarClick() {
    textorico::alternaMarcador(*DBRichEdit1);
}

void TfrmConfiguracoesGerais::btnIdentarClick() {
    textorico::alternaRecuo(*DBRichEdit1);
}

void TfrmConfiguracoesGerais::BitBtn1Click() {
    DataSet* ds = dsPadrao.dataSet();
    TfrmClassePrincipal* p = principal();
    if (ds && p && ds->editing()) {
        p->salvaDataSet(*ds);
        p->TotalRegistros();
    }
    fecha();
}

void TfrmConfiguracoesGerais::btnEmailLaudoClick() {
    TfrmEmailLaudo frm(this);
    execModal(frm);
}

namespace {

// Stores an option as the box shows it; a failed write puts the box back as stored.
void gravaOpcao(QCheckBox* caixa, const QString& chave) {
    Database* db = dataContext().IBSolution;
    if (!db) return;
    try {
        gravaParametroProprioLogico(*db, chave, caixa->isChecked());
    } catch (...) {
        const QSignalBlocker bloqueio(caixa);
        caixa->setChecked(!caixa->isChecked());
        throw;
    }
}

} // namespace

void TfrmConfiguracoesGerais::chkMarcaForaFaixaClick() {
    gravaOpcao(chkMarcaForaFaixa, kParamLaudoMarcaForaFaixa);
}

void TfrmConfiguracoesGerais::chkGraficosTendenciaClick() {
    gravaOpcao(chkGraficosTendencia, kParamLaudoGraficosTendencia);
}
