#pragma once
// What the demo-data generator needs of a database: run statements, and run one prepared
// statement many times with positional parameters ('?' placeholders) for bulk loads.
#include <QString>
#include <QVariant>
#include <QVariantList>

class SqlSink {
public:
    virtual ~SqlSink() = default;
    // Runs one statement (DDL or DML) in the current transaction.
    virtual void exec(const QString& sql) = 0;
    // Prepares a statement with '?' placeholders; returns a handle for execPrepared.
    virtual int prepare(const QString& sql) = 0;
    // Runs a prepared statement with the given values (QVariant() is NULL; QDate, QDateTime,
    // int, qint64, double, QString and QByteArray (for blobs) are accepted).
    virtual void execPrepared(int handle, const QVariantList& values) = 0;
    // Commits the work so far and goes on in a new transaction.
    virtual void commit() = 0;
    // Runs a query and returns its first column of the first row (NULL when none).
    virtual QVariant scalar(const QString& sql) = 0;
};
