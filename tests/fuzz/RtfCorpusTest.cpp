// Every input the fuzzer found interesting, and the hand-made and LibreOffice samples, go through
// the reader and writer under the normal compiler: the checks the fuzz target makes must hold.
#include "RtfChecks.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

void checkFolder(const QString& folder, int minimumFiles) {
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), minimumFiles) << folder.toStdString();
    for (const QFileInfo& info : files) {
        QFile f(info.absoluteFilePath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << info.fileName().toStdString();
        QElapsedTimer timer;
        timer.start();
        const QString failure = rtfchecks::check(f.readAll());
        EXPECT_TRUE(failure.isEmpty()) << info.fileName().toStdString() << ": " << failure.toStdString();
        EXPECT_LT(timer.elapsed(), 2000) << info.fileName().toStdString() << " is read too slowly";
    }
}

TEST(RtfFuzzCorpus, EveryFuzzerInputReadsAndRoundTrips) {
    checkFolder(QStringLiteral(CTV_FUZZ_CORPUS), 20);
}

TEST(RtfFuzzCorpus, EverySampleReadsAndRoundTrips) {
    checkFolder(QStringLiteral(CTV_RTF_CORPUS), 7);
}

} // namespace
