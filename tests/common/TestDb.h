#pragma once
// A fresh embedded database per test suite, created from schema/ (or from a script of the
// test's own), in a temporary folder that is removed afterwards.
#include "data/Database.h"
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

class TestDb {
public:
    // With an empty script the database gets the whole schema/.
    explicit TestDb(const QString& script = QString());
    ~TestDb();

    Database db;
    Transaction tr; // default transaction of db
    QString path;
    QString folder() const { return m_dir.path(); }

    // Runs a statement on tr and commits retaining.
    void exec(const QString& sql);
    // First column of the first row (null when none).
    QVariant scalar(const QString& sql);
    // Makes sure the engine's lock folder is writable for the running user.
    static void prepareEngine();

private:
    QTemporaryDir m_dir;
};
