#pragma once
// The login window: finds and proves the database at start-up, then identifies the user,
// lets the user change the password and records the login. It stays alive (hidden) for the
// whole run after a successful login.
#include "data/DataContext.h"
#include "data/Database.h"
#include "data/Query.h"

#include <QDialog>
#include <functional>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

// The application's name as the login log and the window caption carry it.
inline const QString kNomeAplicativo = QStringLiteral("Nexmoro Cortivandela");

class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr);
    ~TfrmSplash() override;

    // The whole start of the process up to a successful login: shows the window modally,
    // runs the start steps and waits for the login. True when the user logged in (the session
    // record is filled); false when the end of the application was requested. Errors of the
    // start steps go to the error hook and end the start. The window is hidden afterwards
    // and must stay alive: it holds the session record.
    bool execStart();

    // Start steps, in the order FormShow runs them.
    void FormShow();
    void ProcuraLocalIniServidor();
    void ConectaBanco();
    void PreparaCamposLogin();
    void MostraVersao();

    // Login and password change. The handlers throw SilentAbort after a refused attempt;
    // the buttons run them through guarded().
    void bttEntrarClick();
    void btnAlterarSenhaClick();
    void btnCancelarClick();
    void mskConfirmaSenhaExit();
    void bttSairClick();
    // Enter (13) logs in, Esc (27) leaves.
    void FormKeyPress(int key);
    // True when the key is swallowed (Alt+F4).
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

    // Requests the end of the application: sets endRequested() and runs requestEnd.
    void SolicitaFimAplicacao();
    bool endRequested() const { return m_endRequested; }
    // What requesting the end does; by default it posts the end of the event loop and closes
    // this window at the next message. Tests replace it.
    std::function<void()> requestEnd;
    // Shows the settings locator modally; tests replace it.
    std::function<void()> mostraLocalizador;

    // Steps of the self-update that run inside the start; empty until installed.
    struct UpdateSteps {
        std::function<void()> completion;       // notice of an update finished by the batch file
        std::function<void()> newVersion;       // update by copying a newer executable
        std::function<void()> preparePaths;     // update paths; a failure fails the test connection
        std::function<void(Database&)> updater; // update through the updater program
    } updateSteps;

    // The database marker file beside a connection settings file: its path without the last
    // four characters + ".GDB", else + ".FDB"; empty when neither exists.
    static QString arquivoMarcador(const QString& arquivoIni);
    // servidor + ":" + path + name, or path + name without a server.
    static QString stringConexao(const QString& servidor, const QString& path, const QString& name);

    bool logado() const { return m_logado; }
    TSessaoUsuario& sessao() const { return sessaoUsuario(); }
    QString statusText() const;

    // Connection state.
    QString servidor, path, name;
    QString sCaminhoBanco;
    QString localiniservidor;
    // Login state of this window.
    int tentativa = 0;
    bool AlterarSenha = false;

    // The test connection and its queries.
    Database IBD_Teste;
    Transaction IBT_Teste;
    Query IBQ_EXISTE_USUARIO;
    Query IBQ_Login;
    Query IBQ_AlteraSenha;

    // Controls.
    QLabel* imgLogo = nullptr;
    QLabel* lblVersao = nullptr;
    QLabel* lblUsuario = nullptr;
    QLineEdit* meUsuario = nullptr;
    QLabel* lblSenha = nullptr;
    QLineEdit* meSenha = nullptr;
    QPushButton* bttEntrar = nullptr;
    QPushButton* btnAlterarSenha = nullptr;
    QPushButton* btnCancelar = nullptr;
    QPushButton* bttSair = nullptr;
    QFrame* linSeparador = nullptr;
    QLabel* lblNovaSenha = nullptr;
    QLineEdit* mskNovaSenha = nullptr;
    QLabel* lblConfirmaSenha = nullptr;
    QLineEdit* mskConfirmaSenha = nullptr;
    QStatusBar* stbStatus = nullptr;
    QLabel* pnlStatus = nullptr;

    static constexpr int kAlturaNormal = 405;
    static constexpr int kAlturaAlterarSenha = 470;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void setStatus(const QString& text);
    void setStatusBold(bool bold);
    void showLoginFields(bool show);
    void setWindowHeight(int height);
    void ensureConnected();
    void reopenExisteUsuario();
    // Checks of login name and password; fills grupo and codigo of the row found.
    void VerificaUsuarioSenha(int& grupo, int& codigo);
    [[noreturn]] void tentativaFalhou(const QString& message, QLineEdit* focus, bool clearSenha = false);
    [[noreturn]] void recusa(const QString& message, QLineEdit* focus);
    void connectionFailed(const QString& message);

    bool m_endRequested = false;
    bool m_logado = false;
    bool m_closing = false; // set when the window itself closes (login, end of the application)
};
