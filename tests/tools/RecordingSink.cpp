#include "RecordingSink.h"
#include <set>

namespace {

bool kindMatches(const QString& type, const QVariant& v) {
    const int id = v.typeId();
    if (type == "INTEGER" || type == "SMALLINT") return id == QMetaType::Int || id == QMetaType::LongLong;
    if (type == "VARCHAR" || type == "CHAR") return id == QMetaType::QString;
    if (type == "DATE") return id == QMetaType::QDate;
    if (type == "TIME") return id == QMetaType::QTime;
    if (type == "TIMESTAMP") return id == QMetaType::QDateTime;
    if (type == "NUMERIC")
        return id == QMetaType::Double || id == QMetaType::Int || id == QMetaType::LongLong;
    if (type == "BLOB") return id == QMetaType::QByteArray;
    return false;
}

QString keyOf(const RecordedRow& r, const QStringList& columns, bool* hasNull = nullptr) {
    QStringList parts;
    for (const QString& c : columns) {
        const QVariant v = r.values.value(c);
        if (v.isNull() && hasNull) *hasNull = true;
        parts << v.toString();
    }
    return parts.join('\x1f');
}

} // namespace

QStringList schemaViolations(const RecordingSink& sink, const Schema& schema, int limit) {
    QStringList out;
    auto add = [&](const QString& m) {
        if (out.size() < limit) out << m;
    };
    for (const auto& [table, rows] : sink.tables) {
        const auto t = schema.tables.find(table);
        if (t == schema.tables.end()) {
            add("unknown table " + table);
            continue;
        }
        for (const RecordedRow& r : rows) {
            for (auto it = r.values.cbegin(); it != r.values.cend(); ++it) {
                const auto c = t->second.find(it.key());
                if (c == t->second.end()) {
                    add(QString("unknown column %1.%2").arg(table, it.key()));
                    continue;
                }
                if (it.value().isNull()) continue;
                if (!kindMatches(c->second.type, it.value()))
                    add(QString("%1.%2: value of kind %3 for %4")
                            .arg(table, it.key(), it.value().typeName(), c->second.type));
                if (it.value().typeId() == QMetaType::QString) {
                    const QString s = it.value().toString();
                    if (c->second.width && s.size() > c->second.width)
                        add(QString("%1.%2: '%3' wider than %4")
                                .arg(table, it.key(), s)
                                .arg(c->second.width));
                    if (QString::fromLatin1(s.toLatin1()) != s)
                        add(QString("%1.%2: '%3' is not Latin-1").arg(table, it.key(), s));
                }
            }
            for (const auto& [name, col] : t->second)
                if (col.notNull && !col.hasDefault && r.values.value(name).isNull())
                    add(QString("%1.%2 is required (row %3)").arg(table, name).arg(r.seq));
        }
        const auto pk = schema.primaryKeys.find(table);
        if (pk != schema.primaryKeys.end()) {
            std::set<QString> seen;
            for (const RecordedRow& r : rows)
                if (!seen.insert(keyOf(r, pk->second)).second)
                    add(QString("%1: duplicate primary key %2").arg(table, keyOf(r, pk->second)));
        }
    }
    for (const ForeignKey& fk : schema.foreignKeys) {
        std::map<QString, qint64> parents;
        for (const RecordedRow& r : sink.rows(fk.parent))
            parents.emplace(r.values.value(fk.parentColumn).toString(), r.seq);
        for (const RecordedRow& r : sink.rows(fk.table)) {
            const QVariant v = r.values.value(fk.column);
            if (v.isNull()) continue;
            const auto p = parents.find(v.toString());
            if (p == parents.end())
                add(QString("%1: %2.%3 = %4 has no parent").arg(fk.name, fk.table, fk.column, v.toString()));
            else if (p->second > r.seq)
                add(QString("%1: %2.%3 = %4 written before its parent")
                        .arg(fk.name, fk.table, fk.column, v.toString()));
        }
    }
    for (const UniqueIndex& u : schema.uniqueIndexes) {
        std::set<QString> seen;
        for (const RecordedRow& r : sink.rows(u.table)) {
            bool hasNull = false;
            const QString k = keyOf(r, u.columns, &hasNull);
            if (!hasNull && !seen.insert(k).second) add(QString("%1: duplicate %2").arg(u.name, k));
        }
    }
    return out;
}
