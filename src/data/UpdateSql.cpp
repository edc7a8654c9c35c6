#include "data/UpdateSql.h"
#include "data/Query.h"
#include "data/SqlText.h"

QString UpdateSql::modifyChanged(const Query& q, const QString& table, const QString& key,
                                 const QStringList& cols, const char* rec) const {
    QStringList sets, unchangedSince;
    for (const QString& c : cols) {
        const QVariant now = q.recordValue(rec, c, false), was = q.recordValue(rec, c, true);
        if (now == was && now.isNull() == was.isNull()) continue;
        sets.append(c + " = :" + c);
        // Null-safe: a column read as empty must still be empty.
        if (c.compare(key, Qt::CaseInsensitive) != 0)
            unchangedSince.append(c + " is not distinct from :OLD_" + c);
    }
    if (sets.isEmpty()) return {};
    QString where = key + " = :OLD_" + key;
    for (const QString& u : unchangedSince)
        where += " and " + u;
    return "update " + table + " set " + sets.join(", ") + " where " + where;
}

QString UpdateSql::statementFor(const Query& q, UpdateKind kind, const char* rec) const {
    if (!generated()) {
        if (kind == UpdateKind::Modify && !m_columns.isEmpty())
            return modifyChanged(q, m_colTable, m_colKey, m_columns, rec);
        const QStringList& lines = kind == UpdateKind::Insert   ? insertSql
                                   : kind == UpdateKind::Modify ? modifySql
                                                                : deleteSql;
        return lines.join('\n');
    }
    // Columns of the generated table, in the dataset's order.
    QStringList cols;
    for (const ColumnLayout& c : q.layout().columns)
        if (c.relation.trimmed().compare(m_genTable, Qt::CaseInsensitive) == 0)
            cols.append(c.column.trimmed());
    const QString key = m_genKey.toUpper();
    switch (kind) {
    case UpdateKind::Insert: {
        QStringList params;
        for (const QString& c : cols)
            params.append(':' + c);
        return "insert into " + m_genTable + " (" + cols.join(", ") + ") values (" + params.join(", ") + ")";
    }
    case UpdateKind::Modify:
        return modifyChanged(q, m_genTable, key, cols, rec);
    case UpdateKind::Delete:
        return "delete from " + m_genTable + " where " + key + " = :OLD_" + key;
    }
    return {};
}

void UpdateSql::apply(Query& q, UpdateKind kind, const char* rec) {
    const QString text = statementFor(q, kind, rec);
    if (text.trimmed().isEmpty()) {
        // A modify in which no column changed writes nothing.
        if (kind == UpdateKind::Modify && (generated() || !m_columns.isEmpty())) return;
        throw AppError(
            QString("%1: instrução de atualização não definida").arg(m_name.isEmpty() ? q.name() : m_name));
    }
    sql::ParsedSql parsed = sql::parseNamedParams(text);
    Transaction* tr = q.transaction();
    tr->ensureActive();
    Statement st(q.database(), tr);
    st.prepare(parsed.text);
    for (int i = 0; i < parsed.names.size(); ++i) {
        const QString& n = parsed.names[i];
        const bool old = n.startsWith("OLD_", Qt::CaseInsensitive);
        const QString column = old ? n.mid(4) : n;
        Field* f = q.findField(column);
        st.setParamLabel(i, f ? f->displayLabel() : column);
        st.setParam(i, q.recordValue(rec, column, old));
    }
    st.execute();
    if (kind != UpdateKind::Insert && st.rowsAffected() == 0) throw RecordConflict(kind);
}
