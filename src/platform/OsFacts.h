#pragma once
// Facts about the workstation: user name, IPv4 address, the executable's path, the desktop
// folder. Production code reaches them only through osFacts(); tests install a FakeOsFacts.
#include "platform/Seam.h"

#include <QString>

class OsFacts {
public:
    virtual ~OsFacts() = default;
    // The operating-system user name of the session.
    virtual QString userName() const = 0;
    // The workstation's IPv4 address in dotted form.
    virtual QString ipv4Address() const = 0;
    // Full path of the running executable.
    virtual QString executablePath() const = 0;
    // The user's desktop folder.
    virtual QString desktopFolder() const = 0;
    // The workstation's host name.
    virtual QString hostName() const;
};

class SystemOsFacts : public OsFacts {
public:
    // getlogin_r, else $USER, else the password database entry of the effective user, else the
    // name of the home folder.
    QString userName() const override;
    // The first IPv4 address the local host name resolves to, preferring one that is not a
    // loopback address (Debian maps the host name to 127.0.1.1); when the name only gives loopback
    // addresses or does not resolve, the first IPv4 address of an active non-loopback interface;
    // "127.0.0.1" as the last resort.
    QString ipv4Address() const override;
    QString executablePath() const override;
    QString desktopFolder() const override;
};

OsFacts& osFacts();
// Installs an implementation (nullptr restores the default) and returns the previous one.
OsFacts* installOsFacts(OsFacts* facts);
using ScopedOsFacts = ScopedSeam<OsFacts, &installOsFacts>;

// Test double with settable facts. The executable path and the desktop folder start empty:
// a test that needs them points them into its temporary folder.
class FakeOsFacts : public OsFacts {
public:
    QString userName() const override { return m_userName; }
    QString ipv4Address() const override { return m_ipv4; }
    QString executablePath() const override { return m_executablePath; }
    QString desktopFolder() const override { return m_desktopFolder; }
    QString hostName() const override { return m_hostName; }

    void setHostName(const QString& name) { m_hostName = name; }
    void setUserName(const QString& name) { m_userName = name; }
    void setIpv4Address(const QString& address) { m_ipv4 = address; }
    void setExecutablePath(const QString& path) { m_executablePath = path; }
    void setDesktopFolder(const QString& folder) { m_desktopFolder = folder; }

private:
    QString m_userName = QStringLiteral("usuario");
    QString m_ipv4 = QStringLiteral("192.168.0.10");
    QString m_hostName = QStringLiteral("estacao01");
    QString m_executablePath;
    QString m_desktopFolder;
};
