// The automatic e-mail against real protocol peers on 127.0.0.1 (tests/common/MailPeers.h): an
// SMTP server with implicit TLS and AUTH LOGIN whose certificate comes from a test authority,
// and a POP3 server, started and stopped here.
#include "MailPeers.h"
#include "SupportFixture.h"

#include <QJsonArray>

namespace {

using Peers = ::MailPeers;
Peers* g_peers = nullptr;

class MailPeersTest : public SupportSite {
protected:
    static void SetUpTestSuite() { g_peers = new Peers; }
    static void TearDownTestSuite() {
        delete g_peers;
        g_peers = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(g_peers->error.isEmpty()) << g_peers->error.toStdString();
        SupportSite::SetUp();
        g_peers->clearMails();
    }
    MailServer server(const QString& password = "segredo", bool trusted = true) const {
        MailServer s;
        s.host = "127.0.0.1";
        s.smtpPort = g_peers->smtpPort;
        s.pop3Port = g_peers->pop3Port;
        s.user = "alerta@teste.local";
        s.password = password;
        s.caFile = trusted ? g_peers->ca : QString();
        s.timeoutSeconds = 10;
        return s;
    }
    void useRealPeers(const QString& password = "segredo", const QString& caFile = g_peers->ca,
                      const QString& mailbox = "alerta@teste.local") {
        QFile f(supportSettings());
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(QString("[Suporte]\r\nServidorEmail=127.0.0.1\r\nPortaSMTP=%1\r\nPortaPOP3=%2\r\n"
                        "EmailAlerta=%3\r\nSenhaEmail=%4\r\nCertificadoCA=%5\r\nTempoLimiteEmail=10\r\n")
                    .arg(g_peers->smtpPort)
                    .arg(g_peers->pop3Port)
                    .arg(mailbox, password, caFile)
                    .toUtf8());
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    CurlMailTransport curl;
    ScopedMailTransport useCurl{curl};
};

TEST_F(MailPeersTest, TheMessageArrivesOverImplicitTlsWithTheLoginMechanism) {
    EXPECT_TRUE(curl.connectSmtp(server()).ok());
    const MailResult pop3 = curl.loginPop3(server());
    EXPECT_TRUE(pop3.ok()) << pop3.detail.toStdString();
    MailMessage m;
    m.fromAddress = m.fromName = m.to = "alerta@teste.local";
    m.subject = "Avisos do Sistema - CTV - vVersao Inicial - Laboratório Ação & Cia"_q;
    const QString longa = QString("Detalhe técnico ").repeated(12).trimmed();
    m.bodyLines = {"Empresa: Laboratório"_q, " ", "=linha com igual", "", ".", longa};
    const MailResult sent = curl.sendSmtp(server(), m);
    ASSERT_TRUE(sent.ok()) << sent.detail.toStdString();
    ASSERT_EQ(g_peers->mails().size(), 1);
    const QJsonObject got = g_peers->firstMail();
    EXPECT_EQ(got["subject"].toString(), m.subject);
    EXPECT_EQ(got["from"].toString(), "alerta@teste.local");
    EXPECT_EQ(got["to"].toArray().first().toString(), "alerta@teste.local");
    EXPECT_TRUE(got["header_from"].toString().endsWith("<alerta@teste.local>"))
        << got["header_from"].toString().toStdString();
    QStringList lines;
    for (const auto& v : got["body_lines"].toArray())
        lines << v.toString();
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    EXPECT_EQ(lines, m.bodyLines);
    EXPECT_TRUE(g_peers->text("smtp-auth.log").contains("LOGIN"));
    EXPECT_TRUE(g_peers->text("pop3.log").contains("login alerta@teste.local"));
}

TEST_F(MailPeersTest, AnAttachmentGoesOverStartTlsToEveryRecipientAndARefusalKeepsTheServersAnswer) {
    MailServer s = server();
    s.smtpPort = g_peers->startTlsPort;
    s.security = MailSecurity::StartTls;
    MailMessage m;
    m.fromAddress = "laudos@teste.local";
    m.fromName = "Laboratório Ação"_q;
    m.to = "cliente@teste.local";
    m.moreTo = {" contato@teste.local ", ""};
    m.subject = "Laudo Técnico de Análises Químicas - LATICÍNIOS BOA VISTA - Coleta 01/02/2024"_q;
    m.bodyLines = {"Segue o laudo em anexo."};
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i)
        bytes += char(i * 7 % 256);
    m.attachments.push_back({"Laudo Técnico 7 - Ação.pdf"_q, "application/pdf", bytes});
    const MailResult sent = curl.sendSmtp(s, m);
    ASSERT_TRUE(sent.ok()) << sent.detail.toStdString();
    ASSERT_EQ(g_peers->mails().size(), 1);
    const QJsonObject got = g_peers->firstMail();
    EXPECT_TRUE(got["starttls"].toBool());
    EXPECT_EQ(got["to"].toArray().size(), 2);
    EXPECT_EQ(got["to"].toArray().at(1).toString(), "contato@teste.local");
    EXPECT_EQ(got["header_to"].toString(), "cliente@teste.local, contato@teste.local");
    EXPECT_EQ(got["subject"].toString(), m.subject);
    const QJsonArray anexos = got["attachments"].toArray();
    ASSERT_EQ(anexos.size(), 1);
    EXPECT_EQ(anexos[0]["filename"].toString(), "Laudo Técnico 7 - Ação.pdf"_q);
    EXPECT_EQ(anexos[0]["content_type"].toString(), "application/pdf");
    EXPECT_TRUE(QByteArray::fromBase64(anexos[0]["data"].toString().toLatin1()) == bytes);

