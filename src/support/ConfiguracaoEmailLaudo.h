#pragma once
// The site's own mail account for sending the technical reports to the clients: the file
// "EmailLaudo.ini" beside the executable, written by the report mail settings window. Every
// key is optional; a missing one reads as its default. The password is taken only from a file
// that no one but its owner can read (mode 600), and the file is written so.
//
// [EmailLaudo]
// Servidor=smtp.laboratorio.com.br
// Porta=587
// Seguranca=STARTTLS                  STARTTLS, or TLS (implicit TLS, usually port 465)
// Usuario=laudos@laboratorio.com.br   the login on the server
// Remetente=laudos@laboratorio.com.br the sender address (the user when empty)
// NomeRemetente=Laboratório Exemplo   the sender's name
// Senha=
// CertificadoCA=                      PEM file of an extra trusted authority (private server)
// TempoLimite=30                      seconds for the whole send (at most 120)
#include "platform/MailTransport.h"
#include <QString>

// The longest wait for one send of a report, in seconds.
inline constexpr int kTempoLimiteEmailLaudoMaximo = 120;

struct ConfiguracaoEmailLaudo {
    QString servidor;
    int porta = 587;
    MailSecurity seguranca = MailSecurity::StartTls;
    QString usuario;
    QString remetente;
    QString nomeRemetente;
    QString senha;
    QString certificadoCA;
    int tempoLimite = 30;
    // Why a password present in the file was not used (the file can be read by others); empty
    // otherwise.
    QString avisoSenha;

    // The sender address: Remetente, or the user when it is empty.
    QString enderecoRemetente() const;
};

// <folder of the executable>/EmailLaudo.ini.
QString arquivoConfiguracaoEmailLaudo();
// Reads the file anew on every call.
ConfiguracaoEmailLaudo carregaConfiguracaoEmailLaudo();
// Writes every key; the file is made readable by its owner alone before the password goes in.
// Throws AppError when it cannot be written.
void gravaConfiguracaoEmailLaudo(const ConfiguracaoEmailLaudo& c);
// What is missing before a mail can go ("Informe o servidor de e-mail..."); empty when nothing.
QString faltaNaConfiguracaoEmailLaudo(const ConfiguracaoEmailLaudo& c);
MailServer servidorEmailLaudo(const ConfiguracaoEmailLaudo& c);

// A plain check of one address: ASCII, one "@", a name and a domain with a dot, no blanks, no
// characters that would break a mail header or command.
bool enderecoEmailValido(const QString& endereco);

// The Portuguese message of a failed send: what happened, then the server's own answer when it
// gave one.
QString MensagemFalhaEmailLaudo(const MailResult& r);

// Sends the message while a progress window with the title says that it is being sent; the
// windows keep painting, the wait is bounded by the server's time limit.
MailResult EnviaEmailComProgresso(const MailServer& servidor, const MailMessage& mensagem,
                                  const QString& titulo);
