#pragma once
// Mail over SMTP with the LOGIN mechanism, on implicit TLS (the maker's support, by default) or
// on a plain connection turned to TLS by STARTTLS (a site's own server); a POP3 login on the
// same server; messages with attachments. Production code reaches them only through
// mailTransport(); tests install a ScriptedMailTransport, or use the real one against peers on
// 127.0.0.1.
#include "platform/Seam.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

enum class MailSecurity {
    ImplicitTls, // TLS from the first byte (smtps, port 465)
    StartTls     // plain greeting, then STARTTLS before anything else is said (port 587)
};

struct MailServer {
    QString host;
    int smtpPort = 465;
    MailSecurity security = MailSecurity::ImplicitTls;
    int pop3Port = 110;
    QString user; // also the mailbox address
    QString password;
    // A PEM file with an extra trusted certificate authority (a private mail server); the
    // system's trusted roots are always used as well.
    QString caFile;
    // The whole exchange, connection included, ends after this time.
    int timeoutSeconds = 5;
};

struct MailAttachment {
    QString fileName;
    QByteArray contentType = "application/octet-stream";
    QByteArray data;
};

struct MailMessage {
    QString fromAddress;
    QString fromName;
    QString to;
    QStringList moreTo; // further recipients, named in the To header after the first
    QString subject;
    QStringList bodyLines; // each line is sent followed by CR LF
    std::vector<MailAttachment> attachments;
    // Every recipient, the first one first, without blanks around them and without empty ones.
    QStringList recipients() const;
};

enum class MailFailure { None, Connect, Certificate, Authentication, Refused, Timeout, Other };

struct MailResult {
    MailFailure failure = MailFailure::None;
    QString detail; // the transport's own words, for the technical line
    // The server's last answer before the failure ("535 5.7.8 Authentication failed"); empty
    // when it said nothing (or the failure came before it could).
    QString serverReply;
    bool ok() const { return failure == MailFailure::None; }
};

class MailTransport {
public:
    virtual ~MailTransport() = default;
    // Opens the SMTP connection (TLS with the server's certificate verified, the greeting and
    // the hello) without logging in, and closes it again.
    virtual MailResult connectSmtp(const MailServer& server) = 0;
    // Logs in to the POP3 server with user and password (no TLS), then leaves.
    virtual MailResult loginPop3(const MailServer& server) = 0;
    // One SMTP session: TLS (implicit or by STARTTLS), LOGIN authentication, the message to
    // every recipient (a recipient the server refuses refuses the whole message), quit.
    virtual MailResult sendSmtp(const MailServer& server, const MailMessage& message) = 0;
};

// libcurl. Under test it refuses any host other than the loopback addresses.
class CurlMailTransport : public MailTransport {
public:
    MailResult connectSmtp(const MailServer& server) override;
    MailResult loginPop3(const MailServer& server) override;
    MailResult sendSmtp(const MailServer& server, const MailMessage& message) override;
};

MailTransport& mailTransport();
// Installs an implementation (nullptr restores the default) and returns the previous one.
MailTransport* installMailTransport(MailTransport* transport);
using ScopedMailTransport = ScopedSeam<MailTransport, &installMailTransport>;

// The message as sent: headers (Date, From, To, Subject, MIME), a UTF-8 quoted-printable body,
// CR LF line ends. With attachments, a multipart/mixed message: the text first, then each
// attachment in base64 with its file name (RFC 2231 for names outside ASCII).
QByteArray composeMail(const MailMessage& message, const QDateTime& date);
// Runs one exchange with a mail server on a thread of its own while the windows keep painting
// (no click or key reaches them meanwhile); its time is bounded by the transport's limit.
MailResult runWithoutFreezing(const std::function<MailResult()>& exchange);
// "Falha de conexão", "Certificado não confiável"... for the one-line report of a failure.
QString describeMailFailure(const MailResult& result);
// True for 127.0.0.0/8, ::1 and "localhost".
bool isLoopbackHost(const QString& host);

// Test double: answers from scripted results (ok when none is scripted) and records calls.
class ScriptedMailTransport : public MailTransport {
public:
    MailResult connectResult, pop3Result, sendResult;
    std::vector<QString> calls; // "smtp-connect", "pop3", "smtp-send"
    std::vector<MailMessage> sent;

    MailResult connectSmtp(const MailServer&) override {
        calls.push_back(QStringLiteral("smtp-connect"));
        return connectResult;
    }
    MailResult loginPop3(const MailServer&) override {
        calls.push_back(QStringLiteral("pop3"));
        return pop3Result;
    }
    MailResult sendSmtp(const MailServer&, const MailMessage& message) override {
        calls.push_back(QStringLiteral("smtp-send"));
        if (sendResult.ok()) sent.push_back(message);
        return sendResult;
    }
};
