#include "screens/UnPrincipal.h"
#include "data/DataContext.h"
#include "data/KeyAllocation.h"
#include "data/UndmPadrao.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/IconePadrao.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"
#include "screens/ActiveScreen.h"
#include "screens/ScreenWindow.h"
#include "screens/UnPermissoes.h"
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace {
TfrmClassePrincipal* g_principal = nullptr;
}

TfrmClassePrincipal* frmPrincipal() {
    return g_principal;
}

QIcon iconePrograma() {
    // A drop on a blue disc, drawn so that no image file is needed.
    QPixmap p(64, 64);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(0x1f, 0x5f, 0x8b));
    g.drawEllipse(2, 2, 60, 60);
    QPainterPath gota;
    gota.moveTo(32, 12);
    gota.cubicTo(44, 28, 48, 36, 48, 42);
    gota.arcTo(16, 26, 32, 32, 0, -180);
    gota.cubicTo(16, 36, 20, 28, 32, 12);
    g.setBrush(QColor(0xf2, 0xb7, 0x2e));
    g.drawPath(gota);
    return QIcon(p);
}

TfrmClassePrincipal::TfrmClassePrincipal(QWidget* parent) : QMainWindow(parent) {
    g_principal = this;
    setObjectName("frmClassePrincipal");
    IBSolution.setCharacterSet("ISO8859_1");
    IBTransaction.setDatabase(&IBSolution);
    IBT_Gen.setDatabase(&IBSolution);
    IBSolution.setDefaultTransaction(&IBTransaction);
    IBQ_Gen.setName("IBQ_Gen");
    IBQ_Gen.setDatabase(&IBSolution);
    IBQ_ID.setName("IBQ_ID");
    IBQ_ID.setDatabase(&IBSolution);
    dataContext() = DataContext{&IBSolution, &IBTransaction, &IBT_Gen};
    requestEnd = [] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); };
    m_barra = std::make_unique<RecordToolbar>(*this);
    if (qApp->windowIcon().isNull()) qApp->setWindowIcon(iconePrograma());

    // Frame: the multi-document area with the control panel over it.
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(0, 0, 0, 0);
    mdi = new QMdiArea(central);
    mdi->setObjectName("mdi");
    mdi->setBackground(QColor(0x7a, 0x8c, 0xa3));
    // A screen is maximized only when the user (or its stored grid view) says so: activating or
    // opening a screen while another is maximized, or after a maximized one closed, leaves it
    // at its own size.
    mdi->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, true);
    gbpainelcontrole = new QWidget(central);
    gbpainelcontrole->setObjectName("gbpainelcontrole");
    grid->addWidget(mdi, 0, 0);
    grid->addWidget(gbpainelcontrole, 0, 0);
    setCentralWidget(central);
    connect(mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) { subWindowActivated(w); });

    // Toolbar.
    tb1 = addToolBar("tb1");
    tb1->setObjectName("tb1");
    tb1->setMovable(false);
    tb1->setFixedHeight(52);
    using SP = QStyle::StandardPixmap;
    bttIncluir = botao("bttIncluir", "Incluir", "Inclui um Novo Registro (F2)", SP::SP_FileDialogNewFolder);
    bttSalvar =
        botao("bttSalvar", "Salvar", "Salva as Alterações do Registro Atual (F3)", SP::SP_DialogSaveButton);
    bttAtualiza = botao("bttAtualiza", "Atualizar", "Mostra os Dados Atualizados (F4)", SP::SP_BrowserReload);
    bttExcluir = botao("bttExcluir", "Excluir", "Exclui o Registro Atual (F5)", SP::SP_TrashIcon);
    bttCancelar = botao("bttCancelar", "Cancelar", "Cancela as Alterações do Registro Atual (F6)",
                        SP::SP_DialogCancelButton);
    m_separadores.append(tb1->addSeparator());
    bttMostrarTodos = botao("bttMostrarTodos", "Todos", "Mostra Todos os Registros da Tabela (F7)",
                            SP::SP_FileDialogListView);
    bttPesquisa = botao("bttPesquisa", "Pesquisar", "Pesquisa os Registros da Tabela (F8)",
                        SP::SP_FileDialogContentsView);
    bttOrdena = botao("bttOrdena", "Ordenar", "Ordena os Registros da Tabela (F9)", SP::SP_ArrowDown);
    bttFicha = botao("bttFicha", "Tabela", "Mostra os Dados no Formato de Tabela (F12)",
                     SP::SP_FileDialogDetailedView);
    bttExcel = botao("bttExcel", "Excel", "Exporta Dados para o Excel", SP::SP_DriveFDIcon);
    m_separadores.append(tb1->addSeparator());
    bttPrimeiro = botao("bttPrimeiro", "Primeiro", "Posiciona no Primeiro Registro (Alt+Home)",
                        SP::SP_MediaSkipBackward);
    bttAnterior = botao("bttAnterior", "Anterior", "Posiciona no Registro Anterior (Alt + <--)",
                        SP::SP_MediaSeekBackward);
    bttSeguinte = botao("bttSeguinte", "Seguinte", "Posiciona no Registro Seguinte (Alt + -->)",
                        SP::SP_MediaSeekForward);
    bttUltimo =
        botao("bttUltimo", "Último", "Posiciona no Último Registro (Alt + End)", SP::SP_MediaSkipForward);
    m_separadores.append(tb1->addSeparator());
    bttFechar = botao("bttFechar", "Fechar", "Fecha a Rotina e Sai (Esc)", SP::SP_DialogCloseButton);
    m_separadores.append(tb1->addSeparator());
    ToolbarButton974 = botao("ToolbarButton974", "Calend.", "Mostra Calendário", SP::SP_FileDialogInfoView);
    ToolbarButton973 = botao("ToolbarButton973", "Calc.", "Abre Calculadora", SP::SP_ComputerIcon);
    ToolbarButton971 =
        botao("ToolbarButton971", "Email", "Envia Email para Suporte Técnico", SP::SP_MessageBoxInformation);
    auto on = [this](QToolButton* b, void (TfrmClassePrincipal::*fn)()) {
        connect(b, &QToolButton::clicked, this, [this, fn] { guarded([&] { (this->*fn)(); }); });
    };
    on(bttIncluir, &TfrmClassePrincipal::bttIncluirClick);
    on(bttSalvar, &TfrmClassePrincipal::bttSalvarClick);
    on(bttAtualiza, &TfrmClassePrincipal::bttAtualizaClick);
    on(bttExcluir, &TfrmClassePrincipal::bttExcluirClick);
    on(bttCancelar, &TfrmClassePrincipal::bttCancelarClick);
    on(bttMostrarTodos, &TfrmClassePrincipal::bttMostrarTodosClick);
    on(bttPesquisa, &TfrmClassePrincipal::bttPesquisaClick);
    on(bttOrdena, &TfrmClassePrincipal::bttOrdenaClick);
    on(bttFicha, &TfrmClassePrincipal::bttFichaClick);
    on(bttExcel, &TfrmClassePrincipal::bttExcelClick);
    on(bttPrimeiro, &TfrmClassePrincipal::bttPrimeiroClick);
    on(bttAnterior, &TfrmClassePrincipal::bttAnteriorClick);
    on(bttSeguinte, &TfrmClassePrincipal::bttSeguinteClick);
    on(bttUltimo, &TfrmClassePrincipal::bttUltimoClick);
    on(bttFechar, &TfrmClassePrincipal::bttFecharClick);

    // Status bar with its three panels.
    auto* sb = statusBar();
    sb->setObjectName("sb");
    const int widths[3] = {400, 200, 200};
    for (int i = 0; i < 3; ++i) {
        sbPanel[i] = new QLabel(sb);
        sbPanel[i]->setObjectName(QString("sbPanel%1").arg(i));
        sbPanel[i]->setMinimumWidth(widths[i]);
        sbPanel[i]->setFrameShape(QFrame::StyledPanel);
        sb->addWidget(sbPanel[i]);
    }

    // Base menu items.
    mnuArquivo = menuBar()->addMenu("&Arquivo");
    mnuArquivo->setObjectName("Arquivo1");
    mnuTabelas = menuBar()->addMenu("Tabelas");
    mnuTabelas->setObjectName("Tabelas1");
    mnuAjuda = menuBar()->addMenu("A&juda");
    mnuAjuda->setObjectName("Ajuda1");
}

