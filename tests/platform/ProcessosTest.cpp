// Programs started to outlive this one get none of its open files (the embedded database and
// its lock files), and an end request is honoured even when the program cannot get to it.
#include "TestDb.h"
#include "platform/DetachedStart.h"
#include "platform/Signals.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

TEST(DetachedStart, TheStartedProgramGetsNoneOfOurFiles) {
    TestDb db("create table t (id integer);");
    ASSERT_TRUE(db.db.connected());
    QTemporaryDir dir;
    // A file opened without the close-on-exec mark, as the embedded engine opens its files.
    const int nosso =
        ::open(QFile::encodeName(dir.filePath("nosso.txt")).constData(), O_CREAT | O_RDWR, 0600);
    ASSERT_GE(nosso, 0);
    const QString saida = dir.filePath("fds.txt");
    qint64 pid = 0;
    ASSERT_TRUE(startDetachedWithoutOpenFiles("/bin/sh",
                                              {"-c", "pwd > saida.tmp; for f in /proc/$$/fd/*; do readlink "
                                                     "\"$f\"; done >> saida.tmp; mv saida.tmp fds.txt"},
                                              dir.path(), &pid));
    EXPECT_GT(pid, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(saida); }, 10000));
    ::close(nosso);
    QFile f(saida);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList linhas = QString::fromLocal8Bit(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(linhas.isEmpty());
    EXPECT_EQ(linhas[0], QDir(dir.path()).canonicalPath());
    for (const QString& l : linhas.mid(1)) {
        EXPECT_FALSE(l.contains("test.fdb")) << l.toStdString();
        EXPECT_FALSE(l.contains("fb_lock")) << l.toStdString();
        EXPECT_FALSE(l.contains("nosso.txt")) << l.toStdString();
    }
    EXPECT_FALSE(startDetachedWithoutOpenFiles(dir.filePath("nao-existe"), {}));
    EXPECT_FALSE(startDetachedWithoutOpenFiles("/bin/sh", {}, dir.filePath("pasta-que-nao-existe")));
}

// A main thread stuck for good (as inside a client library whose server died) must not keep the
// program alive after the desktop asked it to end.
TEST(SinaisDeathTest, AnEndRequestThatTheProgramCannotServeEndsItWithinTheLimit) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            defineLimiteDeTermino(200);
            bloqueiaSinaisDeTermino();
            ::kill(::getpid(), SIGTERM);
            for (int i = 0; i < 100; ++i)
                ::usleep(50000);
            std::_Exit(3); // still here after five seconds: the request was ignored
        },
        ::testing::ExitedWithCode(0), "");
    // A second request ends it at once, whatever the limit.
    EXPECT_EXIT(
        {
            defineLimiteDeTermino(60000);
            bloqueiaSinaisDeTermino();
            ::kill(::getpid(), SIGTERM);
            ::usleep(100000);
            ::kill(::getpid(), SIGTERM);
            for (int i = 0; i < 100; ++i)
                ::usleep(50000);
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
