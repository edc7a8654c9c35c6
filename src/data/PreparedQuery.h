#pragma once
// A statement prepared once and run many times with new parameter values. The report
// assemblies read a whole analysis through a few of these, reused for every block, sample and
// equipment, instead of preparing a new statement text for each row.
#include "data/Statement.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <vector>

class PreparedQuery {
public:
    // Prepares the text, whose named parameters (:NAME) may appear more than once, on the
    // connection and transaction (started when it is not active).
    PreparedQuery(Database* db, Transaction* tr, const QString& sqlText);
    PreparedQuery(const PreparedQuery&) = delete;
    PreparedQuery& operator=(const PreparedQuery&) = delete;

    // Every occurrence of the parameter (name in any letter case) takes the value; throws
    // std::logic_error for a name the statement does not have.
    void setParam(const QString& name, const QVariant& value);
    bool hasParam(const QString& name) const { return m_params.contains(name.toUpper()); }

    // A select: opens the cursor before its first row (next() reaches it), closing the
    // previous one.
    void open();
    // The next row; false at the end, where the cursor closes.
    bool next();
    void close();
    // open() and next(): whether there is a first row.
    bool first() {
        open();
        return next();
    }

    // A column of the current row by its name or alias (any letter case); text blobs come as
    // text, other blobs as bytes, NULL as a null QVariant. Throws std::logic_error for a
    // column the statement does not return.
    QVariant value(const QString& column) const;
    QVariant value(int column) const;
    int columnIndex(const QString& column) const;

    // A statement that returns no rows.
    void execute();

    Transaction* transaction() const { return m_tr; }

private:
    Database* m_db;
    Transaction* m_tr;
    Statement m_st;
    QHash<QString, std::vector<int>> m_params; // upper-case name -> positions
    std::vector<char> m_row;
    bool m_onRow = false;
};
