#include "app/UnMenuPrincipal.h"
#include "app/UnFuncaoNexmoro.h"
#include "app/UnSobre.h"
#include "data/DataContext.h"
#include "data/UndmPadrao.h"
#include "lab/UnTipoAnalise.h"
#include "platform/ErrorHook.h"
#include "search/FerramentasLista.h"
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

TfrmMenuPrincipal::TfrmMenuPrincipal(QWidget* parent) : TfrmClassePrincipal(parent) {
    setObjectName("frmMenuPrincipal");
    setWindowTitle("Nexmoro Cortivandela");
    // Menus in their order; Cadastros and Relatórios receive their items with their screens.
    mnuCadastros = new QMenu("Cadastros", this);
    mnuCadastros->setObjectName("Cadastros1");
    mnuRelatorios = new QMenu("Relatórios", this);
    mnuRelatorios->setObjectName("Relatorios1");
    mnuUtilitarios = new QMenu("Utilitários", this);
    mnuUtilitarios->setObjectName("Utilitarios1");
    menuBar()->insertMenu(mnuAjuda->menuAction(), mnuCadastros);
    menuBar()->insertMenu(mnuAjuda->menuAction(), mnuRelatorios);
    menuBar()->insertMenu(mnuAjuda->menuAction(), mnuUtilitarios);
    mnuUtilitarios->menuAction()->setVisible(false);

    item(mnuArquivo, "Sair1", "&Sair", &TfrmClassePrincipal::Sair1Click);
    item(mnuTabelas, "TipodeAnlise1", "Tipo de Análise", &TfrmMenuPrincipal::TipodeAnlise1Click);
    QAction* ajuda = mnuAjuda->addAction("Ajuda do Nexmoro Cortivandela");
    ajuda->setObjectName("AjudadoNexmoro1");
    ajuda->setVisible(false);
    item(mnuAjuda, "SobreonexmoroOstrevagem1", "Sobre o Nexmoro Cortivandela",
         &TfrmMenuPrincipal::SobreonexmoroOstrevagem1Click);
    // A menu without any item yet is not offered.
    for (QMenu* m : {mnuCadastros, mnuRelatorios})
        if (m->actions().isEmpty()) m->menuAction()->setVisible(false);
    montaPainel();
    instalaFerramentasLista(*this);
}

QAction* TfrmMenuPrincipal::item(QMenu* menu, const char* name, const QString& caption,
                                 void (TfrmMenuPrincipal::*fn)()) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [this, fn] { guarded([&] { (this->*fn)(); }); });
    return a;
}

void TfrmMenuPrincipal::montaPainel() {
    gbpainelcontrole->setAutoFillBackground(true);
    QPalette pal = gbpainelcontrole->palette();
    pal.setColor(QPalette::Window, QColor(0xee, 0xf3, 0xf8));
    gbpainelcontrole->setPalette(pal);
    auto* lay = new QVBoxLayout(gbpainelcontrole);
    lay->setContentsMargins(40, 40, 40, 40);
    auto* titulo = new QLabel(
        "<span style='font-size:22pt; color:#1f5f8b'><b>Nexmoro Cortivandela</b></span>", gbpainelcontrole);
    titulo->setObjectName("lblPainelTitulo");
    auto* sub = new QLabel("Análises de águas e fluidos: tipos de equipamento, análises, equipamentos dos "
                           "clientes, coletas, resultados e relatórios.",
                           gbpainelcontrole);
    sub->setWordWrap(true);
    auto* empresa = new QLabel(gbpainelcontrole);
    empresa->setObjectName("lblPainelEmpresa");
    empresa->setStyleSheet("font-size: 13pt; color: #333;");
    lay->addWidget(empresa);
    lay->addWidget(titulo);
    lay->addWidget(sub);
    lay->addSpacing(20);
    // One shortcut per screen of the menu.
    for (QMenu* m : {mnuTabelas, mnuCadastros, mnuRelatorios}) {
        for (QAction* a : m->actions()) {
            if (!a->isVisible()) continue;
            auto* b = new QPushButton(QString(a->text()).remove('&'), gbpainelcontrole);
            b->setObjectName("btnPainel_" + a->objectName());
            b->setMinimumHeight(36);
            b->setMaximumWidth(320);
            connect(b, &QPushButton::clicked, a, &QAction::trigger);
            lay->addWidget(b);
        }
    }
    lay->addStretch();
}

void TfrmMenuPrincipal::FormShow() {
    TfrmClassePrincipal::FormShow();
    it_iidLogLogin = sessaoUsuario().it_iidLogLoginSplash;
    TdmPadrao* dm = dmPadrao();
    if (!dm || !IBSolution.connected()) return;
    dm->IBQ_Parametros.close();
    dm->IBQ_Parametros.open();
    const QString empresa = dm->IBQ_Parametros.fieldByName("NM_EMPRESA")->asString();
    setWindowTitle("Nexmoro Cortivandela - " + empresa);
    if (auto* l = gbpainelcontrole->findChild<QLabel*>("lblPainelEmpresa")) l->setText(empresa);
}

bool TfrmMenuPrincipal::VerificaFormAtivo(const QString& nomeTela) {
    QMdiSubWindow* achou = nullptr;
    for (QMdiSubWindow* s : mdi->subWindowList(QMdiArea::CreationOrder))
        if (s->widget() && s->widget()->objectName().toUpper() == nomeTela.toUpper()) achou = s;
    if (!achou) return false;
    if (achou->isMinimized()) achou->showNormal();
    mdi->setActiveSubWindow(achou);
    achou->raise();
    return true;
}

ScreenWindow* TfrmMenuPrincipal::abreTelaUnica(const QString& nomeTela,
                                               const std::function<ScreenWindow*()>& cria) {
    if (VerificaFormAtivo(nomeTela)) return nullptr;
    gbpainelcontrole->hide();
    ScreenWindow* t = cria();
    abreTela(t);
    return t;
}

void TfrmMenuPrincipal::TipodeAnlise1Click() {
    abreTelaUnica("frmTipoAnalise", [] { return new TfrmTipoAnalise; });
}

void TfrmMenuPrincipal::SobreonexmoroOstrevagem1Click() {
    abreTelaUnica("frmSobre", [] { return new TfrmSobre; });
}

void TfrmMenuPrincipal::aoFechar() {
    if (IBSolution.connected() && it_iidLogLogin > 0) GravaLogLogoff(it_iidLogLogin, IBSolution);
}
