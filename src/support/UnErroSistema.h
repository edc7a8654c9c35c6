#pragma once
// The error report: every error not handled where it happens is explained in Portuguese by
// matching the database's text against a table of rules, logged in the shared data folder,
// captured with the screen, mailed to the maker's support when no rule explains it, and shown.
#include "screens/MensagensBanco.h"
#include <QDialog>
#include <QStringList>
#include <exception>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TfrmClassePrincipal;
class TfrmErroSistema;

// The standard instruction of reports that end in a restart.
extern const QString kInstrucaoReiniciar;
// The problem text of every report that no rule explained.
extern const QString kProblemaNaoTratado;
// The first instruction of every report.
extern const QString kInstrucaoInicial;
// The problem text of a report about a lost connection with the database server.
extern const QString kConexaoPerdida;

// "JPEG error #41" and "Dataset open" (exactly): nothing is shown or recorded.
bool ErroIgnorado(const QString& mensagem);

// What the rules made of a message.
struct ResultadoRegras {
    QString problema;          // mmErro
    QString solucao;           // mmSolucao
    bool explicado = false;    // no e-mail
    bool reiniciar = false;    // the program must be restarted
    bool mostrarTodos = false; // reload the active screen (foreign key rule)
    QStringList regras;        // the rules that matched, in order ("1", "3a", "3b", ... "13")
    QStringList falhas;        // look-ups that failed (one line each)
};

// The values of one column in the rows a statement returns; throws on a database error.
using ConsultaBanco = std::function<QStringList(const QString& sql, const QString& coluna)>;

// Applies the rule table to the message. Each rule tests the text left by the rules before it.
// The index look-ups of the duplicate-value rules go through consulta; their failures are
// recorded in falhas and leave the rule without effect.
ResultadoRegras AplicaRegrasErro(const QString& mensagem, const ConsultaBanco& consulta);

// What a report needs from the running program.
struct AmbienteErro {
    TfrmClassePrincipal* principal = nullptr; // main window: connection, IBQ_Gen, jpggerado, screens
    std::function<QString()> versao;          // the database's version name
    std::function<QString()> versaoBD;        // the database's script level
    // Ends this program cleanly (after a restart-flagged report); by default the main window's
    // end request.
    std::function<void()> encerraPrograma;
    // Writes the logoff of this session (before a restart-flagged report drops the connection).
    std::function<void()> gravaLogoff;
};

class TfrmErroSistema : public QDialog {
    Q_OBJECT
public:
    explicit TfrmErroSistema(AmbienteErro ambiente, QWidget* parent = nullptr);
    ~TfrmErroSistema() override;

    QLabel* lblAtencao = nullptr;
    QTabWidget* pgcErro = nullptr;
    QPlainTextEdit* mmErro = nullptr;
    QPlainTextEdit* mmSolucao = nullptr;
    QLabel* lblCodigoErro = nullptr;
    QPlainTextEdit* memDetalhesTecnicos = nullptr;
    // Problems met while the report was prepared (mail, log, database), one line each.
    QLabel* lblFalhasPreparacao = nullptr;
    QPushButton* BitBtn3 = nullptr;

    QString errooriginal;
    // The error is a value or entry the program refused (a slip of the user): explained by its
    // own text when no rule explains it, never mailed.
    bool recusaDoUsuario = false;
    bool it_bEncerrarSistemaAutomaticamente = false;
    // The lines this report adds to the log (kept until they are written).
    QStringList it_LogImportacao;

    // Preparation (runs before the window is shown): rules, log line, e-mail.
    void FormShow();
    void BitBtn3Click();

    // Results of the preparation, for the caller and for tests.
    ResultadoRegras resultado;
    bool emailEnviado = false;
    QStringList falhas;
    QString arquivoLog() const;
    // Adds a line about a problem met while preparing the report and shows it in the window.
    void anotaFalha(const QString& linha);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void FormClose();
    void encerraSessao();
    void gravaLog();
    void enviaEmail();
    QString nomeUsuario();
    QString nomeEmpresa();

    AmbienteErro m_ambiente;
    bool m_fechado = false;
    bool m_emailTentado = false;
    QString m_motivoEmail; // why the mail did not go, for the instruction
};

// The hook body: ignores the two harmless texts, captures the screen, prepares the report and
// shows it (exibeModal), deletes the capture afterwards. recusaDoUsuario: the error is a value
// the program refused (ValidationError).
void ErroSistema(AmbienteErro& ambiente, const QString& mensagem, bool recusaDoUsuario = false);
// Writes the capture of the whole primary screen as "erro.bmp" in the program folder and as
// "nexmoroTalvena" + ddMMyyyyhhmmss + ".jpg" (quality 100) beside it, both readable by the
// owner only (they may show clients' data); returns the JPEG's path (empty when it could not be
// written). "erro.bmp" is removed once the report has been mailed.
QString CapturaTela();
// The capture "erro.bmp" of an earlier report that could not be mailed: removed at the start.
void RemoveCapturaAnterior();
// The instruction of a report that ends in a restart, as the mail went: sent, not sent (with
// the reason), or not tried (a report explained by its rule).
QString InstrucaoReiniciar(bool enviado, bool tentado, const QString& motivo = QString());
// Makes ErroSistema the application's error hook for as long as the main window lives, and
// lists the main window's screens for the open-windows helper.
void InstalaErroSistema(TfrmClassePrincipal& principal, std::function<QString()> versao,
                        std::function<QString()> versaoBD, std::function<void()> gravaLogoff = {});
