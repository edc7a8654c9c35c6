#include "screens/ScreenWindow.h"
#include "data/UnFuncoes.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"
#include "screens/UnPrincipal.h"
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSet>
#include <QShortcut>
#include <QTimer>

ScreenWindow::ScreenWindow(ScreenKind kind, const QString& name, QWidget* parent)
    : QWidget(parent), m_kind(kind) {
    setObjectName(name);
    instalaTeclas();
}

namespace {

// Notes, as each key arrives and before any control sees it, whether a popup was open. Qt lets a
// screen's keys match while the focus is in a popup of one of its controls (an open drop-down
// list, a calendar, a context menu), and a drop-down list may already have closed itself by the
// time the key reaches the screen. It only looks; every event goes on unchanged.
class PopupNaTecla : public QObject {
public:
    static PopupNaTecla& instancia() {
        static QPointer<PopupNaTecla> p;
        if (!p) {
            p = new PopupNaTecla(qApp);
            qApp->installEventFilter(p);
        }
        return *p;
    }
    bool popupAberto() const { return m_popupAberto; }

protected:
    // One key's ShortcutOverride travels from the focused control up to its window; a drop-down
    // list may close while it travels, so the key counts as the popup's when one was open at any
    // step. A key press or release ends the key.
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::ShortcutOverride) {
            const bool aberto = QApplication::activePopupWidget() != nullptr;
            m_popupAberto = e == m_evento ? m_popupAberto || aberto : aberto;
            m_evento = e;
        } else if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
            m_evento = nullptr;
        }
        return false;
    }

private:
    using QObject::QObject;
    const QEvent* m_evento = nullptr;
    bool m_popupAberto = false;
};

} // namespace

void ScreenWindow::instalaTeclas() {
    // The screen's keys work while the focus is on the screen or one of its controls: only the
    // active screen sees them, each press is one action, and a modal window in front (a
    // question, a search) keeps them from running underneath it. Esc never reaches a control.
    struct Tecla {
        int key;
        Qt::KeyboardModifiers mods;
    };
    static const Tecla teclas[] = {
        {Qt::Key_F2, Qt::NoModifier},     {Qt::Key_F3, Qt::NoModifier},    {Qt::Key_F4, Qt::NoModifier},
        {Qt::Key_F5, Qt::NoModifier},     {Qt::Key_F6, Qt::NoModifier},    {Qt::Key_F7, Qt::NoModifier},
        {Qt::Key_F8, Qt::NoModifier},     {Qt::Key_F9, Qt::NoModifier},    {Qt::Key_F12, Qt::NoModifier},
        {Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_Home, Qt::AltModifier}, {Qt::Key_Left, Qt::AltModifier},
        {Qt::Key_Right, Qt::AltModifier}, {Qt::Key_End, Qt::AltModifier},
    };
    PopupNaTecla::instancia();
    for (const Tecla& t : teclas) {
        auto* sc = new QShortcut(QKeySequence(QKeyCombination(t.mods, Qt::Key(t.key))), this);
        sc->setContext(Qt::WidgetWithChildrenShortcut);
        sc->setAutoRepeat(false);
        sc->setObjectName(
            QStringLiteral("tecla_%1").arg(QKeySequence(QKeyCombination(t.mods, Qt::Key(t.key))).toString()));
        const int key = t.key;
        const Qt::KeyboardModifiers mods = t.mods;
        connect(sc, &QShortcut::activated, this, [this, key, mods] {
            if (entregaAoPopup(key, mods)) return;
            guarded([&] { FormKeyUp(key, mods); });
        });
    }
}

// A key pressed while a popup was open belongs to the popup: it gets the key as if the screen
// had no such key (Esc closes the list only), and the screen does nothing.
bool ScreenWindow::entregaAoPopup(int key, Qt::KeyboardModifiers mods) {
    if (!PopupNaTecla::instancia().popupAberto()) return false;
    QWidget* popup = QApplication::activePopupWidget();
    if (!popup) return true; // the popup took the key already and closed
    QPointer<QWidget> alvo = popup->focusWidget() ? popup->focusWidget() : popup;
    // The key is sent again with the screen's keys switched off, so it reaches the popup itself.
    const QList<QShortcut*> teclas = findChildren<QShortcut*>(Qt::FindDirectChildrenOnly);
    for (QShortcut* sc : teclas)
        sc->setEnabled(false);
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(alvo, &press);
    if (alvo && alvo->isVisible()) {
        QKeyEvent release(QEvent::KeyRelease, key, mods);
        QApplication::sendEvent(alvo, &release);
    }
    for (QShortcut* sc : teclas)
        sc->setEnabled(true);
    return true;
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

namespace {
// A stored position that cannot be read: it says where it is and what it holds, and is not
// mistaken for a file that cannot be written.
class PosicaoInvalida : public AppError {
public:
    PosicaoInvalida(const QString& arquivo, const QString& secao, const QString& chave, const QString& valor)
        : AppError(
              QStringLiteral("A posição guardada para a tela no arquivo de configurações %1, seção [%2], "
                             "chave %3, não é válida: \"%4\" (esperados números inteiros separados "
                             "por vírgula). A tela abre na posição de projeto e a posição será "
                             "guardada de novo quando ela for fechada.")
                  .arg(QDir::toNativeSeparators(arquivo), secao, chave, valor)),
          m_chave(arquivo + '|' + secao + '|' + chave) {}
    const QString& chave() const { return m_chave; }

private:
    QString m_chave;
};
} // namespace

QString ScreenWindow::campoTexto(const QString& chave, const QString& value, int n) const {
    try {
        return RetornaCampo(value, n, ",").trimmed();
    } catch (const AppError&) {
        throw PosicaoInvalida(settingsFile(), objectName(), chave, value);
    }
}

int ScreenWindow::campo(const QString& chave, const QString& value, int n) const {
    const QString t = campoTexto(chave, value, n);
    bool ok = false;
    int v = t.toInt(&ok);
    if (!ok) throw PosicaoInvalida(settingsFile(), objectName(), chave, value);
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

namespace {
bool g_avisouPosicoes = false;
}

void ScreenWindow::posicaoMelhorEsforco(const std::function<void()>& f) {
    // Screen positions are a convenience: a settings file that cannot be read or written (the
    // program folder of an ordinary desktop user) never keeps a screen from opening or closing.
    // The user hears of it once per run.
    try {
        f();
    } catch (const PosicaoInvalida& e) {
        // Told once per value and run: the screen opens all the same, and its close writes a
        // good value over the bad one.
        static QSet<QString> avisadas;
        if (avisadas.contains(e.chave())) return;
        avisadas.insert(e.chave());
        warn(e.message());
    } catch (const AppError& e) {
        if (g_avisouPosicoes) return;
        g_avisouPosicoes = true;
        warn(QStringLiteral("As posições das telas não puderam ser guardadas (%1) e não serão lembradas "
                            "na próxima vez. As telas funcionam normalmente.")
                 .arg(e.message()));
    }
}

void ScreenWindow::gravaPosicao(int Pagina) {
    posicaoMelhorEsforco([&] { GravaCFG(Pagina); });
}

void ScreenWindow::lePosicao(int Pagina) {
    posicaoMelhorEsforco([&] { LeCFG(Pagina); });
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
    setWindowGeometry(QRect(campo("Ficha", v, 2), campo("Ficha", v, 1), w, h));
}
