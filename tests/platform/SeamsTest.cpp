// Clock, shell, OS facts and processes: the test doubles other tests rely on, and the parts of
// the system implementations that can run safely here.
#include "platform/Clock.h"
#include "platform/OsFacts.h"
#include "platform/Processes.h"
#include "platform/Shell.h"

#include "QtPrinters.h"

#include <QCoreApplication>
#include <QDir>
#include <QHostAddress>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// ---- clock ----

TEST(ClockSeam, FixedClockStandsStillAndSleepsWithoutWaiting) {
    FixedClock fixed(QDateTime(QDate(2024, 2, 28), QTime(23, 59, 59, 800)));
    ScopedClock use(fixed);
    EXPECT_EQ(appClock().today(), QDate(2024, 2, 28));
    appClock().sleepMs(500);
    EXPECT_EQ(appClock().now(), QDateTime(QDate(2024, 2, 29), QTime(0, 0, 0, 300)));
    EXPECT_EQ(appClock().today(), QDate(2024, 2, 29));
    appClock().sleepMs(5000);
    EXPECT_EQ(fixed.sleeps(), (std::vector<int>{500, 5000}));
    fixed.setToday(QDate(2025, 1, 1));
    EXPECT_EQ(appClock().now(), QDateTime(QDate(2025, 1, 1), QTime(0, 0, 5, 300)));
}

TEST(ClockSeam, SystemSleepKeepsEventsRunning) {
    SystemClock system;
    bool fired = false;
    QTimer::singleShot(0, [&fired] { fired = true; });
    system.sleepMs(30);
    EXPECT_TRUE(fired) << "a pending event must run during the pause";
}

// ---- shell ----

TEST(ShellTarget, AddressesMailLinksAndFiles) {
    EXPECT_EQ(shellTargetUrl("https://www.exemplo.com.br/2026/04/tutorial.html"),
              QUrl("https://www.exemplo.com.br/2026/04/tutorial.html"));
    EXPECT_EQ(shellTargetUrl("www.exemplo.com.br").toString(), "http://www.exemplo.com.br");
    const QUrl mail = shellTargetUrl("mailto:suporte@exemplo.com.br?subject=Erro no sistema");
    EXPECT_EQ(mail.scheme(), "mailto");
    EXPECT_EQ(mail.path(), "suporte@exemplo.com.br");
    EXPECT_EQ(shellTargetUrl("/site/Sistema/Excel/Analises.xls"),
              QUrl::fromLocalFile("/site/Sistema/Excel/Analises.xls"));
    EXPECT_EQ(shellTargetUrl("Excel/a b.xls"),
              QUrl::fromLocalFile(QDir::current().absoluteFilePath("Excel/a b.xls")));
    EXPECT_TRUE(shellTargetUrl("C:\\Dados\\a.xls").isLocalFile()) << "a drive letter is not a scheme";
}

// ---- OS facts ----

TEST(OsFacts, SystemFactsAreUsable) {
    SystemOsFacts system;
    EXPECT_FALSE(system.userName().isEmpty());
    const QString ip = system.ipv4Address();
    QHostAddress address;
    ASSERT_TRUE(address.setAddress(ip)) << ip.toStdString();
    EXPECT_EQ(address.protocol(), QAbstractSocket::IPv4Protocol);
    EXPECT_EQ(ip, ip.trimmed());
    EXPECT_EQ(system.executablePath(), QCoreApplication::applicationFilePath());
}

// ---- processes ----

TEST(Processes, ExecutableFileNameTakesEitherSeparator) {
    EXPECT_EQ(executableFileName("/usr/bin/firebird"), "firebird");
    EXPECT_EQ(executableFileName("C:\\Nexmoro\\nexmoroTalvena4.exe"), "nexmoroTalvena4.exe");
    EXPECT_EQ(executableFileName("Z:/x\\y/prog.exe"), "prog.exe");
    EXPECT_EQ(executableFileName("prog"), "prog");
}

TEST(Processes, SystemListShowsThisProcess) {
    const std::vector<ProcessEntry> list = SystemProcesses().running();
    const auto self = std::find_if(list.begin(), list.end(),
                                   [](const ProcessEntry& entry) { return entry.pid == qint64(getpid()); });
    ASSERT_NE(self, list.end());
    EXPECT_EQ(self->name, QCoreApplication::applicationFilePath().section('/', -1));
}

TEST(Processes, FakeEndsTheFirstMatchThatCanBeEnded) {
    FakeProcesses fake;
    ScopedProcesses use(fake);
    fake.add(10, "NEXMOROTALVENA.EXE", true);
    fake.add(11, "outro.exe");
    fake.add(12, "nexmoroTalvena.exe");
    fake.add(13, "nexmoroTalvena.exe");
    EXPECT_TRUE(processes().terminateFirst("nexmorotalvena.exe"));
    EXPECT_FALSE(processes().terminateFirst("nexmoroTalvena4.exe"));
    EXPECT_EQ(fake.terminated(), (std::vector<qint64>{12}));
    EXPECT_EQ(processes().running().size(), 3u);
}

} // namespace
