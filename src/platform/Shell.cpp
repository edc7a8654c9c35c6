#include "platform/Shell.h"
#include "platform/DetachedStart.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {
Shell* g_installed = nullptr;
}

QUrl shellTargetUrl(const QString& target) {
    const QString text = target.trimmed();
    // Two or more letters before the colon: a single letter is a drive ("C:\...").
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(text).hasMatch()) return QUrl(text, QUrl::TolerantMode);
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("http://") + text, QUrl::TolerantMode);
    return QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
}

void DesktopShell::open(const QString& target) {
    if (seam_detail::runningUnderTest()) seam_detail::refuseUnderTest("Shell open", target);
    QDesktopServices::openUrl(shellTargetUrl(target));
}

// Programs started from here outlive this one and never get its open files (the database).
bool DesktopShell::startHidden(const QString& program, const QStringList& arguments) {
    if (seam_detail::runningUnderTest()) seam_detail::refuseUnderTest("Program start", program);
    return startDetachedWithoutOpenFiles(program, arguments);
}

bool DesktopShell::openProgram(const QString& program, const QString& parameters) {
    if (seam_detail::runningUnderTest()) seam_detail::refuseUnderTest("Program open", program);
    return startDetachedWithoutOpenFiles(program, QProcess::splitCommand(parameters),
                                         QFileInfo(program).absolutePath());
}

Shell& shell() {
    static DesktopShell desktopShell;
    return g_installed ? *g_installed : desktopShell;
}

Shell* installShell(Shell* shell) {
    Shell* previous = g_installed;
    g_installed = shell;
    return previous;
}
