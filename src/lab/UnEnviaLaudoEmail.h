#pragma once
// The mail of one technical report: the client's addresses as tick boxes (the client's own
// ticked), more addresses typed, the subject and the text (both editable), and the PDF's file
// name and size. "Enviar" checks what was chosen and sends through the report mail account
// with a progress window; a failure is told with the server's answer and the window stays
// open; a success closes it with what was sent (the opener records it).
#include "lab/EnvioLaudo.h"
#include "support/ConfiguracaoEmailLaudo.h"
#include <QDialog>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfrmEnviaLaudoEmail : public QDialog {
    Q_OBJECT
public:
    TfrmEnviaLaudoEmail(const ConfiguracaoEmailLaudo& configuracao,
                        const std::vector<DestinatarioLaudo>& destinatarios, const QString& assunto,
                        const QString& texto, const QString& nomeArquivo, const QByteArray& pdf,
                        QWidget* parent = nullptr);

    std::vector<QCheckBox*> chkDestinatarios;
    QLineEdit* edtOutros = nullptr;
    QLineEdit* edtAssunto = nullptr;
    QPlainTextEdit* memTexto = nullptr;
    QLabel* lblAnexo = nullptr;
    QPushButton *btnEnviar = nullptr, *btnCancelar = nullptr;

    // The addresses chosen: the ticked boxes, then the typed ones, each once.
    QStringList enderecosEscolhidos() const;
    void btnEnviarClick();

    // After a successful send: to whom, with which subject, at what moment.
    QStringList enviados;
    QString assuntoEnviado;
    QDateTime momento;

private:
    ConfiguracaoEmailLaudo m_configuracao;
    std::vector<DestinatarioLaudo> m_destinatarios;
    QString m_nomeArquivo;
    QByteArray m_pdf;
};
