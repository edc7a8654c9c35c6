#pragma once
// Connection and transactions on the Firebird OO API.
#include "data/DatabaseError.h"
#include "data/FbPtr.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
class IMaster;
class IStatus;
} // namespace Firebird

class Statement;
class Transaction;

// Fixed password of the shared database.
inline constexpr const char* kDatabasePassword = "quillfern";
// Seconds a connection to a server may take before it fails.
inline constexpr int kConnectTimeoutSeconds = 15;

// One database connection. Move-only; disconnects on destruction.
class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Connection string: "host:/path/file.fdb" or a plain local path (embedded engine).
    void setDatabaseName(const QString& name) { m_name = name; }
    const QString& databaseName() const { return m_name; }
    void setUser(const QString& user) { m_user = user; }
    const QString& user() const { return m_user; }
    void setPassword(const QString& password) { m_password = password; }
    const QString& password() const { return m_password; }
    // Connection character set; empty sends none (the engine's NONE).
    void setCharacterSet(const QString& cs) { m_charset = cs; }
    const QString& characterSet() const { return m_charset; }

    void connect();
    void disconnect();
    // Whether the connection is usable. After an error that reports a lost connection (server
    // gone, attachment killed) the attachment is checked once and dropped when it is dead.
    bool connected() const;
    // Attaches again after a lost connection (not after disconnect()).
    void ensureConnected();

    // Creates a new database file (ISO8859_1, page size 8192, dialect 3) and stays connected.
    void create();

    // Session context variables (namespace USER_SESSION) set on every attachment: the first one
    // and each one after a lost connection. The database's audit trail reads from them who
    // works on this connection. Setting them on a connected database applies them at once.
    void setSessionContext(std::vector<std::pair<QString, QString>> variables);
    const std::vector<std::pair<QString, QString>>& sessionContext() const { return m_context; }

    // The transaction used by queries that have none of their own.
    void setDefaultTransaction(Transaction* t) { m_default = t; }
    Transaction* defaultTransaction() const { return m_default; }

    Firebird::IAttachment* attachment() const;

    // Registered by Transaction so that disconnect can roll back what is left.
    void attachTransaction(Transaction* t);
    void detachTransaction(Transaction* t);
    // Registered by Statement: its handles are freed before the attachment goes away (the
    // client library aborts the program when a statement outlives its attachment).
    void attachStatement(Statement* s);
    void detachStatement(Statement* s);

    // Statement text at the boundary: Windows-1252, as the other applications of the shared
    // database write it through their ISO8859_1 connections.
    static QByteArray encode(const QString& s);
    static QString decode(const char* p, int n);

private:
    QByteArray buildDpb(bool create) const;
    void attach(bool create);
    void dropLost();
    void freeStatements();
    void applySessionContext();

    QString m_name;
    QString m_user = "SYSDBA";
    QString m_password = kDatabasePassword;
    QString m_charset = "ISO8859_1";
    FbPtr<Firebird::IAttachment> m_att;
    bool m_wanted = false; // connected by the program, and not disconnected since
    mutable unsigned m_seenEpoch = 0;
    Transaction* m_default = nullptr;
    std::vector<std::pair<QString, QString>> m_context;
    std::vector<Transaction*> m_transactions;
    std::vector<Statement*> m_statements;
};

// A transaction: read_committed, rec_version, nowait, write.
class Transaction {
public:
    explicit Transaction(Database* db = nullptr);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void setDatabase(Database* db);
    Database* database() const { return m_db; }

    void start();
    // Ends the transaction: lists still fetching from it stop at the rows they hold.
    void commit();
    // Commits the work and keeps the transaction and the cursors of its open lists: a hard
    // commit when no list is fetching from it, a retaining one otherwise.
    void commitKeepingCursors();
    void commitRetaining();
    void rollback();
    // Undoes the work since the last commit and keeps the transaction (and its cursors) open.
    void rollbackRetaining();
    bool active() const { return static_cast<bool>(m_tra); }
    // Whether a statement other than a select ran in it since it started or last committed or
    // rolled back: another connection would not see that work yet.
    bool hasUncommittedWrites() const { return m_tra && m_wrote; }
    void markWritten() { m_wrote = true; }
    // Starts the transaction when it is not active.
    void ensureActive();

    Firebird::ITransaction* handle();

    // Called when the connection goes away: its lists stop fetching, the handle is released.
    void forget();

    // Open cursors, closed before the transaction ends (commit, rollback, lost connection).
    void addEndListener(const void* key, std::function<void()> fn) { m_endListeners[key] = std::move(fn); }
    void removeEndListener(const void* key) { m_endListeners.erase(key); }
    // Expires when the transaction object is destroyed.
    std::weak_ptr<void> lifeToken() const { return m_life; }

private:
    void ending();
    void dropIfLost();
    std::map<const void*, std::function<void()>> m_endListeners;
    std::shared_ptr<void> m_life = std::make_shared<int>(0);
    Database* m_db = nullptr;
    FbPtr<Firebird::ITransaction> m_tra;
    bool m_wrote = false;
};

// True when the error says that the connection with the database is gone (server stopped or
// unreachable, attachment ended).
bool isConnectionLost(const DatabaseError& e);

// Firebird master interface, shared by the layer.
Firebird::IMaster* fbMaster();
// Throws DatabaseError built from a failed status.
[[noreturn]] void throwStatus(Firebird::IStatus* status);