    // One refused recipient refuses the message; the server's words travel back.
    g_peers->clearMails();
    m.moreTo = {"recusado@teste.local"};
    const MailResult refused = curl.sendSmtp(s, m);
    EXPECT_EQ(refused.failure, MailFailure::Refused);
    EXPECT_EQ(refused.serverReply, "550 5.1.1 caixa postal recusada");
    s.password = "errada";
    const MailResult denied = curl.sendSmtp(s, m);
    EXPECT_EQ(denied.failure, MailFailure::Authentication);
    EXPECT_TRUE(denied.serverReply.startsWith("535")) << denied.serverReply.toStdString();
    EXPECT_TRUE(g_peers->mails().isEmpty());
}

TEST_F(MailPeersTest, AWrongPasswordIsRefusedByBothServers) {
    EXPECT_EQ(curl.loginPop3(server("errada")).failure, MailFailure::Authentication);
    MailMessage m;
    m.fromAddress = m.to = "alerta@teste.local";
    m.subject = "x";
    m.bodyLines = {"x"};
    EXPECT_EQ(curl.sendSmtp(server("errada"), m).failure, MailFailure::Authentication);
    EXPECT_TRUE(g_peers->mails().isEmpty());
}

TEST_F(MailPeersTest, AnUntrustedCertificateIsRefused) {
    const MailResult systemRoots = curl.connectSmtp(server("segredo", false));
    EXPECT_EQ(systemRoots.failure, MailFailure::Certificate) << systemRoots.detail.toStdString();
    MailServer other = server();
    other.caFile = g_peers->otherCa;
    EXPECT_EQ(curl.connectSmtp(other).failure, MailFailure::Certificate);
    MailMessage m;
    m.fromAddress = m.to = "alerta@teste.local";
    m.bodyLines = {"x"};
    EXPECT_EQ(curl.sendSmtp(other, m).failure, MailFailure::Certificate);
    EXPECT_TRUE(g_peers->mails().isEmpty());
}

TEST_F(MailPeersTest, ANobodyAnsweringPortIsAConnectionFailure) {
    MailServer s = server();
    s.smtpPort = g_peers->pop3Port + 1 == g_peers->smtpPort ? g_peers->smtpPort + 1 : g_peers->pop3Port + 1;
    s.pop3Port = s.smtpPort;
    EXPECT_EQ(curl.connectSmtp(s).failure, MailFailure::Connect);
    EXPECT_EQ(curl.loginPop3(s).failure, MailFailure::Connect);
}

TEST_F(MailPeersTest, TheReportMailsItsSubjectAndBodyLines) {
    useRealPeers();
    report("Access violation at address 00401234");
    EXPECT_TRUE(seen.emailEnviado) << seen.falhas.join("\n").toStdString();
    ASSERT_EQ(g_peers->mails().size(), 1);
    const QJsonObject got = g_peers->firstMail();
    EXPECT_EQ(got["subject"].toString(), "Avisos do Sistema - CTV - v3.1 - Laboratorio Hidro");
    QStringList lines;
    for (const auto& v : got["body_lines"].toArray())
        lines << v.toString();
    EXPECT_EQ(lines.value(0), "Empresa: Laboratorio Hidro");
    EXPECT_EQ(lines.value(5), "15/03/2024 10:30:00 - Usuário: Maria da Silva"_q);
    EXPECT_TRUE(lines.contains("Access violation at address 00401234"));
    EXPECT_EQ(dlg.messageCount(), 0);
}

TEST_F(MailPeersTest, TheReportTellsAWrongPasswordARefusedSendAndAnUntrustedServer) {
    useRealPeers("errada");
    report("Access violation");
    EXPECT_EQ(dlg.lastMessage().text, "Erro de autenticação no envio do email"_q);
    EXPECT_FALSE(seen.emailEnviado);

    dlg.clear();
    useRealPeers("segredo", g_peers->ca, "recusado@teste.local");
    report("Access violation");
    EXPECT_EQ(dlg.lastMessage().text, "Não foi possível enviar o email para a nexmoro"_q);

    dlg.clear();
    useRealPeers("segredo", g_peers->otherCa);
    report("Access violation");
    EXPECT_EQ(dlg.messageCount(), 0);
    EXPECT_TRUE(seen.falhas.last().startsWith(
        "E-mail ao suporte não enviado: o certificado do servidor de e-mail não é confiável"_q))
        << seen.falhas.join("\n").toStdString();
    // Each report was still logged and shown.
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(logLines().size(), 6);
    EXPECT_TRUE(g_peers->mails().isEmpty());
}

} // namespace
