#pragma once
// A Firebird server process that belongs to one test, for the faults a shared server cannot
// be put through: a server that dies (kill -9) and one that comes back. It runs from a folder
// of its own (firebird.conf with a free port on 127.0.0.1, a copy of the installed security
// database, its own lock folder, the installed plugins and messages), as user firebird when the
// test runs as root. It never touches the shared server on port 3050.
//
//   OwnFirebirdServer srv;
//   if (!srv.start()) GTEST_SKIP() << srv.error().toStdString();
//   db.setDatabaseName(srv.connectionString("x.fdb"));   // "127.0.0.1/<port>:<folder>/x.fdb"
//   srv.kill();     // SIGKILL, as a crashed server
//   srv.start();    // the same port and folder again
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class OwnFirebirdServer {
public:
    OwnFirebirdServer();
    // Stops the server when it still runs.
    ~OwnFirebirdServer();
    OwnFirebirdServer(const OwnFirebirdServer&) = delete;
    OwnFirebirdServer& operator=(const OwnFirebirdServer&) = delete;

    // Starts the server (again, after kill() or stop()) and waits until it accepts
    // connections. False with error() set when it cannot run on this machine.
    bool start();
    // Ends the server with SIGKILL and waits until the process is gone.
    void kill();
    // Ends the server with SIGTERM (SIGKILL after a few seconds) and waits.
    void stop();
    bool running() const;
    qint64 pid() const;

    int port() const { return m_port; }
    // The folder for the databases, writable by the server.
    QString dataFolder() const;
    // "127.0.0.1/<port>:<dataFolder>/<file>".
    QString connectionString(const QString& file) const;
    const QString& error() const { return m_error; }

private:
    bool prepare();
    QTemporaryDir m_root;
    QProcess m_process;
    int m_port = 0;
    bool m_prepared = false;
    unsigned m_uid = 0, m_gid = 0;
    bool m_switchUser = false;
    QString m_error;
};
