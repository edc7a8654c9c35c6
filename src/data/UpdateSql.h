#pragma once
// The four statements that write a cached record back: refresh, modify, insert, delete.
// Parameters are named after columns; OLD_<column> takes the value as it was read.
#include "data/DataSet.h"
#include <QStringList>

class Query;

class UpdateSql {
public:
    explicit UpdateSql(const QString& name = QString()) : m_name(name) {}
    const QString& name() const { return m_name; }

    QStringList refreshSql, modifySql, insertSql, deleteSql;

    // For tables whose column list belongs to the shared database (the parameter row): the
    // statements are built from the dataset's own columns of `table`, keyed on `key`. The
    // modify statement sets only the columns the user changed, so a column another
    // application changed meanwhile is not overwritten with the value read earlier.
    void generateFor(const QString& table, const QString& key) {
        m_genTable = table;
        m_genKey = key;
    }
    bool generated() const { return !m_genTable.isEmpty(); }

    void apply(Query& q, UpdateKind kind, const char* rec);
    // The statement text that would run for kind (built for generated objects).
    QString statementFor(const Query& q, UpdateKind kind, const char* rec) const;

private:
    QString m_name, m_genTable, m_genKey;
};
