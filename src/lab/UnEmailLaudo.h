#pragma once
// The mail account that sends the technical reports to the clients (the settings file of
// support/ConfiguracaoEmailLaudo.h): server, port, security, user, password and sender, with a
// button that sends a test mail to the sender with the values shown. Opened modally from
// "Configurações do Cortivandela".
#include "support/ConfiguracaoEmailLaudo.h"
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TfrmEmailLaudo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEmailLaudo(QWidget* parent = nullptr);

    QLineEdit *edtServidor = nullptr, *edtUsuario = nullptr, *edtSenha = nullptr, *edtRemetente = nullptr,
              *edtNomeRemetente = nullptr;
    QSpinBox* edtPorta = nullptr;
    QComboBox* cbSeguranca = nullptr; // 0 STARTTLS, 1 implicit TLS
    QLabel* lblArquivo = nullptr;
    QPushButton *btnTestar = nullptr, *btnSalvar = nullptr, *btnCancelar = nullptr;

    // The values shown, as settings (the time limit and authority kept from the file).
    ConfiguracaoEmailLaudo configuracaoDaTela() const;
    void btnTestarClick();
    void btnSalvarClick();

private:
    void cbSegurancaChange(int indice);
    ConfiguracaoEmailLaudo m_lida;
};
