#include "screens/ScreenWindow.h"
#include "data/UnFuncoes.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"
#include "screens/UnPrincipal.h"
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

ScreenWindow::ScreenWindow(ScreenKind kind, const QString& name, QWidget* parent)
    : QWidget(parent), m_kind(kind) {
    setObjectName(name);
    qApp->installEventFilter(this);
}

ScreenWindow::~ScreenWindow() = default;

QMdiSubWindow* ScreenWindow::subWindow() const {
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

TfrmClassePrincipal* ScreenWindow::principal() const {
    return frmPrincipal();
}

QRect ScreenWindow::windowGeometry() const {
    if (QMdiSubWindow* s = subWindow()) return s->geometry();
    return geometry();
}

void ScreenWindow::setWindowGeometry(const QRect& r) {
    if (QMdiSubWindow* s = subWindow())
        s->setGeometry(r);
    else
        setGeometry(r);
}

bool ScreenWindow::verificaAcesso() {
    PermissaoAcesso = principal()->VerificaPermissoes(objectName(), windowTitle());
    if (!PermissaoAcesso) fecha();
    return PermissaoAcesso;
}

bool ScreenWindow::fechaSemAcesso() {
    if (PermissaoAcesso) return false;
    TfrmClassePrincipal* p = principal();
    if (!p->outraTelaAberta(this, true)) p->gbpainelcontrole->show();
    return true;
}

void ScreenWindow::liberaPrincipal(bool incluiPadrao) {
    TfrmClassePrincipal* p = principal();
    if (p->outraTelaAberta(this, incluiPadrao)) return;
    p->mostraBotoesRegistro(false);
    p->gbpainelcontrole->show();
}

void ScreenWindow::fecha() {
    QPointer<ScreenWindow> self(this);
    QTimer::singleShot(0, this, [self] {
        if (!self) return;
        if (QMdiSubWindow* s = self->subWindow())
            s->close();
        else
            self->close();
    });
}

void ScreenWindow::focaPrimeiroControle() {
    QWidget* f = QApplication::focusWidget();
    if (f && (f == this || isAncestorOf(f))) return;
    for (QWidget* w : findChildren<QWidget*>()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(this)) {
            w->setFocus(Qt::ActiveWindowFocusReason);
            return;
        }
    }
    setFocus(Qt::ActiveWindowFocusReason);
}

void ScreenWindow::captureDesignSize() {
    if (w > 0) return;
    QRect g = windowGeometry();
    w = g.width();
    h = g.height();
}

void ScreenWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    captureDesignSize();
    guarded([this] { FormShow(); });
    if (m_activatePending) {
        m_activatePending = false;
        if (PermissaoAcesso) guarded([this] { FormActivate(); });
    }
    if (PermissaoAcesso) focaPrimeiroControle();
}

void ScreenWindow::closeEvent(QCloseEvent* e) {
    bool ok = false;
    guarded([&] { ok = FormClose(); });
    if (ok)
        e->accept();
    else
        e->ignore();
}

void ScreenWindow::FormKeyUp(int key, Qt::KeyboardModifiers mods) {
    if (TfrmClassePrincipal* p = principal()) p->teclaTela(this, key, mods);
}

QString ScreenWindow::settingsFile() const {
    return programSettingsPath(osFacts().executablePath());
}

int ScreenWindow::campo(const QString& value, int n) {
    const QString t = RetornaCampo(value, n, ",").trimmed();
    bool ok = false;
    int v = t.toInt(&ok);
    if (!ok) throw AppError(QString("'%1' não é um valor inteiro válido").arg(t));
    return v;
}

QString ScreenWindow::geometria(bool comEstado) const {
    const QRect g = windowGeometry();
    QString geo = QString("%1,%2,%3,%4").arg(g.top()).arg(g.left()).arg(g.height()).arg(g.width());
    if (comEstado) {
        QMdiSubWindow* s = subWindow();
        const int state = s && s->isMaximized() ? 2 : s && s->isMinimized() ? 1 : 0;
        geo += "," + QString::number(state);
    }
    return geo;
}

void ScreenWindow::GravaCFG(int Pagina) {
    IniFile ini(settingsFile());
    ini.writeString(objectName(), "FichaTabela", "0");
    ini.writeString(objectName(), Pagina == 0 ? "Ficha" : "Tabela", geometria(Pagina != 0));
}

void ScreenWindow::garanteSecao(IniFile& ini) {
    // A missing file or section is written from the window's current geometry first.
    if (!ini.exists()) {
        ini.createEmpty();
        GravaCFG(0);
        GravaCFG(1);
    }
    FichaTabela = ini.readString(objectName(), "FichaTabela", "-1");
    if (FichaTabela == "-1") {
        GravaCFG(0);
        GravaCFG(1);
        FichaTabela = ini.readString(objectName(), "FichaTabela", "-1");
    }
}

void ScreenWindow::LeCFG(int) {
    // Standard screens: the position of the record-form view, always at the design size.
    IniFile ini(settingsFile());
    garanteSecao(ini);
    const QString v = ini.readString(objectName(), "Ficha", "");
    setWindowGeometry(QRect(campo(v, 2), campo(v, 1), w, h));
}

// Key preview: the screen sees its controls' keys first.
bool ScreenWindow::eventFilter(QObject* obj, QEvent* e) {
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease) return QWidget::eventFilter(obj, e);
    auto* wdg = qobject_cast<QWidget*>(obj);
    if (!wdg || (wdg != this && !isAncestorOf(wdg))) return QWidget::eventFilter(obj, e);
    // The event travels up the parents; handle it once, at its first receiver.
    if (QApplication::focusWidget() && wdg != QApplication::focusWidget())
        return QWidget::eventFilter(obj, e);
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->isAutoRepeat()) return false;
    if (e->type() == QEvent::KeyPress) {
        // Esc never reaches the controls.
        return k->key() == Qt::Key_Escape;
    }
    const int key = k->key();
    const Qt::KeyboardModifiers mods = k->modifiers();
    guarded([&] { FormKeyUp(key, mods); });
    return key == Qt::Key_Escape;
}
