#pragma once
// The satisfaction survey shown when the program closes: four grades and a comment, written
// as a one-line file into the folder PESQUISA of the shared data folder for the maker to collect.
#include "data/Database.h"

#include <QDateTime>
#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The maker's own company: its answers are not written.
inline const QString kCNPJNexmoro = QStringLiteral("45817302000166");

// The shared data folder, ending with a separator: from the settings file of the maker's
// business program beside the executable (nexmorotalvena4.ini or nexmorotalvena.ini), else from
// this program's settings file, else the folder Dados beside the executable's folder. When the
// folder cannot be found the message is shown and solicitaFim runs; the folder may then be
// empty or missing.
QString RetornaPastaDados(const std::function<void()>& solicitaFim);
// NO_CNPJCPF of the parameter row 1; empty when there is none.
QString RetornaCNPJEmpresa(Database& db);
// CR LF becomes one blank; any other line feed is removed.
QString LimpaQuebrasLinha(const QString& texto);

// One answer.
struct RespostaPesquisa {
    QDateTime momento;
    QString cnpj, login, grupo, ip, executavel, comentario;
    int nota = 0;
    int aleatorio = 0; // 0..9998
};
// "PESQUISA/PQS_<cnpj>_<last part of the IP>_<0000>_<ddMMyyyyhhmmss>.txt" under the data folder.
QString NomeArquivoPesquisa(const QString& pastaDados, const RespostaPesquisa& r);
// "|date time|cnpj|login|group|ip|executable|grade|comment|" (comment already cleaned).
QString LinhaPesquisa(const RespostaPesquisa& r);

class TfrmPesquisaSatisfacaoNexmoro : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPesquisaSatisfacaoNexmoro(QWidget* parent = nullptr);

    int it_iIdUsuario = 0;
    QString it_sNomeUsuario;
    QString it_sNomeGrupoUsuario;
    QString it_sCNPJEmpresa;
    QString it_sIPComputador;
    int it_iOpcaoEscolhida = 0;
    QString it_sNomeArquivo;

    QLabel* lblTitulo = nullptr;
    QLabel* Image2 = nullptr;
    QPushButton* btnSair = nullptr;
    QPlainTextEdit* mmComentario = nullptr;
    QPushButton* btnGostei = nullptr;
    QPushButton* btnMaisOuMenos = nullptr;
    QPushButton* btnGosteiMuito = nullptr;
    QPushButton* btnNaoGostei = nullptr;

    // Opens the tutorial page of a window (the web-address unit installs it).
    std::function<void(const QString& nomeTela, int topico)> abreTutorial;
    // Requests the end of the application (when the data folder is missing).
    std::function<void()> solicitaFim;

    void FormShow();
    // A grade button: asks for a reason on grade 4 without comment, writes the answer (unless
    // the company is the maker's own) and closes; a failure to write keeps the window open.
    void notaClick(int nota);
    void btnSairClick();
    void Image2Click();
    void GravaPesquisa();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_mostrado = false;
};
