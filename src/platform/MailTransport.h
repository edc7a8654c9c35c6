#pragma once
// Mail to the maker's support: an SMTP session with implicit TLS and the LOGIN mechanism, and
// a POP3 login on the same server. Production code reaches them only through mailTransport();
// tests install a ScriptedMailTransport, or use the real one against peers on 127.0.0.1.
#include "platform/Seam.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

struct MailServer {
    QString host;
    int smtpPort = 465;
    int pop3Port = 110;
    QString user; // also the mailbox address
    QString password;
    // A PEM file with an extra trusted certificate authority (a private mail server); the
    // system's trusted roots are always used as well.
    QString caFile;
    int timeoutSeconds = 5;
};

struct MailMessage {
    QString fromAddress;
    QString fromName;
    QString to;
    QString subject;
    QStringList bodyLines; // each line is sent followed by CR LF
};

enum class MailFailure { None, Connect, Certificate, Authentication, Refused, Timeout, Other };

struct MailResult {
    MailFailure failure = MailFailure::None;
    QString detail; // the transport's own words, for the technical line
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
    // One SMTP session: TLS, LOGIN authentication, the message, quit.
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
// CR LF line ends.
QByteArray composeMail(const MailMessage& message, const QDateTime& date);
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
