// The maker's web addresses: the address tests against a local HTTP server answering 200, 302,
// 301 and 404 and against addresses nobody answers; the address choice and the tutorial pages.
#include "app/UnFuncaoNexmoro.h"
#include "platform/HttpTransport.h"
#include "platform/OsFacts.h"
#include "platform/Shell.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A listening socket on 127.0.0.1 with a free port.
int listenLocal(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(fd, 8);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

// Answers each request by its path: /ok 200, /movido 302, /permanente 301, anything else 404;
// keeps the request headers it saw.
class HttpServer {
public:
    HttpServer() {
        m_fd = listenLocal(m_port);
        m_thread = std::thread([this] { run(); });
    }
    ~HttpServer() {
        m_stop = true;
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
        m_thread.join();
    }
    QString url(const QString& path) const { return QString("http://127.0.0.1:%1%2").arg(m_port).arg(path); }
    int port() const { return m_port; }
    QByteArray lastRequest() {
        std::lock_guard lock(m_mutex);
        return m_last;
    }

private:
    void run() {
        while (!m_stop) {
            const int c = ::accept(m_fd, nullptr, nullptr);
            if (c < 0) return;
            QByteArray request;
            char buf[2048];
            while (!request.contains("\r\n\r\n")) {
                const ssize_t n = ::read(c, buf, sizeof buf);
                if (n <= 0) break;
                request.append(buf, n);
            }
            {
                std::lock_guard lock(m_mutex);
                m_last = request;
            }
            const QByteArray path = request.split(' ').value(1);
            QByteArray status = "404 Not Found";
            if (path == "/ok") status = "200 OK";
            if (path == "/movido") status = "302 Found";
            if (path == "/permanente") status = "301 Moved Permanently";
            const QByteArray body = "pagina";
            const QByteArray answer = "HTTP/1.1 " + status + "\r\nLocation: /ok\r\nContent-Length: " +
                                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
                                      body;
            ::write(c, answer.constData(), size_t(answer.size()));
            ::close(c);
        }
    }
    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::mutex m_mutex;
    QByteArray m_last;
};

class Web : public ::testing::Test {
protected:
    void SetUp() override {
        facts.setExecutablePath(dir.filePath("cortivandela"));
        writeSettings("[Web]\r\nTempoLimite=1\r\n");
    }
    void writeSettings(const QByteArray& text) {
        QFile f(dir.filePath("Suporte.ini"));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
    }
    QTemporaryDir dir;
    FakeOsFacts facts;
    ScopedOsFacts useFacts{facts};
};

TEST_F(Web, OnlyStatus200Or302Answers) {
    HttpServer server;
    EXPECT_TRUE(VerificaURLHttp(server.url("/ok")));
    EXPECT_TRUE(VerificaURLHttp(server.url("/movido")));
    EXPECT_FALSE(VerificaURLHttp(server.url("/permanente")));
    EXPECT_FALSE(VerificaURLHttp(server.url("/nada")));
    // The same through the general test, for an address that is not https.
    EXPECT_TRUE(VerificaURL(server.url("/ok")));
    EXPECT_FALSE(VerificaURL(server.url("/permanente")));
}

TEST_F(Web, AnAddressWithoutSchemeIsTriedAsHttpWithAFreshAnswer) {
    HttpServer server;
    EXPECT_TRUE(VerificaURLHttp(QString("127.0.0.1:%1/ok").arg(server.port())));
    const QByteArray request = server.lastRequest();
    EXPECT_TRUE(request.startsWith("GET /ok HTTP/1.1\r\n")) << request.toStdString();
    EXPECT_TRUE(request.contains("User-Agent: InetURL:/1.0\r\n"));
    EXPECT_TRUE(request.contains("Cache-Control: no-cache\r\n"));
}

TEST_F(Web, NobodyAnsweringIsFalseWithinTheTimeOut) {
    int silentPort = 0;
    const int silent = listenLocal(silentPort); // accepts connections, never answers
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(VerificaURLHttp(QString("http://127.0.0.1:%1/ok").arg(silentPort)));
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_FALSE(VerificaURL(QString("https://127.0.0.1:%1/").arg(silentPort)));
    EXPECT_LT(t.elapsed(), 6000);
    ::close(silent);
    // A closed port fails at once.
    EXPECT_FALSE(VerificaURLHttp(QString("http://127.0.0.1:%1/ok").arg(silentPort)));
    // A plain HTTP server does not speak TLS.
    HttpServer server;
    EXPECT_FALSE(VerificaURL(QString("https://127.0.0.1:%1/ok").arg(server.port())));
}

TEST_F(Web, TheHttpsTestAsksWithoutCheckingTheCertificateAndAcceptsAnyNonErrorStatus) {
    ScriptedHttpTransport http;
    ScopedHttpTransport use(http);
    http.answers["https://a.test/"] = HttpResult{true, 301, {}};
    http.answers["https://b.test/"] = HttpResult{true, 404, {}};
    EXPECT_TRUE(VerificaURL("https://a.test/"));
    EXPECT_FALSE(VerificaURL("https://b.test/"));
    EXPECT_FALSE(VerificaURL("HTTPS://c.test/"));
    ASSERT_EQ(http.requests.size(), 3u);
    const HttpRequest& r = http.requests[0];
    EXPECT_FALSE(r.verifyPeer);
    EXPECT_EQ(r.timeoutMs, 1000);
    const QList<QPair<QByteArray, QByteArray>> headers{
        {"Content-Type", "application/json"}, {"Content-Encoding", "utf-8"}, {"Accept", "text/javascript"}};
    EXPECT_EQ(r.headers, headers);
}

TEST_F(Web, TheMakersAddressIsTheFirstThatAnswers) {
    ScriptedHttpTransport http;
    ScopedHttpTransport use(http);
    EXPECT_EQ(RetornaSiteNexmoro(), "http://www.nexmoro.com.br");
    ASSERT_EQ(http.requests.size(), 2u);
    EXPECT_EQ(http.requests[0].url, "https://arquivos.nexmoro.com.br");
    EXPECT_EQ(http.requests[1].url, "https://www.nexmoro.com.br");
    http.answers["https://www.nexmoro.com.br"] = HttpResult{true, 200, {}};
    EXPECT_EQ(RetornaSiteNexmoro(), "https://www.nexmoro.com.br");
    http.answers["https://arquivos.nexmoro.com.br"] = HttpResult{true, 200, {}};
    EXPECT_EQ(RetornaSiteNexmoro(), "https://arquivos.nexmoro.com.br");
    // The hosts are settings of the site.
    writeSettings("[Web]\r\nServidorArquivos=https://arq.exemplo.test/\r\nSite=exemplo.test\r\n");
    EXPECT_EQ(RetornaSiteNexmoro(), "http://exemplo.test");
    EXPECT_EQ(http.requests.back().url, "https://exemplo.test");
}

TEST_F(Web, EachWindowOpensItsTutorialPage) {
    RecordingShell shell;
    ScopedShell use(shell);
    AbreTutorial("frmMenuPrincipal", 1);
    AbreTutorial("frmMenuPrincipal", 2);
    AbreTutorial("frmMenuPrincipal", 3);
    AbreTutorial("frmSplash", 7);
    AbreTutorial("frmPesquisaSatisfacaoNexmoro", 1);
    AbreTutorial("frmpesquisasatisfacaonexmoro", 1);
    AbreTutorial("frmOutra", 1);
    EXPECT_EQ(
        shell.opened(),
        (QStringList{"http://tutoriais.nexmoro.com.br/2012/11/barra-de-ferramentas.html",
                     "http://tutoriais.nexmoro.com.br/2024/10/tutorial-abertura-do-sistema.html",
                     "https://tutoriais.nexmoro.com.br/2024/11/tutorial-abertura-e-encerramento-do.html",
                     "https://tutoriais.nexmoro.com.br/2024/11/tutorial-abertura-e-encerramento-do.html"}));
}

} // namespace
