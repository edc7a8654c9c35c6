#include "platform/LockedFile.h"
#include "platform/Cp1252.h"
#include "platform/Errors.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

[[noreturn]] void fail(const QString& path, const QString& what, int err) {
    throw AppError(QStringLiteral("Não foi possível gravar o arquivo ") + path + QStringLiteral(" (") + what +
                   QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(err)) + QStringLiteral(")."));
}

// Open-file-description locks belong to the open file, not to the process, and network file
// systems forward them to the server like classic record locks.
#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
#else
constexpr int kSetLock = F_SETLK;
#endif

bool tryLock(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0; // the whole file, however long it grows
    return ::fcntl(fd, kSetLock, &lock) == 0;
}

void writeAll(int fd, const QByteArray& bytes, const QString& path) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(path, QStringLiteral("escrita"), errno);
        }
        p += n;
        left -= n;
    }
}

} // namespace

void appendLinesLocked(const QString& path, const QStringList& headerForNewFile, const QStringList& lines,
                       int waitMs) {
    const QByteArray name = QFile::encodeName(path);
    Fd fd(::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
    if (fd.get() < 0) fail(path, QStringLiteral("abertura"), errno);

    const timespec pause{0, 20 * 1000 * 1000};
    int waited = 0;
    while (!tryLock(fd.get(), F_WRLCK)) {
        const int err = errno;
        if (err != EACCES && err != EAGAIN && err != EINTR) fail(path, QStringLiteral("bloqueio"), err);
        if (waited >= waitMs) fail(path, QStringLiteral("arquivo em uso por outro computador"), err);
        ::nanosleep(&pause, nullptr);
        waited += 20;
    }

    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) fail(path, QStringLiteral("leitura do tamanho"), errno);
    QByteArray bytes;
    if (st.st_size == 0)
        for (const QString& line : headerForNewFile)
            bytes += cp1252::encodeVisible(line) + "\r\n";
    for (const QString& line : lines)
        bytes += cp1252::encodeVisible(line) + "\r\n";
    // One write call for the whole entry: with O_APPEND it lands after every earlier line.
    writeAll(fd.get(), bytes, path);
    tryLock(fd.get(), F_UNLCK);
}
