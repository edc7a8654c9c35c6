// The automatic mail against a mail server that is down and one that accepts and never
// answers (the real transport on 127.0.0.1): the report says the mail did not go, the wait is
// bounded, and the windows keep being painted while it lasts.
#include "SupportFixture.h"
#include "support/ConfiguracaoSuporte.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTimer>

namespace {

class EmailLimitado : public SupportSite {
protected:
    CurlMailTransport real;
    ScopedMailTransport useReal{real};
};

TEST_F(EmailLimitado, AMailServerThatIsDownIsToldAndNoReportIsClaimedSent) {
    int porta = 0;
    {
        QTcpServer livre;
        ASSERT_TRUE(livre.listen(QHostAddress::LocalHost, 0));
        porta = livre.serverPort();
    } // closed: nothing listens there now
    writeSupportSettings(QStringLiteral("PortaSMTP=%1\r\nTempoLimiteEmail=2\r\n").arg(porta));
    report("Access violation at address 00401234");
    ASSERT_EQ(shown, 1);
    EXPECT_FALSE(seen.emailEnviado);
    EXPECT_EQ(seen.problema, kProblemaNaoTratado);
    EXPECT_FALSE(seen.solucao.contains("foi enviado automaticamente")) << seen.solucao.toStdString();
    EXPECT_TRUE(seen.solucao.startsWith(
        "Não foi possível enviar o relatório do erro para a equipe de suporte da nexmoro (servidor de "
        "e-mail inacessível)."_q))
        << seen.solucao.toStdString();
    EXPECT_TRUE(seen.solucao.endsWith("Por favor, reinicie o sistema e tente novamente."));
    ASSERT_FALSE(seen.falhas.isEmpty());
    EXPECT_TRUE(
        seen.falhas.last().startsWith("E-mail ao suporte não enviado: servidor de e-mail inacessível"_q))
        << seen.falhas.last().toStdString();
    // The capture stays for the next start, which removes it.
    EXPECT_TRUE(QFile::exists(site.filePath("Sistema/erro.bmp")));
}

TEST_F(EmailLimitado, AServerThatNeverAnswersIsLeftAfterItsTimeAndTheWindowsKeepPainting) {
    QTcpServer mudo; // accepts the connection and never says a word
    ASSERT_TRUE(mudo.listen(QHostAddress::LocalHost, 0));
    writeSupportSettings(QStringLiteral("PortaSMTP=%1\r\nTempoLimiteEmail=1\r\n").arg(mudo.serverPort()));
    int batidas = 0;
    QTimer relogio;
    relogio.setInterval(20);
    QObject::connect(&relogio, &QTimer::timeout, [&] { ++batidas; });
    relogio.start();
    int batidasAoAbrir = -1;
    beforeClose = [&](TfrmErroSistema&) { batidasAoAbrir = batidas; };
    QElapsedTimer tempo;
    tempo.start();
    report("Access violation at address 00401234");
    const qint64 ms = tempo.elapsed();
    ASSERT_EQ(shown, 1);
    // The mail waited about its second, the event loop ran meanwhile.
    EXPECT_GE(batidasAoAbrir, 10);
    EXPECT_LT(ms, 8000);
    EXPECT_FALSE(seen.emailEnviado);
    EXPECT_TRUE(seen.solucao.contains("(o servidor de e-mail não respondeu a tempo)"_q))
        << seen.solucao.toStdString();
    // A limit written bigger than a few seconds is not taken.
    writeSupportSettings("TempoLimiteEmail=30\r\n");
    EXPECT_EQ(carregaConfiguracaoSuporte().tempoLimiteEmail, kTempoLimiteEmailMaximo);
    EXPECT_LE(kTempoLimiteEmailMaximo, 10);
}

} // namespace
