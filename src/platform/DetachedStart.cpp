#include "platform/DetachedStart.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// In the child, between fork and exec: marks every descriptor above the standard three to be
// closed by exec. Only async-signal-safe calls.
void closeOnExecAboveStandard() {
#if defined(SYS_close_range)
    // close_range(3, ~0U, CLOSE_RANGE_CLOEXEC): one call on Linux 5.11 and later.
    if (::syscall(SYS_close_range, 3U, ~0U, 4U /* CLOSE_RANGE_CLOEXEC */) == 0) return;
#endif
    rlimit lim{};
    int last = 65536;
    if (::getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY && lim.rlim_cur < 65536)
        last = static_cast<int>(lim.rlim_cur);
    for (int fd = 3; fd < last; ++fd) {
        const int flags = ::fcntl(fd, F_GETFD);
        if (flags >= 0) ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
    }
}

void writeAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        p += n;
        size -= static_cast<size_t>(n);
    }
}

} // namespace

bool startDetachedWithoutOpenFiles(const QString& program, const QStringList& arguments,
                                   const QString& workingDirectory, qint64* pid) {
    // Everything the child needs is made before fork: after it only system calls.
    const QString path =
        program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    if (path.isEmpty()) return false;
    const QByteArray prog = QFile::encodeName(path);
    std::vector<QByteArray> args{prog};
    for (const QString& a : arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const QByteArray dir = QFile::encodeName(workingDirectory);

    // The grandchild reports through this pipe: its pid, then an exec error (nothing when exec
    // worked, since the pipe closes with it).
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
        const pid_t self = ::getpid();
        writeAll(report[1], &self, sizeof self);
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            if (null > 2) ::close(null);
        }
        int error = 0;
        if (!dir.isEmpty() && ::chdir(dir.constData()) != 0) error = errno;
        if (error == 0) {
            closeOnExecAboveStandard();
            ::execve(prog.constData(), argv.data(), environ);
            error = errno;
        }
        writeAll(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    pid_t started = 0;
    int error = 0;
    bool gotPid = false, gotError = false;
    char buffer[sizeof(pid_t) + sizeof(int)];
    size_t have = 0;
    for (;;) {
        const ssize_t n = ::read(report[0], buffer + have, sizeof buffer - have);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        have += static_cast<size_t>(n);
        if (have == sizeof buffer) break;
    }
    ::close(report[0]);
    if (have >= sizeof(pid_t)) {
        std::memcpy(&started, buffer, sizeof(pid_t));
        gotPid = true;
    }
    if (have >= sizeof(pid_t) + sizeof(int)) {
        std::memcpy(&error, buffer + sizeof(pid_t), sizeof(int));
        gotError = true;
    }
    if (!gotPid || gotError) return false;
    if (pid) *pid = started;
    return true;
}

#else

bool startDetachedWithoutOpenFiles(const QString& program, const QStringList& arguments,
                                   const QString& workingDirectory, qint64* pid) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!workingDirectory.isEmpty()) process.setWorkingDirectory(workingDirectory);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached(pid);
}

#endif
