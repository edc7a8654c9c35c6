#pragma once
// The four statements that write a cached record back: refresh, modify, insert, delete.
// Parameters are named after columns; OLD_<column> takes the value as it was read. A modify
// built from the columns sets only those that changed and finds its row only while their
// values are still the ones read, so a change another workstation made meanwhile is never
// overwritten unseen.
#include "data/DataSet.h"
#include <QStringList>

class Query;

// A modify or delete whose statement touched no row: another workstation deleted the record,
// or (for a modify) changed a column being written since it was read. Nothing was written.
class RecordConflict : public ValidationError {
public:
    explicit RecordConflict(UpdateKind kind)
        : ValidationError(kind == UpdateKind::Delete
                              ? QStringLiteral("Este registro já havia sido excluído por outra estação de "
                                               "trabalho.")
                              : QStringLiteral("Outra estação de trabalho alterou ou excluiu este registro "
                                               "depois que ele foi lido; a alteração não foi gravada. "
                                               "Atualize os dados (F4) e faça a alteração de novo.")),
          m_kind(kind) {}
    UpdateKind kind() const { return m_kind; }

private:
    UpdateKind m_kind;
};

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

    // The table and key column the statements write, when known (generated objects and those
    // given their columns).
    QString table() const { return generated() ? m_genTable : m_colTable; }
    QString keyColumn() const { return generated() ? m_genKey : m_colKey; }

    // Runs the statement for kind; a modify or delete that touches no row throws RecordConflict.
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
