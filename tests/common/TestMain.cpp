// GoogleTest entry point: widgets need a QApplication, created offscreen.
#include "platform/QuietOffscreen.h"
#include <QApplication>
#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--gtest_list_tests", 18) == 0) listing = true;
    if (!listing && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    if (listing) return RUN_ALL_TESTS();
    silenciaAvisosOffscreen();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
