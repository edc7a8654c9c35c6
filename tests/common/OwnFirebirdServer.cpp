#include "OwnFirebirdServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const char* const kServer = "/usr/sbin/firebird";

// Where the installed server keeps its plugins, character sets and messages.
QString installedRoot() {
    for (const char* d : {"/usr/lib/x86_64-linux-gnu/firebird/3.0", "/usr/lib/aarch64-linux-gnu/firebird/3.0",
                          "/usr/lib/firebird/3.0", "/opt/firebird"})
        if (QFileInfo::exists(QString::fromLatin1(d) + "/plugins")) return QString::fromLatin1(d);
    return QString();
}

QString installedSecurityDatabase() {
    for (const char* f : {"/var/lib/firebird/3.0/system/security3.fdb", "/opt/firebird/security3.fdb"})
        if (QFileInfo::exists(QString::fromLatin1(f))) return QString::fromLatin1(f);
    return QString();
}

int freePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    return probe.serverPort();
}

bool accepts(int port) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    return s.waitForConnected(200);
}

bool own(const QString& path, unsigned uid, unsigned gid) {
    return ::chown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

} // namespace

OwnFirebirdServer::OwnFirebirdServer() = default;

OwnFirebirdServer::~OwnFirebirdServer() {
    stop();
}

QString OwnFirebirdServer::dataFolder() const {
    return m_root.filePath("data");
}

QString OwnFirebirdServer::connectionString(const QString& file) const {
    return QStringLiteral("127.0.0.1/%1:%2/%3").arg(m_port).arg(dataFolder(), file);
}

bool OwnFirebirdServer::prepare() {
    if (m_prepared) return true;
    if (!QFileInfo(QString::fromLatin1(kServer)).isExecutable()) {
        m_error = "o servidor Firebird (/usr/sbin/firebird) não está instalado";
        return false;
    }
    const QString installed = installedRoot();
    const QString security = installedSecurityDatabase();
    if (installed.isEmpty() || security.isEmpty()) {
        m_error = "a instalação do Firebird não foi encontrada";
        return false;
    }
    if (!m_root.isValid()) {
        m_error = "pasta temporária não criada";
        return false;
    }
    if (::geteuid() == 0) {
        const passwd* pw = ::getpwnam("firebird");
        if (!pw) {
            m_error = "o usuário firebird não existe";
            return false;
        }
        m_uid = pw->pw_uid;
        m_gid = pw->pw_gid;
        m_switchUser = true;
    }
    const QDir root(m_root.path());
    root.mkpath("data");
    root.mkpath("lock");
    root.mkpath("intl");
    // The character sets are copied: loaded through a link the server does not register them.
    for (const QString& f : QDir(installed + "/intl").entryList(QDir::Files))
        QFile::copy(QFileInfo(installed + "/intl/" + f).canonicalFilePath(), root.filePath("intl/" + f));
    for (const char* f : {"plugins", "UDF", "firebird.msg", "plugins.conf"})
        QFile::link(installed + "/" + f, root.filePath(f));
    const QString securityCopy = root.filePath("security3.fdb");
    if (!QFile::copy(security, securityCopy)) {
        m_error = "o banco de segurança " + security + " não pôde ser copiado";
        return false;
    }
    QFile::setPermissions(securityCopy, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_port = freePort();
    if (m_port == 0) {
        m_error = "nenhuma porta livre";
        return false;
    }
    QFile conf(root.filePath("firebird.conf"));
    conf.open(QIODevice::WriteOnly | QIODevice::Truncate);
    conf.write(QStringLiteral("RemoteServicePort = %1\nRemoteBindAddress = 127.0.0.1\nSecurityDatabase = %2\n"
                              "UdfAccess = None\n")
                   .arg(m_port)
                   .arg(securityCopy)
                   .toUtf8());
    conf.close();
    if (m_switchUser) {
        for (const QString& p : {m_root.path(), root.filePath("data"), root.filePath("lock"),
                                 root.filePath("intl"), securityCopy, root.filePath("firebird.conf")})
            own(p, m_uid, m_gid);
        for (const QString& f : QDir(root.filePath("intl")).entryList(QDir::Files))
            own(root.filePath("intl/" + f), m_uid, m_gid);
    }
    m_prepared = true;
    return true;
}

bool OwnFirebirdServer::start() {
    if (running()) return true;
    if (!prepare()) return false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("FIREBIRD", m_root.path());
    env.insert("FIREBIRD_LOCK", m_root.filePath("lock"));
    m_process.setProcessEnvironment(env);
    m_process.setProgram(QString::fromLatin1(kServer));
    m_process.setArguments({});
    m_process.setWorkingDirectory(m_root.path());
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(m_root.filePath("server.log"));
    const bool trocar = m_switchUser;
    const uid_t uid = m_uid;
    const gid_t gid = m_gid;
    m_process.setChildProcessModifier([trocar, uid, gid] {
        // In the child, before the server starts: none of the test's files (its embedded
        // databases) go with it, and it runs as the user the installed server runs as.
        rlimit lim{};
        const int last =
            ::getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur < 65536 ? int(lim.rlim_cur) : 65536;
        for (int fd = 3; fd < last; ++fd) {
            const int flags = ::fcntl(fd, F_GETFD);
            if (flags >= 0) ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
        }
        if (trocar) {
            if (::setgroups(1, &gid) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) ::_exit(127);
        }
    });
    m_process.start();
    if (!m_process.waitForStarted(5000)) {
        m_error = "o servidor não iniciou: " + m_process.errorString();
        return false;
    }
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000) {
        if (m_process.state() != QProcess::Running) {
            QFile log(m_root.filePath("server.log"));
            log.open(QIODevice::ReadOnly);
            m_error = "o servidor terminou ao iniciar: " + QString::fromLocal8Bit(log.readAll());
            return false;
        }
        if (accepts(m_port)) return true;
        QThread::msleep(20);
    }
    m_error = QStringLiteral("o servidor não aceitou conexões na porta %1").arg(m_port);
    stop();
    return false;
}

bool OwnFirebirdServer::running() const {
    return m_process.state() == QProcess::Running;
}

qint64 OwnFirebirdServer::pid() const {
    return running() ? m_process.processId() : 0;
}

void OwnFirebirdServer::kill() {
    if (!running()) return;
    ::kill(static_cast<pid_t>(m_process.processId()), SIGKILL);
    m_process.waitForFinished(10000);
}

void OwnFirebirdServer::stop() {
    if (!running()) return;
    ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
    if (!m_process.waitForFinished(5000)) kill();
}
