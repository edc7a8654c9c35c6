#pragma once
// What the three screen bases share: the child window in the main frame, the access check
// result, the design size, the saved position in the settings file and the keyboard.
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>

class IniFile;
class QMdiSubWindow;
class TfrmClassePrincipal;

enum class ScreenKind { Record, Standard, Report };

class ScreenWindow : public QWidget {
    Q_OBJECT
public:
    ScreenWindow(ScreenKind kind, const QString& name, QWidget* parent = nullptr);
    ~ScreenWindow() override;

    ScreenKind screenKind() const { return m_kind; }
    QMdiSubWindow* subWindow() const;
    TfrmClassePrincipal* principal() const;

    // Design size (captured before the first show) and the access result.
    int w = 0, h = 0;
    bool PermissaoAcesso = true;
    QString FichaTabela;

    // Settings file (one section per screen): the record-form view "Ficha" and the grid view
    // "Tabela" of record screens.
    virtual void GravaCFG(int Pagina);
    virtual void LeCFG(int Pagina);
    // GravaCFG and LeCFG as the screens call them: a failure never stops the screen; it is
    // told once per run.
    void gravaPosicao(int Pagina);
    void lePosicao(int Pagina);
    static void posicaoMelhorEsforco(const std::function<void()>& f);

    virtual void FormShow() {}
    virtual void FormActivate() {}
    // Returns false to keep the window open.
    virtual bool FormClose() { return true; }
    virtual void FormKeyUp(int key, Qt::KeyboardModifiers mods);

    // Outer geometry of the child window inside the main window's client area.
    QRect windowGeometry() const;
    void setWindowGeometry(const QRect& r);
    // Access check at show: when refused the window closes itself; returns the result.
    bool verificaAcesso();
    // Closing of a refused screen: shows the control panel when nothing else is open. True
    // when the screen was refused (the close then goes no further).
    bool fechaSemAcesso();
    // After the last record, report (or, with incluiPadrao, standard) screen closes, the
    // record toolbar goes away and the control panel comes back.
    void liberaPrincipal(bool incluiPadrao);
    // Asks the window to close itself (after the current event).
    void fecha();
    // The frame activates a child as soon as it appears; the activation runs after the show.
    bool mostrada() const { return m_shown; }
    void ativaDepoisDeMostrar() { m_activatePending = true; }
    // The active screen owns the keyboard: the focus goes to its first control when it is elsewhere.
    void focaPrimeiroControle();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void captureDesignSize();
    QString settingsFile() const;
    // "top,left,height,width" of the child window, with ",state" (0 normal, 1 minimized, 2 maximized).
    QString geometria(bool comEstado) const;
    void garanteSecao(IniFile& ini);
    // Field n of the value of `chave` ("top,left,height,width..."), read back by position; a
    // value that does not hold it, or not as a whole number, is refused with a message naming
    // the file, the section, the key and the value.
    int campo(const QString& chave, const QString& value, int n) const;
    QString campoTexto(const QString& chave, const QString& value, int n) const;

private:
    void instalaTeclas();
    bool entregaAoPopup(int key, Qt::KeyboardModifiers mods);
    ScreenKind m_kind;
    bool m_shown = false;
    bool m_activatePending = false;
};
