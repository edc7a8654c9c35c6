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
    // The table, key and columns the hand-written statements cover: the modify statement that
    // runs then sets only the columns whose value changed (and nothing runs when none did), so
    // two workstations editing different columns of one row never overwrite each other.
    void setColumns(const QString& table, const QString& key, const QStringList& columns) {
        m_colTable = table;
        m_colKey = key;
        m_columns = columns;
    }

    void apply(Query& q, UpdateKind kind, const char* rec);
    // The statement text that would run for kind (built for generated objects).
    QString statementFor(const Query& q, UpdateKind kind, const char* rec) const;

private:
    QString modifyChanged(const Query& q, const QString& table, const QString& key, const QStringList& cols,
                          const char* rec) const;
    QString m_name, m_genTable, m_genKey;
    QString m_colTable, m_colKey;
    QStringList m_columns;
};