TfrmClassePrincipal::~TfrmClassePrincipal() {
    // Screens close before the connection they use.
    if (mdi) {
        for (QMdiSubWindow* w : mdi->subWindowList())
            delete w;
    }
    if (g_principal == this) g_principal = nullptr;
    dataContext() = DataContext{};
}

QToolButton* TfrmClassePrincipal::botao(const char* name, const QString& caption, const QString& hint,
                                        int icon) {
    auto* b = new QToolButton(tb1);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(hint);
    b->setIcon(iconePadrao(static_cast<QStyle::StandardPixmap>(icon)));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setFixedSize(60, 46);
    b->setIconSize(QSize(20, 20));
    tb1->addWidget(b);
    return b;
}

void TfrmClassePrincipal::setBotaoHabilitado(QToolButton* b, bool enabled) {
    b->setEnabled(enabled);
    for (QAction* a : tb1->actions())
        if (tb1->widgetForAction(a) == b) a->setEnabled(enabled);
}

QList<QToolButton*> TfrmClassePrincipal::botoesRegistro() const {
    return {bttIncluir,      bttSalvar,   bttAtualiza, bttExcluir, bttCancelar,
            bttMostrarTodos, bttPesquisa, bttOrdena,   bttFicha,   bttExcel,
            bttPrimeiro,     bttAnterior, bttSeguinte, bttUltimo,  bttFechar};
}

