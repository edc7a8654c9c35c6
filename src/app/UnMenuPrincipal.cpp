#include "app/UnMenuPrincipal.h"
#include "app/Telas.h"
#include "app/UnFuncaoNexmoro.h"
#include "app/UnScript.h"
#include "data/DataContext.h"
#include "data/UndmPadrao.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "screens/ScreenRegistry.h"
#include "search/FerramentasLista.h"
#include "support/UnErroSistema.h"
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

TfrmMenuPrincipal::TfrmMenuPrincipal(QWidget* parent) : TfrmClassePrincipal(parent) {
    setObjectName("frmMenuPrincipal");
    InstalaErroSistema(
        *this, [] { return versaoERP(); }, [] { return scriptRodado(); },
        [this] {
            // Once written, the closing sequence does not write it again.
            if (IBSolution.connected() && it_iidLogLogin > 0) GravaLogLogoff(it_iidLogLogin, IBSolution);
            it_iidLogLogin = 0;
        });
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

    montaMenus();
    montaPainel();
    instalaFerramentasLista(*this);
}

QMenu* TfrmMenuPrincipal::menuDe(const QString& menu) const {
    if (menu == QLatin1String("Arquivo")) return mnuArquivo;
    if (menu == QLatin1String("Tabelas")) return mnuTabelas;
    if (menu == QLatin1String("Cadastros")) return mnuCadastros;
    if (menu == QString::fromUtf8("Relatórios")) return mnuRelatorios;
    if (menu == QString::fromUtf8("Utilitários")) return mnuUtilitarios;
    if (menu == QLatin1String("Ajuda")) return mnuAjuda;
    return nullptr;
}

void TfrmMenuPrincipal::montaMenus() {
    registraTodasAsTelas();
    // The hidden help item comes first in its menu; "Sair" closes the file menu.
    QAction* ajuda = mnuAjuda->addAction("Ajuda do Nexmoro Cortivandela");
    ajuda->setObjectName("AjudadoNexmoro1");
    ajuda->setVisible(false);
    std::vector<const TelaRegistrada*> telas;
    for (const TelaRegistrada& t : telasRegistradas())
        telas.push_back(&t);
    std::stable_sort(telas.begin(), telas.end(),
                     [](const TelaRegistrada* a, const TelaRegistrada* b) { return a->ordem < b->ordem; });
    for (const TelaRegistrada* t : telas) {
        QMenu* m = menuDe(t->menu);
        if (!m) continue;
        QAction* a = m->addAction(t->caption);
        a->setObjectName(t->item);
        const QString nome = t->nome;
        connect(a, &QAction::triggered, this, [this, nome] { guarded([&] { abreTelaRegistrada(nome); }); });
    }
    QAction* sair = mnuArquivo->addAction("&Sair");
    sair->setObjectName("Sair1");
    connect(sair, &QAction::triggered, this, [this] { guarded([&] { Sair1Click(); }); });
    // A menu without any item yet is not offered.
    for (QMenu* m : {mnuCadastros, mnuRelatorios})
        if (m->actions().isEmpty()) m->menuAction()->setVisible(false);
}

ScreenWindow* TfrmMenuPrincipal::abreTelaRegistrada(const QString& nome) {
    const TelaRegistrada* t = telaRegistrada(nome);
    if (!t) throw AppError(QStringLiteral("A tela %1 não existe.").arg(nome));
    return abreTelaUnica(t->nome, t->cria);
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
    // One shortcut per screen of the visible menus that the registration offers on the panel.
    for (QMenu* m : {mnuTabelas, mnuCadastros, mnuRelatorios}) {
        for (QAction* a : m->actions()) {
            if (!a->isVisible()) continue;
            const TelaRegistrada* t = nullptr;
            for (const TelaRegistrada& r : telasRegistradas())
                if (r.item == a->objectName()) t = &r;
            if (t && !t->painel) continue;
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

void TfrmMenuPrincipal::aoFechar() {
    if (IBSolution.connected() && it_iidLogLogin > 0) GravaLogLogoff(it_iidLogLogin, IBSolution);
    // The survey is a question: not when the desktop asked the program to end.
    if (IBSolution.connected() && !encerrandoSemPerguntas()) AbrePesquisaSatisfacao(codusuario, IBSolution);
}
