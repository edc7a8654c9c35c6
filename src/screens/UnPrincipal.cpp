#include "screens/UnPrincipal.h"
#include "data/DataContext.h"
#include "data/KeyAllocation.h"
#include "data/SqlText.h"
#include "data/UndmPadrao.h"
#include "data/UpdateSql.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"
#include "screens/UnCadastroPadrao.h"
#include "screens/UnPermissoes.h"
#include "screens/controls/DBGrid.h"
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHash>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
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
    b->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)));
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
    for (ScreenWindow* t : telasAbertas())
        if (auto* c = qobject_cast<TfrmCadastroPadrao*>(t))
            if (DataSet* ds = c->dsPadrao.dataSet(); ds && ds->editing()) ds->cancel();
    QPointer<TfrmClassePrincipal> self(this);
    QTimer::singleShot(0, this, [self] {
        if (!self) return;
        for (ScreenWindow* t : self->telasAbertas())
            if (auto* c = qobject_cast<TfrmCadastroPadrao*>(t))
                if (DataSet* ds = c->dsPadrao.dataSet(); ds && ds->editing()) ds->cancel();
        self->close();
        if (self && self->isVisible()) {
            // A screen refused to close: the end goes on all the same.
            self->aoFechar();
            if (self->requestEnd) self->requestEnd();
        }
    });
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

