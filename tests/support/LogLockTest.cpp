// The error log is shared by every workstation: two processes appending at once lose no line,
// and the header is written once, by whoever finds the file new.
#include "platform/Errors.h"
#include "platform/LockedFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList kHeader = {"Arquivo de log", " ", "LOG de Avisos: "};
constexpr int kLines = 300;

// Run by the test below in two child processes of this same test program.
TEST(LogLockChild, Writer) {
    const QString path = qEnvironmentVariable("CTV_LOG_CHILD_FILE");
    if (path.isEmpty()) GTEST_SKIP() << "only as a child of LogLock";
    const QString tag = qEnvironmentVariable("CTV_LOG_CHILD_TAG");
    for (int i = 0; i < kLines; ++i)
        appendLinesLocked(path, kHeader, {QString("%1 %2 Relatório").arg(tag).arg(i, 4, 10, QChar('0'))});
}

TEST(LogLock, TwoProcessesAppendingAtOnceLoseNoLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Avisos do Sistema.log");
    QProcess a, b;
    for (auto [p, tag] : {std::pair{&a, "A"}, std::pair{&b, "B"}}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("CTV_LOG_CHILD_FILE", path);
        env.insert("CTV_LOG_CHILD_TAG", tag);
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationFilePath(), {"--gtest_filter=LogLockChild.Writer"});
    }
    ASSERT_TRUE(a.waitForFinished(60000));
    ASSERT_TRUE(b.waitForFinished(60000));
    EXPECT_EQ(a.exitCode(), 0) << a.readAll().toStdString();
    EXPECT_EQ(b.exitCode(), 0) << b.readAll().toStdString();

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QStringList lines = QString::fromLatin1(bytes).split("\r\n");
    ASSERT_EQ(lines.takeLast(), "");
    ASSERT_EQ(lines.size(), 3 + 2 * kLines);
    EXPECT_EQ(lines.mid(0, 3), kHeader);
    QStringList fromA, fromB;
    for (const QString& line : lines.mid(3)) {
        EXPECT_TRUE(line.endsWith(QString::fromUtf8(" Relatório"))) << line.toStdString();
        (line.startsWith("A ") ? fromA : fromB) << line;
    }
    ASSERT_EQ(fromA.size(), kLines);
    ASSERT_EQ(fromB.size(), kLines);
    for (int i = 0; i < kLines; ++i) {
        EXPECT_EQ(fromA[i], QString("A %1 Relatório").arg(i, 4, 10, QChar('0')));
        EXPECT_EQ(fromB[i], QString("B %1 Relatório").arg(i, 4, 10, QChar('0')));
    }
    // Windows-1252 bytes, as the Windows peers read the shared folder.
    EXPECT_TRUE(bytes.contains("Relat\xf3rio"));
}

TEST(LogLock, AFileThatCannotBeWrittenIsAClearError) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("log");
    try {
        appendLinesLocked(dir.filePath("log"), kHeader, {"x"});
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().startsWith(QString::fromUtf8("Não foi possível gravar o arquivo ") +
                                           dir.filePath("log")))
            << e.message().toStdString();
    }
}

TEST(LogLock, AnEntryWithoutWindows1252LettersIsWrittenVisibly) {
    QTemporaryDir dir;
    appendLinesLocked(dir.filePath("a.log"), {}, {QString::fromUtf8("€ ok \u4e2d")});
    QFile f(dir.filePath("a.log"));
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), QByteArray("\x80 ok U+4E2D\r\n"));
}

} // namespace