void TfrmClassePrincipal::mostraBotoesRegistro(bool visible) {
    for (QToolButton* b : botoesRegistro())
        mostraBotao(b, visible);
    for (QAction* s : m_separadores)
        s->setVisible(visible);
    assentaBarra();
}

void TfrmClassePrincipal::assentaBarra() {
    // Laid out now, not on the toolbar's posted layout request: otherwise the frame paints the
    // buttons where they stood and again, with the whole toolbar, once they have moved.
    if (tb1->isVisible() && tb1->layout()) tb1->layout()->activate();
}

void TfrmClassePrincipal::mostraBotao(QToolButton* b, bool visible) {
    // A toolbar button's visibility is its action's; changing the action also resets the
    // button's enabled state, which is kept as it was.
    const bool enabled = b->isEnabled();
    for (QAction* a : tb1->actions())
        if (tb1->widgetForAction(a) == b) {
            a->setVisible(visible);
            a->setEnabled(enabled);
        }
    b->setEnabled(enabled);
}

void TfrmClassePrincipal::setStatus(int panel, const QString& text) {
    sbPanel[panel]->setText(text);
    sbPanel[panel]->repaint();
}

QString TfrmClassePrincipal::status(int panel) const {
    return sbPanel[panel]->text();
}

void TfrmClassePrincipal::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    guarded([this] { FormShow(); });
}

void TfrmClassePrincipal::FormShow() {
    const TSessaoUsuario& s = sessaoUsuario();
    grupousuario = s.grupousuario;
    codusuario = s.codusuario;
    erroconexao = s.erroconexao;
    loginusuario = s.loginusuario;
    setStatus(1, "Usuário: " + s.Nm_usuario);
    setStatus(2, "Grupo: " + s.Nm_GrupoUsusario);
    ConectaBanco();
    mostraBotoesRegistro(false);
}

std::vector<std::pair<QString, QString>> contextoSessao(int idUsuario, const QString& login) {
    const OsFacts& os = osFacts();
    QString estacao = os.hostName().trimmed();
    const QString ip = os.ipv4Address().trimmed();
    if (!ip.isEmpty()) estacao = estacao.isEmpty() ? ip : estacao + " (" + ip + ")";
    const QString usuarioSo = os.userName().trimmed();
    if (!usuarioSo.isEmpty()) estacao = usuarioSo + "@" + estacao;
    return {{"CTV_ID_USUARIO", QString::number(idUsuario)},
            {"CTV_LOGIN", login},
            {"CTV_ESTACAO", estacao},
            {"CTV_APLICATIVO", QStringLiteral("Nexmoro Cortivandela")}};
}