TfrmCadastroPadrao* TfrmClassePrincipal::cadastroAtivo() const {
    // The record screen that owns the current data source.
    for (ScreenWindow* t : telasAbertas())
        if (auto* c = qobject_cast<TfrmCadastroPadrao*>(t))
            if (&c->dsPadrao == dsAtual) return c;
    return nullptr;
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

void TfrmClassePrincipal::teclaTela(ScreenWindow* tela, int key, Qt::KeyboardModifiers mods) {
    const bool record = tela->screenKind() == ScreenKind::Record;
    if (tela->screenKind() == ScreenKind::Report) {
        if (key == Qt::Key_Escape) bttFecharClick();
        return;
    }
    // A standard screen acts on the current data source only when a record screen owns it.
    if (!record && !cadastroAtivo() && key != Qt::Key_Escape) return;
    // Like the function keys, a move acts only while its button does (a list with rows).
    if (mods == Qt::AltModifier) {
        switch (key) {
        case Qt::Key_Home:
            if (bttPrimeiro->isEnabled()) bttPrimeiroClick();
            return;
        case Qt::Key_Left:
            if (bttAnterior->isEnabled()) bttAnteriorClick();
            return;
        case Qt::Key_Right:
            if (bttSeguinte->isEnabled()) bttSeguinteClick();
            return;
        case Qt::Key_End:
            if (bttUltimo->isEnabled()) bttUltimoClick();
            return;
        default:
            break;
        }
    }
    switch (key) {
    case Qt::Key_F2:
        if (bttIncluir->isEnabled()) bttIncluirClick();
        break;
    case Qt::Key_F3:
        if (bttSalvar->isEnabled()) bttSalvarClick();
        break;
    case Qt::Key_F4:
        if (!record || bttAtualiza->isEnabled()) bttAtualizaClick();
        break;
    case Qt::Key_F5:
        if (bttExcluir->isEnabled()) bttExcluirClick();
        break;
    case Qt::Key_F6:
        bttCancelarClick();
        break;
    case Qt::Key_F7:
        if (bttMostrarTodos->isEnabled()) bttMostrarTodosClick();
        break;
    case Qt::Key_F8:
        if (bttPesquisa->isEnabled()) bttPesquisaClick();
        break;
    case Qt::Key_F9:
        if (bttOrdena->isEnabled()) bttOrdenaClick();
        break;
    case Qt::Key_F12:
        if (record) bttFichaClick();
        break;
    case Qt::Key_Escape:
        bttFecharClick();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- toolbar actions

DataSet* TfrmClassePrincipal::dataSetAtual() const {
    return dsAtual ? dsAtual->dataSet() : nullptr;
}

static Query* comoQuery(DataSet* ds) {
    return dynamic_cast<Query*>(ds);
}

void TfrmClassePrincipal::bttIncluirClick() {
    DataSet* ds = dataSetAtual();
    if (!ds) return;
    if (ds->editing()) bttSalvarClick();
    if (TfrmCadastroPadrao* tela = cadastroAtivo()) {
        // A multi-page record form goes back to its first page; the first control of the
        // tab order gets the focus.
        if (tela->pc && tela->pc->count() > 2) tela->pc->setCurrentIndex(0);
        for (QWidget* wdg : tela->pagFicha->findChildren<QWidget*>()) {
            if (wdg->focusPolicy() & Qt::TabFocus && wdg->isEnabled() && wdg->isVisibleTo(tela) &&
                !qobject_cast<QTabWidget*>(wdg) && !wdg->inherits("QCheckBox") &&
                !wdg->inherits("QAbstractButton")) {
                wdg->setFocus();
                break;
            }
        }
    }
    ds->insert();
    TotalRegistros();
}

void TfrmClassePrincipal::bttSalvarClick() {
    DataSet* ds = dataSetAtual();
    if (!ds) return;
    if (!ds->editing()) throw SilentAbort();
    salvaDataSet(*ds);
    TotalRegistros();
}

namespace {

// The database refused a second row with the same value of a primary or unique key.
bool chaveDuplicada(const DatabaseError& e) {
    return e.hasCode(335544665) || e.hasCode(335544349);
}

QString textoDoCampo(const Field& f, const QVariant& v) {
    if (v.isNull()) return QStringLiteral("(vazio)");
    QString t = Field::formatValue(f, v);
    if (t.startsWith(QLatin1String("{\\rtf"))) return QStringLiteral("(texto formatado)");
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t.size() > 60 ? t.left(60) + QStringLiteral("...") : t;
}

} // namespace

void TfrmClassePrincipal::salvaDataSet(DataSet& ds) {
    Query* q = comoQuery(&ds);
    Transaction* tr = q ? q->transaction() : nullptr;
    if (tr) tr->ensureActive();
    const bool novo = ds.state() == DataSetState::Insert && ds.fieldCount() > 0;
    const QString tabela = novo ? tableOfOrigin(ds.field(0)->origin()) : QString();
    // Keys are the largest plus one, read without a lock: another workstation saving a new
    // record at the same moment can take the same one. Its primary key refuses the second
    // insert; the record is then saved with a fresh key, a few times at most.
    constexpr int kTentativas = 3;
    for (int tentativa = 1;; ++tentativa) {
        qint64 chave = 0;
        if (novo) {
            chave = AdicionaID(tabela, ds.field(0)->fieldName());
            ds.field(0)->setValue(chave);
        }
        ds.post();
        try {
            if (q)
                q->applyAndCommit();
            else
                ds.applyUpdates();
            return;
        } catch (const RecordConflict& e) {
            ds.reopenPostedRecord();
            if (e.kind() != UpdateKind::Modify || !q) throw;
            resolveConflito(*q);
            return;
        } catch (const DatabaseError& e) {
            // Nothing of the record reached the database: it goes back to its edit or insert
            // state with what the user typed, and the list shows only what the database holds.
            ds.reopenPostedRecord();
            if (!novo || !chaveDuplicada(e) || ds.state() != DataSetState::Insert) throw;
            // A refusal of another unique key leaves the largest key as it was.
            if (AdicionaID(tabela, ds.field(0)->fieldName()) == chave) throw;
            if (tentativa >= kTentativas)
                warnAndAbort(
                    "Outras estações de trabalho gravaram ao mesmo tempo registros com o código que "
                    "este receberia. O registro não foi gravado e continua na tela: salve-o novamente.");
        } catch (...) {
            ds.reopenPostedRecord();
            throw;
        }
    }
}

void TfrmClassePrincipal::resolveConflito(Query& q) {
    switch (q.rereadEditedRow()) {
    case Query::RowReread::Gone:
        warnAndAbort("Este registro não existe mais no banco de dados: outra estação de trabalho o excluiu "
                     "depois que ele foi lido. A sua alteração não foi gravada e continua na tela.");
    case Query::RowReread::Unknown:
        warnAndAbort(
            "Outra estação de trabalho alterou ou excluiu este registro depois que ele foi lido. A sua "
            "alteração não foi gravada e continua na tela; cancele-a (F6) para ver os valores atuais.");
    case Query::RowReread::Found:
        break;
    }
    QStringList atuais, suas;
    bool mesmaAlteracao = true;
    for (int col : q.changedColumns()) {
        const Field* f = q.field(col);
        const QVariant agora = q.databaseRowValue(col), sua = f->value();
        if (agora.isNull() != sua.isNull() || agora != sua) mesmaAlteracao = false;
        atuais.append("  " + f->displayLabel() + ": " + textoDoCampo(*f, agora));
        suas.append("  " + f->displayLabel() + ": " + textoDoCampo(*f, sua));
    }
    // The other workstation wrote what this user wanted: there is nothing left to write.
    if (mesmaAlteracao) {
        q.takeDatabaseRow(false);
        return;
    }
    const MsgAnswer a = ask("Outra estação de trabalho alterou este registro depois que ele foi lido; a sua "
                            "alteração não foi gravada.\n\nValores atuais:\n" +
                                atuais.join('\n') + "\n\nA sua alteração:\n" + suas.join('\n') +
                                "\n\nGravar a sua alteração sobre os valores atuais ?",
                            MsgButtons::YesNo, MsgAnswer::No);
    if (a != MsgAnswer::Yes) {
        // The record shows what the database holds now.
        q.takeDatabaseRow(false);
        throw SilentAbort();
    }
    q.takeDatabaseRow(true);
    salvaDataSet(q);
}

void TfrmClassePrincipal::bttCancelarClick() {
    DataSet* ds = dataSetAtual();
    if (!ds) return;
    ds->cancel();
    bttAtualizaClick();
}

void TfrmClassePrincipal::bttExcluirClick() {
    DataSet* ds = dataSetAtual();
    if (!ds || !bttExcluir->isEnabled()) return;
    if (ask("Excluir este registro ?", MsgButtons::YesNo, MsgAnswer::No) != MsgAnswer::Yes) return;
    Query* q = comoQuery(ds);
    if (q) q->transaction()->ensureActive();
    if (ds->isEmpty() || ds->fieldCount() == 0) return;
    const QVariant k = ds->field(0)->value();
    const QString keyName = ds->field(0)->fieldName();
    const qint64 K = k.toLongLong();
    bool reposiciona = false;
    QString motivo;
    try {
        if (K > 0) {
            ds->remove();
            try {
                if (q)
                    q->applyAndCommit();
                else
                    ds->applyUpdates();
            } catch (const RecordConflict& e) {
                // The row was gone already: the list no longer shows it, and the user is told.
                ds->commitUpdates();
                motivo = e.message();
            } catch (const DatabaseError& e) {
                ds->cancelUpdates();
                reposiciona = true;
                motivo = motivoExclusaoRecusada(e);
            } catch (...) {
                ds->cancelUpdates();
                reposiciona = true;
            }
        } else if (K < 0) {
            warn("Exclusão não permitida. Registro necessário para funções internas do sistema.");
            reposiciona = true;
        }
    } catch (...) {
        reposiciona = true;
    }
    if (reposiciona && !k.isNull()) guarded([&] { ds->locate(keyName, k); });
    // The row came back; the user is told why, so the refusal is not mistaken for a failure.
    if (!motivo.isEmpty()) warn(motivo);
    TotalRegistros();
}

QString motivoExclusaoRecusada(const DatabaseError& e) {
    if (isConnectionLost(e))
        return QStringLiteral("O registro não foi excluído: a conexão com o servidor do banco de dados foi "
                              "perdida. Verifique se o servidor está ligado e tente novamente.");
    // Firebird names the table whose foreign key still points at the record.
    static const QRegularExpression fk(
        QStringLiteral("FOREIGN KEY constraint \"[^\"]*\" on table \"([^\"]+)\""));
    const auto m = fk.match(e.message());
    if (!m.hasMatch()) {
        return QStringLiteral("O registro não pôde ser excluído. O banco de dados informou:\n%1")
            .arg(e.message());
    }
    // The table as the user knows it, where it is one of this system's.
    static const QHash<QString, QString> nomes = {
        {"TAB_RESULTADO_IDEAL", "Resultados Ideais"},
        {"TAB_EQUIPAMENTO_CLI", "Equipamentos do Cliente"},
        {"TAB_PRODUTO_EQUIPAMENTO", "Produtos Utilizados do Tipo de Equipamento"},
        {"MOV_ANALISE", "Cadastro de Análise"},
        {"MOV_ANALISE_EQUIPAMENTO", "Equipamentos Analisados"},
        {"MOV_ANALISE_RESULTADO", "Resultados das Análises"},
        {"SIS_COMUNICACAO", "Correio Interno"},
        {"TAB_TAREFA", "Agenda de Tarefas"},
    };
    const QString tabela = m.captured(1);
    const QString nome = nomes.value(tabela.toUpper());
    return QStringLiteral("Este registro não pode ser excluído porque está sendo usado na tabela %1. "
                          "Exclua ou altere antes os registros dessa tabela que o utilizam.")
        .arg(nome.isEmpty() ? tabela : QStringLiteral("%1 (%2)").arg(nome, tabela));
}

void TfrmClassePrincipal::SalvaNavegacao() {
    DataSet* ds = dataSetAtual();
    if (!ds || !ds->editing()) return;
    resolvePendente(*ds);
}

void TfrmClassePrincipal::resolvePendente(DataSet& ds) {
    if (!ds.editing()) return;
    if (confirmaSair()) {
        MsgAnswer a = ask("Salvar alterações ?", MsgButtons::YesNoCancel, MsgAnswer::Yes);
        if (a == MsgAnswer::Cancel) throw SilentAbort();
        if (a == MsgAnswer::No) {
            // "Não" discards the change: nothing of it stays behind for a later save.
            ds.cancel();
            return;
        }
    }
    salvaDataSet(ds);
    TotalRegistros();
}

bool TfrmClassePrincipal::confirmaSair() const {
    TdmPadrao* dm = dmPadrao();
    if (!dm) return true;
    if (!dm->IBQ_Parametros.active()) dm->IBQ_Parametros.open();
    return dm->IBQ_Parametros.fieldByName("ST_CONFIRMA_SAIR")->asString() == "S";
}

void TfrmClassePrincipal::Navegacao() {
    DataSet* ds = dataSetAtual();
    for (QToolButton* b : {bttPrimeiro, bttAnterior, bttSeguinte, bttUltimo})
        b->setEnabled(true);
    if (!ds) return;
    if (ds->eof()) {
        bttSeguinte->setEnabled(false);
        bttUltimo->setEnabled(false);
    }
    if (ds->bof()) {
        bttPrimeiro->setEnabled(false);
        bttAnterior->setEnabled(false);
    }
}

#define MOVE_ACTION(fn, op)                                                                                  \
    void TfrmClassePrincipal::fn() {                                                                         \
        DataSet* ds = dataSetAtual();                                                                        \
        if (!ds) return;                                                                                     \
        SalvaNavegacao();                                                                                    \
        ds->op();                                                                                            \
        Navegacao();                                                                                         \
        TotalRegistros();                                                                                    \
    }
MOVE_ACTION(bttPrimeiroClick, first)
MOVE_ACTION(bttAnteriorClick, prior)
MOVE_ACTION(bttSeguinteClick, next)
MOVE_ACTION(bttUltimoClick, last)
#undef MOVE_ACTION

void TfrmClassePrincipal::bttAtualizaClick() {
    DataSet* ds = dataSetAtual();
    if (!ds) return;
    Query* q = comoQuery(ds);
    if (q) {
        if (UpdateSql* u = q->updateObject()) {
            // The stored refresh statements have an empty column list.
            const QString text = u->refreshSql.join('\n');
            const int from = sql::clausePos(text, "from");
            if (from >= 0) u->refreshSql = QStringList{"Select * " + text.mid(from)};
        }
        q->transaction()->ensureActive();
    }
    // A list left closed (its reopening failed, the server was away) opens again.
    if (ds->active())
        ds->refresh();
    else if (q)
        q->open();
    TotalRegistros();
}

void TfrmClassePrincipal::bttMostrarTodosClick() {
    DataSet* ds = dataSetAtual();
    Query* q = comoQuery(ds);
    if (!q) return;
    SalvaNavegacao();
    q->close();
    q->setSqlText(sql::showAllStatement(q->sqlText(), mywhere, myorderby));
    q->open();
    if (TfrmCadastroPadrao* tela = cadastroAtivo()) tela->MostrarTodos = "S";
    TotalRegistros();
}

void TfrmClassePrincipal::bttPesquisaClick() {
    if (!dataSetAtual() || !ferramentasLista.pesquisar) return;
    ferramentasLista.pesquisar();
    TotalRegistros();
}

void TfrmClassePrincipal::bttOrdenaClick() {
    if (!dataSetAtual() || !ferramentasLista.ordenar) return;
    ferramentasLista.ordenar();
    TotalRegistros();
}

void TfrmClassePrincipal::bttExcelClick() {
    if (!dataSetAtual() || !ferramentasLista.exportar) return;
    ferramentasLista.exportar();
}

void TfrmClassePrincipal::bttFichaClick() {
    TfrmCadastroPadrao* tela = qobject_cast<TfrmCadastroPadrao*>(telaAtiva());
    if (!tela || &tela->dsPadrao != dsAtual) return;
    DataSet* ds = dataSetAtual();
    QMdiSubWindow* sub = tela->subWindow();
    if (sFichaTabela == "T") {
        SalvaNavegacao();
        tela->tag = -2;
        tela->AtualizaConfiguracoesTela();
        if (sub) {
            sub->showNormal();
            sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        }
        tela->pc->setCurrentIndex(0);
        if (ds) ds->cancel();
        tela->tag = 0;
        tela->AtualizaConfiguracoesTela();
        if (sub) sub->show();
        for (QWidget* wdg : tela->pagFicha->findChildren<QWidget*>())
            if ((wdg->focusPolicy() & Qt::TabFocus) && wdg->isEnabled() && wdg->isVisibleTo(tela)) {
                wdg->setFocus();
                break;
            }
        bttIncluir->setEnabled(tela->incluir);
        bttExcluir->setEnabled(tela->excluir && ds && !ds->isEmpty());
        sFichaTabela = "F";
        atualizaBotaoFicha();
    } else {
        SalvaNavegacao();
        if (ds) ds->cancel();
        tela->tag = -1;
        tela->AtualizaConfiguracoesTela();
        if (sub)
            sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                                Qt::WindowCloseButtonHint);
        if (ds) ds->cancel();
        tela->pc->setCurrentIndex(1);
        tela->tag = 1;
        tela->AtualizaConfiguracoesTela();
        if (sub && !sub->isVisible()) sub->show();
        if (tela->DBGrid1 && tela->DBGrid1->isEnabled()) tela->DBGrid1->setFocus();
        bttIncluir->setEnabled(false);
        if (ds && ds->isEmpty()) bttExcluir->setEnabled(false);
        sFichaTabela = "T";
        atualizaBotaoFicha();
    }
    TotalRegistros();
}

void TfrmClassePrincipal::atualizaBotaoFicha() {
    if (sFichaTabela == "T") {
        bttFicha->setToolTip("Mostra os Dados no Formato de Ficha (F12)");
        bttFicha->setText("Ficha");
    } else {
        bttFicha->setToolTip("Mostra os Dados no Formato de Tabela (F12)");
        bttFicha->setText("Tabela");
    }
}

void TfrmClassePrincipal::bttFecharClick() {
    if (QMdiSubWindow* w = mdi->activeSubWindow()) w->close();
}

void TfrmClassePrincipal::TotalRegistros() {
    try {
        Query* q = comoQuery(dataSetAtual());
        if (!q) return;
        IBQ_Gen.close();
        // The clauses are found outside quoted text: a filter value may hold "order by".
        const QString contagem = sql::countStatement(q->sqlText(), "total");
        if (contagem.isEmpty()) return;
        if (sql::conditionAlwaysFalse(contagem)) {
            // A list opened empty on purpose holds no row: nothing to ask the server.
            setStatus(0, "Registros Encontrados: " + formataContagem(0));
            statusBar()->repaint();
            return;
        }
        IBQ_Gen.setSqlText(contagem);
        for (const QString& p : IBQ_Gen.paramNames())
            IBQ_Gen.setParam(p, q->param(p));
        IBQ_Gen.open();
        const qlonglong total = IBQ_Gen.fieldByName("total")->value().toLongLong();
        IBQ_Gen.close();
        setStatus(0, "Registros Encontrados: " + formataContagem(total));
        statusBar()->repaint();
    } catch (...) {
        // The record count never reports an error.
    }
}

QString formataContagem(qlonglong total) {
    // The pattern "000,000": at least six digits, grouped by thousands (pt_BR).
    const QString sep = QLocale(QLocale::Portuguese, QLocale::Brazil).groupSeparator();
    const QString digits = QString::number(total).rightJustified(6, '0');
    QString grouped;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += sep;
        grouped += digits[i];
    }
    return grouped;
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
