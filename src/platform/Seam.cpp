#include "platform/Seam.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

namespace seam_detail {

bool runningUnderTest() {
    if (qEnvironmentVariableIsSet("CTV_TEST")) return true;
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
           QGuiApplication::platformName() == QLatin1String("offscreen");
}

void refuseUnderTest(const char* what, const QString& detail) {
    std::fprintf(stderr, "%s without an installed test double: %s\n", what, qPrintable(detail));
    std::fflush(stderr);
    std::abort();
}

} // namespace seam_detail