void TfrmClassePrincipal::ConectaBanco() {
    if (erroconexao == 10) return;
    setStatus(0, "Efetuando conexão com o banco de dados...");
    try {
        IniFile prog(programSettingsPath(osFacts().executablePath()));
        const QString nomearquivo = prog.readString("IniServidor", "nomearquivo", "");
        QApplication::setOverrideCursor(Qt::WaitCursor);
        IBSolution.disconnect();
        IBSolution.setDatabaseName(QString());
        IniFile conn(nomearquivo);
        const QString servidor = conn.readString("Database", "servidor", "");
        const QString path = conn.readString("Database", "path", "");
        const QString name = conn.readString("Database", "name", "");
        IBSolution.setDatabaseName(servidor.isEmpty() ? path + name : servidor + ":" + path + name);
        IBSolution.setSessionContext(contextoSessao(codusuario, loginusuario));
        IBSolution.connect();
        setStatus(0, "");
        QApplication::restoreOverrideCursor();
    } catch (const std::exception&) {
        setStatus(0, "");
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        showMessage("Dados do arquivo de inicialização incorreto ou servidor inativo...", kSystemCaption,
                    MsgIcon::Error);
        if (requestEnd) requestEnd();
    }
}

void TfrmClassePrincipal::closeEvent(QCloseEvent* e) {
    // Screens first: one may refuse to close (Cancel on its save question).
    for (QMdiSubWindow* w : mdi->subWindowList()) {
        if (!w->close()) {
            e->ignore();
            return;
        }
    }
    guarded([this] { aoFechar(); });
    e->accept();
    if (requestEnd) requestEnd();
}

void TfrmClassePrincipal::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && !telaAtiva()) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

void TfrmClassePrincipal::Sair1Click() {
    close();
}

void TfrmClassePrincipal::encerraSemPerguntas() {
    if (m_semPerguntas) return;
    m_semPerguntas = true;
    // A question open at this moment is answered as if closed; the end comes after it.
    while (QWidget* m = QApplication::activeModalWidget()) {
        m->close();
        if (QApplication::activeModalWidget() == m) break;
    }
    cancelaEdicoes();
    QPointer<TfrmClassePrincipal> self(this);
    QTimer::singleShot(0, this, [self] {
        if (!self) return;
        self->cancelaEdicoes();
        self->close();
        if (self && self->isVisible()) {
            // A screen refused to close: the end goes on all the same.
            self->aoFechar();
            if (self->requestEnd) self->requestEnd();
        }
    });
}

void TfrmClassePrincipal::cancelaEdicoes() {
    for (ScreenWindow* t : telasAbertas())
        if (auto* a = dynamic_cast<ActiveScreen*>(t))
            if (DataSet* ds = a->listSource() ? a->listSource()->dataSet() : nullptr; ds && ds->editing())
                ds->cancel();
}

// ---------------------------------------------------------------- screens in the frame

