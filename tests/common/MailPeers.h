#pragma once
// Real mail peers on 127.0.0.1 for the tests (tests/support/mailpeers.py): SMTP with implicit
// TLS, SMTP with STARTTLS, both with AUTH LOGIN and a certificate from a test authority, and
// POP3. Any mailbox of the domain of `user` logs in with `password`; recipients starting with
// "recusado@" are refused. Each accepted message is left as mail-<n>.json in the folder.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

struct MailPeers {
    QTemporaryDir dir;
    QProcess process;
    int smtpPort = 0; // implicit TLS
    int pop3Port = 0;
    int startTlsPort = 0; // plain greeting, STARTTLS required
    QString ca, otherCa;
    QString error;

    explicit MailPeers(const QString& user = QStringLiteral("alerta@teste.local"),
                       const QString& password = QStringLiteral("segredo")) {
        const QString script = QStringLiteral(CTV_TESTS_DIR "/support/mailpeers.py");
        process.setProgram(QStringLiteral("/usr/bin/python3"));
        process.setArguments({script, dir.path(), user, password});
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start();
        if (!process.waitForStarted(5000)) {
            error = QStringLiteral("python3 não iniciou");
            return;
        }
        // The keys are made first: allow for a slow machine.
        while (!process.canReadLine() && process.state() == QProcess::Running)
            process.waitForReadyRead(30000);
        const QStringList ready = QString::fromUtf8(process.readLine()).trimmed().split(QLatin1Char(' '));
        if (ready.size() != 6 || ready[0] != QLatin1String("READY")) {
            error = QStringLiteral("os servidores de teste não iniciaram (python3-aiosmtpd instalado?): ") +
                    QString::fromUtf8(process.readAllStandardError());
            return;
        }
        smtpPort = ready[1].toInt();
        pop3Port = ready[2].toInt();
        ca = ready[3];
        otherCa = ready[4];
        startTlsPort = ready[5].toInt();
    }
    ~MailPeers() {
        process.closeWriteChannel();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(2000);
        }
    }
    QStringList mails() const {
        return QDir(dir.path()).entryList({QStringLiteral("mail-*.json")}, QDir::Files, QDir::Name);
    }
    void clearMails() const {
        for (const QString& f : mails())
            QFile::remove(QDir(dir.path()).filePath(f));
    }
    // The first message left since the last clearMails() (the peer numbers messages over the
    // whole run).
    QJsonObject firstMail() const {
        QFile f(QDir(dir.path()).filePath(mails().value(0)));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(f.readAll()).object();
    }
    QString text(const char* name) const {
        QFile f(QDir(dir.path()).filePath(QString::fromUtf8(name)));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll());
    }
};
