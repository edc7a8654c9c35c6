#pragma once
// The maker's addresses and the support mail account, as settings of the site: the file
// "Suporte.ini" beside the executable. Every key is optional; a missing one reads as its
// default. The mail password is taken only from a file that no one but its owner can read.
//
// [Suporte]
// ServidorEmail=mail.nexmoro.com.br    mail server (SMTP with implicit TLS, and POP3)
// PortaSMTP=465
// PortaPOP3=110
// EmailAlerta=alerta@nexmoro.com.br    the system-alert mailbox: sender, recipient and user name
// SenhaEmail=                          its password
// CertificadoCA=                       PEM file of an extra trusted authority (private server)
// TempoLimiteEmail=5                   seconds for each mail exchange (at most 10)
// EmailSuporte=suporte@nexmoro.com.br
// EmailInformacoes=contato@nexmoro.com.br
// [Web]
// ServidorArquivos=arquivos.nexmoro.com.br
// Site=www.nexmoro.com.br
// SiteTutoriais=tutoriais.nexmoro.com.br
// TempoLimite=5                        seconds for each address test
#include <QString>

// The longest wait for one exchange with the mail server, in seconds.
inline constexpr int kTempoLimiteEmailMaximo = 10;

struct ConfiguracaoSuporte {
    QString servidorEmail = QStringLiteral("mail.nexmoro.com.br");
    int portaSmtp = 465;
    int portaPop3 = 110;
    QString emailAlerta = QStringLiteral("alerta@nexmoro.com.br");
    QString senhaEmail;
    QString certificadoCA;
    int tempoLimiteEmail = 5;
    QString emailSuporte = QStringLiteral("suporte@nexmoro.com.br");
    QString emailInformacoes = QStringLiteral("contato@nexmoro.com.br");

    QString servidorArquivos = QStringLiteral("arquivos.nexmoro.com.br");
    QString site = QStringLiteral("www.nexmoro.com.br");
    QString siteTutoriais = QStringLiteral("tutoriais.nexmoro.com.br");
    int tempoLimiteWeb = 5;

    // Why a password present in the file was not used (the file can be read by others); empty
    // otherwise.
    QString avisoSenha;
};

// <folder of the executable>/Suporte.ini.
QString arquivoConfiguracaoSuporte();
// Reads the file anew on every call (another tool may change it while the program runs).
ConfiguracaoSuporte carregaConfiguracaoSuporte();
// True when only the owner may read or write the file.
bool somenteDonoLe(const QString& arquivo);