QMdiSubWindow* TfrmClassePrincipal::abreTela(ScreenWindow* tela) {
    const QSize design = tela->size();
    QMdiSubWindow* sub =
        mdi->addSubWindow(tela, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(tela->windowTitle());
    sub->setObjectName("sub_" + tela->objectName());
    connect(tela, &QWidget::windowTitleChanged, sub, &QWidget::setWindowTitle);
    // The child window opens at the screen's design size plus its frame, and that is the size
    // the screen keeps as its design (not whatever the frame shows it at).
    sub->adjustSize();
    const QSize frame = sub->size() - tela->size();
    sub->resize(design + frame);
    if (tela->w <= 0) {
        tela->w = design.width() + frame.width();
        tela->h = design.height() + frame.height();
    }
    sub->show();
    return sub;
}

QList<ScreenWindow*> TfrmClassePrincipal::telasAbertas() const {
    QList<ScreenWindow*> out;
    for (QMdiSubWindow* w : mdi->subWindowList())
        if (auto* t = qobject_cast<ScreenWindow*>(w->widget())) out.append(t);
    return out;
}

ScreenWindow* TfrmClassePrincipal::telaAtiva() const {
    QMdiSubWindow* w = mdi->activeSubWindow();
    return w ? qobject_cast<ScreenWindow*>(w->widget()) : nullptr;
}

bool TfrmClassePrincipal::outraTelaAberta(ScreenWindow* exceto, bool incluiPadrao) const {
    for (ScreenWindow* t : telasAbertas()) {
        if (t == exceto || t->objectName() == exceto->objectName()) continue;
        if (!t->subWindow() || !t->subWindow()->isVisible()) continue;
        if (t->screenKind() == ScreenKind::Record || t->screenKind() == ScreenKind::Report) return true;
        if (incluiPadrao && t->screenKind() == ScreenKind::Standard) return true;
    }
    return false;
}

void TfrmClassePrincipal::subWindowActivated(QMdiSubWindow* w) {
    if (!w) return;
    if (auto* t = qobject_cast<ScreenWindow*>(w->widget())) {
        if (!t->mostrada()) {
            t->ativaDepoisDeMostrar();
            return;
        }
        if (!t->PermissaoAcesso) return;
        guarded([t] { t->FormActivate(); });
        t->focaPrimeiroControle();
    }
}

// ---------------------------------------------------------------- record toolbar

void TfrmClassePrincipal::teclaTela(ScreenWindow* tela, int key, Qt::KeyboardModifiers mods) {
    m_barra->pressKey(tela, key, mods);
}
void TfrmClassePrincipal::bttIncluirClick() {
    m_barra->insert();
}
void TfrmClassePrincipal::bttSalvarClick() {
    m_barra->save();
}
void TfrmClassePrincipal::bttAtualizaClick() {
    m_barra->refresh();
}
void TfrmClassePrincipal::bttExcluirClick() {
    m_barra->remove();
}
void TfrmClassePrincipal::bttCancelarClick() {
    m_barra->cancel();
}
void TfrmClassePrincipal::bttMostrarTodosClick() {
    m_barra->showAll();
}
void TfrmClassePrincipal::bttPesquisaClick() {
    m_barra->filter();
}
void TfrmClassePrincipal::bttOrdenaClick() {
    m_barra->sort();
}
void TfrmClassePrincipal::bttFichaClick() {
    m_barra->switchView();
}
void TfrmClassePrincipal::bttExcelClick() {
    m_barra->exportList();
}
void TfrmClassePrincipal::bttPrimeiroClick() {
    m_barra->first();
}
void TfrmClassePrincipal::bttAnteriorClick() {
    m_barra->prior();
}
void TfrmClassePrincipal::bttSeguinteClick() {
    m_barra->next();
}
void TfrmClassePrincipal::bttUltimoClick() {
    m_barra->last();
}
void TfrmClassePrincipal::bttFecharClick() {
    m_barra->closeScreen();
}
void TfrmClassePrincipal::atualizaBotaoFicha() {
    m_barra->atualizaBotaoFicha();
}
void TfrmClassePrincipal::TotalRegistros() {
    m_barra->TotalRegistros();
}
void TfrmClassePrincipal::SalvaNavegacao() {
    m_barra->SalvaNavegacao();
}
void TfrmClassePrincipal::resolvePendente(DataSet& ds) {
    m_barra->resolvePendente(ds);
}
void TfrmClassePrincipal::salvaDataSet(DataSet& ds) {
    m_barra->salvaDataSet(ds);
}
void TfrmClassePrincipal::resolveConflito(Query& q) {
    m_barra->resolveConflito(q);
}
bool TfrmClassePrincipal::confirmaSair() const {
    return m_barra->confirmaSair();
}
void TfrmClassePrincipal::Navegacao() {
    m_barra->Navegacao();
}

qint64 TfrmClassePrincipal::AdicionaID(const QString& Tabela, const QString& Campo) {
    return ::AdicionaID(IBQ_ID, Tabela, Campo);
}

qint64 TfrmClassePrincipal::AdicionaIDNegativo(const QString& Tabela, const QString& Campo) {
    return ::AdicionaIDNegativo(IBQ_ID, Tabela, Campo);
}

bool TfrmClassePrincipal::VerificaPermissoes(const QString& NomeForm, const QString& CaptionForm) {
    return ::VerificaPermissoes(IBQ_Gen, grupousuario, NomeForm, CaptionForm);
}

bool TfrmClassePrincipal::VerificaUsuario(const QString& NomeForm) {
    return ::VerificaUsuario(IBQ_Gen, grupousuario, NomeForm);
}

void TfrmClassePrincipal::IncluiObjetos() {
    gbpainelcontrole->hide();
    ScreenWindow* t = telaAtiva();
    if (!t) return;
    IncluiForm(IBQ_Gen, t);
    IncluiEventos(IBQ_Gen, t, t->screenKind() == ScreenKind::Record);
}
