#include "platform/Shell.h"
#include "platform/DetachedStart.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

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

namespace {
// Whether the desktop names a program for a local file. The desktop's opener starts in any
// case and fails on its own afterwards, so its answer cannot say that nothing opens the file;
// the desktop's association table can. Where it cannot be asked, the answer is yes.
bool haProgramaPara(const QUrl& url) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!url.isLocalFile()) return true;
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) return true;
    const QString tipo = QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name();
    QProcess q;
    q.setStandardInputFile(QProcess::nullDevice());
    q.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), tipo});
    if (!q.waitForFinished(3000)) {
        q.kill();
        q.waitForFinished(500);
        return true;
    }
    return q.exitStatus() != QProcess::NormalExit || q.exitCode() != 0 ||
           !QString::fromLocal8Bit(q.readAllStandardOutput()).trimmed().isEmpty();
#else
    Q_UNUSED(url);
    return true;
#endif
}
} // namespace

bool DesktopShell::open(const QString& target) {
    if (seam_detail::runningUnderTest()) seam_detail::refuseUnderTest("Shell open", target);
    const QUrl url = shellTargetUrl(target);
    if (!haProgramaPara(url)) return false;
    return QDesktopServices::openUrl(url);
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
