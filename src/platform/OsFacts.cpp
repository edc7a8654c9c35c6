#include "platform/OsFacts.h"

#include <QCoreApplication>
#include <QDir>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QStandardPaths>
#include <QSysInfo>

#include <arpa/inet.h>
#include <netdb.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace {

OsFacts* g_installed = nullptr;

bool isLoopback(const QString& dotted) {
    return dotted.startsWith(QLatin1String("127."));
}

// IPv4 addresses of the local host name, in resolver order.
QStringList hostNameAddresses() {
    QStringList result;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) return result;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &list) != 0) return result;
    for (addrinfo* entry = list; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET) continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text)) {
            const QString dotted = QString::fromLatin1(text).trimmed();
            if (!result.contains(dotted)) result << dotted;
        }
    }
    freeaddrinfo(list);
    return result;
}

QString firstInterfaceAddress() {
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        const auto flags = iface.flags();
        if (!(flags & QNetworkInterface::IsUp) || (flags & QNetworkInterface::IsLoopBack)) continue;
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                return address.toString();
        }
    }
    return {};
}

} // namespace

QString SystemOsFacts::userName() const {
    char name[256] = {};
    if (getlogin_r(name, sizeof name - 1) == 0 && name[0]) return QString::fromLocal8Bit(name);
    const QString fromEnvironment = qEnvironmentVariable("USER").trimmed();
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name &&
        found->pw_name[0])
        return QString::fromLocal8Bit(found->pw_name);
    return QDir(QDir::homePath()).dirName();
}

QString SystemOsFacts::ipv4Address() const {
    const QStringList fromHostName = hostNameAddresses();
    for (const QString& address : fromHostName)
        if (!isLoopback(address)) return address;
    const QString fromInterface = firstInterfaceAddress();
    if (!fromInterface.isEmpty()) return fromInterface;
    if (!fromHostName.isEmpty()) return fromHostName.first();
    return QStringLiteral("127.0.0.1");
}

QString SystemOsFacts::executablePath() const {
    return QCoreApplication::applicationFilePath();
}

QString SystemOsFacts::desktopFolder() const {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

OsFacts& osFacts() {
    static SystemOsFacts systemFacts;
    return g_installed ? *g_installed : systemFacts;
}

OsFacts* installOsFacts(OsFacts* facts) {
    OsFacts* previous = g_installed;
    g_installed = facts;
    return previous;
}

QString OsFacts::hostName() const {
    return QSysInfo::machineHostName();
}
