// libFuzzer entry for the RTF reader. Build: the fuzz_rtf target (clang with libFuzzer only).
// Run: build/tests/fuzz/rtf_fuzzer tests/fuzz/corpus/rtf tests/platform/rtf -dict=tests/fuzz/rtf.dict
#include "RtfChecks.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString failure = rtfchecks::check(input);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", failure.toUtf8().constData());
        std::abort();
    }
    return 0;
}
