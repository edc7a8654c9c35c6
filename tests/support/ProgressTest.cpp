// The timed notice and the two progress windows: gauge behaviour, the process-wide
// references and closing twice.
#include "platform/Clock.h"
#include "support/UnMensagemConfirmarGenerica.h"
#include "support/UnProgresso.h"
#include "support/UnProgressoGeral.h"
#include <QCoreApplication>
#include <QImage>
#include <QPointer>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

void runDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class ProgressoGeral : public ::testing::Test {
protected:
    void TearDown() override {
        FechaProgresso();
        runDeferredDeletes();
    }
};

TEST_F(ProgressoGeral, ConfiguresCaptionLabelsAndRange) {
    MostraProgresso();
    TfrmProgressoGeral* w = frmProgressoGeral();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->size(), QSize(330, 96));
    ConfiguraProgresso("Aguarde ...", "Processando...", "Aguarde o processamento...", 0, 4);
    EXPECT_EQ(w->windowTitle(), "Aguarde ...");
    EXPECT_EQ(w->findChild<QLabel*>("lblTitulo")->text(), "Processando...");
    EXPECT_EQ(w->findChild<QLabel*>("lblRodape")->text(), "Aguarde o processamento...");
    auto* g = w->findChild<Gauge*>("ggProgresso");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->minValue(), 0);
    EXPECT_EQ(g->maxValue(), 4);
    EXPECT_EQ(g->progress(), 0);
    AvancaProgresso();
    EXPECT_EQ(g->percentDone(), 25);
    for (int i = 0; i < 5; ++i)
        AvancaProgresso(); // past the end stays full
    EXPECT_EQ(g->progress(), 4);
    EXPECT_EQ(g->percentDone(), 100);
}

// What the window shows on the screen (its backing store), not a fresh rendering of it.
QImage naTela(QWidget* w) {
    return w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// The report's loop never returns to the event loop: the window must still be on the screen with
// its title, footer and gauge, and follow the gauge as it advances.
TEST_F(ProgressoGeral, ALoopThatNeverReturnsStillShowsTitleFooterAndTheAdvancingGauge) {
    MostraProgresso();
    ConfiguraProgresso("Aguarde ...", "Processando...", "Aguarde o processamento...", 0, 200);
    TfrmProgressoGeral* w = frmProgressoGeral();
    ASSERT_NE(w, nullptr);
    for (int i = 0; i < 50; ++i)
        AvancaProgresso();
    QImage visto = naTela(w);
    QImage esperado = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(visto.isNull());
    ASSERT_EQ(visto.size(), esperado.size());
    EXPECT_TRUE(visto == esperado) << "the window on the screen differs from what it should show";
    // The gauge at a quarter: its left part is filled, its right part is not.
    const QRect g = w->ggProgresso->geometry();
    const QRgb cheio = visto.pixel(g.left() + g.width() / 8, g.top() + 3);
    const QRgb vazio = visto.pixel(g.right() - g.width() / 8, g.top() + 3);
    EXPECT_NE(cheio, vazio);
    for (int i = 0; i < 100; ++i)
        AvancaProgresso();
    visto = naTela(w);
    esperado = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(visto == esperado) << "the gauge on the screen did not follow";
    EXPECT_EQ(visto.pixel(g.left() + g.width() / 2 + g.width() / 8, g.top() + 3), cheio);
}

TEST_F(ProgressoGeral, MaximumZeroKeepsTheGaugeEmpty) {
    MostraProgresso();
    ConfiguraProgresso("Aguarde ...", "Processando...", "Aguarde o processamento...", 0, 0);
    Gauge* g = frmProgressoGeral()->ggProgresso;
    EXPECT_EQ(g->percentDone(), 0);
    AvancaProgresso();
    EXPECT_EQ(g->percentDone(), 0);
    EXPECT_EQ(g->progress(), 0);
}

TEST_F(ProgressoGeral, ReconfiguringStartsOverAndAcceptsAMinimumAboveTheOldMaximum) {
    MostraProgresso();
    ConfiguraProgresso("a", "b", "c", 0, 2);
    AvancaProgresso();
    ConfiguraProgresso("a", "b", "c", 10, 20);
    Gauge* g = frmProgressoGeral()->ggProgresso;
    EXPECT_EQ(g->minValue(), 10);
    EXPECT_EQ(g->maxValue(), 20);
    EXPECT_EQ(g->percentDone(), 0);
}

TEST_F(ProgressoGeral, ClosingFreesTheWindowAndASecondCloseIsHarmless) {
    MostraProgresso();
    QPointer<TfrmProgressoGeral> w = frmProgressoGeral();
    FechaProgresso();
    EXPECT_EQ(frmProgressoGeral(), nullptr);
    runDeferredDeletes();
    EXPECT_TRUE(w.isNull());
    FechaProgresso();
    AvancaProgresso();
    ConfiguraProgresso("a", "b", "c", 0, 1);
    EXPECT_EQ(frmProgressoGeral(), nullptr);
}

TEST_F(ProgressoGeral, ShowingAgainReusesTheOpenWindow) {
    MostraProgresso();
    TfrmProgressoGeral* first = frmProgressoGeral();
    MostraProgresso();
    EXPECT_EQ(frmProgressoGeral(), first);
}

TEST(Progresso, CallerDrivenWindowClearsItsReferenceOnClose) {
    auto* w = new TfrmProgresso();
    QPointer<TfrmProgresso> guard(w);
    EXPECT_EQ(frmProgresso(), w);
    w->show();
    EXPECT_EQ(w->size(), QSize(330, 96));
    EXPECT_NE(w->findChild<QLabel*>("lblTitulo"), nullptr);
    EXPECT_NE(w->findChild<Gauge*>("ggProgresso"), nullptr);
    w->close();
    EXPECT_EQ(frmProgresso(), nullptr);
    runDeferredDeletes();
    EXPECT_TRUE(guard.isNull());
}

// Records what the notice showed while the program waited.
class WatchingClock : public FixedClock {
public:
    void sleepMs(int ms) override {
        if (auto* w = frmMensagemConfirmarGenerica())
            seen = w->isVisible() ? w->lblMensagem->text() : "(hidden)";
        FixedClock::sleepMs(ms);
    }
    QString seen;
};

TEST(MostraAviso, AutoCloseWaitsFiveSecondsThroughTheClock) {
    WatchingClock clock;
    ScopedClock use(clock);
    MostraAviso("Uma nova versão será instalada.", true);
    EXPECT_EQ(clock.sleeps(), std::vector<int>{5000});
    EXPECT_EQ(clock.seen, "Uma nova versão será instalada.");
    EXPECT_EQ(frmMensagemConfirmarGenerica(), nullptr);
    runDeferredDeletes();
}

TEST(MostraAviso, WithoutAutoCloseTheNoticeStaysWithItsBandHidden) {
    FixedClock clock;
    ScopedClock use(clock);
    MostraAviso("Aguarde.", false);
    EXPECT_TRUE(clock.sleeps().empty());
    TfrmMensagemConfirmarGenerica* w = frmMensagemConfirmarGenerica();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Aviso do Sistema");
    EXPECT_EQ(w->findChild<QLabel*>("lblMensagem")->text(), "Aguarde.");
    EXPECT_EQ(w->size(), QSize(540, 80));
    EXPECT_FALSE(w->btnOK->isVisible());
    EXPECT_FALSE(w->ckbConfirma->isVisible());
    EXPECT_FALSE(w->pnlBotoes->isVisible());
    w->close();
    EXPECT_EQ(frmMensagemConfirmarGenerica(), nullptr);
    runDeferredDeletes();
}

} // namespace
