#pragma once
// Test doubles for the site generator: a sink that records every inserted row (and answers
// the max/count questions the generator asks), and the tables, keys and indexes of schema/
// read from the DDL files, to check recorded rows against them.
#include "sitegen/SqlSink.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <map>
#include <stdexcept>
#include <vector>

struct RecordedRow {
    QVariantMap values; // upper-case column -> value
    qint64 seq = 0;     // position among all rows written
};

class RecordingSink : public SqlSink {
public:
    std::map<QString, std::vector<RecordedRow>> tables;
    QStringList executed;
    int commits = 0;
    qint64 longestRun = 0; // most rows written between two commits

    void exec(const QString& sql) override { executed << sql; }
    int prepare(const QString& sql) override {
        static const QRegularExpression re(R"(^insert into (\w+) \(([^)]*)\) values \(([?, ]*)\)$)");
        const auto m = re.match(sql);
        if (!m.hasMatch()) throw std::runtime_error("unexpected statement: " + sql.toStdString());
        Prepared p{m.captured(1).toUpper(), m.captured(2).toUpper().split(", ")};
        if (m.captured(3).count('?') != p.columns.size())
            throw std::runtime_error("placeholders do not match columns: " + sql.toStdString());
        m_prepared.push_back(p);
        return int(m_prepared.size()) - 1;
    }
    void execPrepared(int handle, const QVariantList& values) override {
        const Prepared& p = m_prepared.at(size_t(handle));
        if (values.size() != p.columns.size()) throw std::runtime_error("wrong number of values");
        RecordedRow r;
        for (int i = 0; i < values.size(); ++i)
            r.values.insert(p.columns[i], values[i]);
        r.seq = m_seq++;
        tables[p.table].push_back(std::move(r));
        longestRun = std::max(longestRun, ++m_run);
    }
    void commit() override {
        ++commits;
        m_run = 0;
    }
    QVariant scalar(const QString& sql) override {
        static const QRegularExpression re(R"(^select (max\((\w+)\)|count\(\*\)) from (\w+)$)",
                                           QRegularExpression::CaseInsensitiveOption);
        const auto m = re.match(sql);
        if (!m.hasMatch()) throw std::runtime_error("unexpected query: " + sql.toStdString());
        const auto& written = rows(m.captured(3).toUpper());
        if (m.captured(1).startsWith("count", Qt::CaseInsensitive)) return qint64(written.size());
        QVariant best;
        for (const auto& r : written) {
            const QVariant v = r.values.value(m.captured(2).toUpper());
            if (!v.isNull() && (best.isNull() || v.toLongLong() > best.toLongLong())) best = v;
        }
        return best;
    }

    // Rows written into a table (none for a table never written).
    const std::vector<RecordedRow>& rows(const QString& table) const {
        static const std::vector<RecordedRow> none;
        const auto it = tables.find(table);
        return it == tables.end() ? none : it->second;
    }
    // Rows of a table by the text of one column (for lookups by key).
    std::map<QString, const RecordedRow*> index(const QString& table, const QString& column) const {
        std::map<QString, const RecordedRow*> out;
        for (const auto& r : rows(table))
            out[r.values.value(column).toString()] = &r;
        return out;
    }

private:
    struct Prepared {
        QString table;
        QStringList columns;
    };
    std::vector<Prepared> m_prepared;
    qint64 m_seq = 0;
    qint64 m_run = 0;
};

// Counts rows per table without keeping them, for the full-size large site.
class CountingSink : public SqlSink {
public:
    std::map<QString, qint64> counts;
    std::map<QString, qint64> maxKey;
    qint64 longestRun = 0;
    void exec(const QString&) override {}
    int prepare(const QString& sql) override {
        const QString table = sql.section(' ', 2, 2).toUpper();
        m_tables.push_back(table);
        return int(m_tables.size()) - 1;
    }
    void execPrepared(int handle, const QVariantList& values) override {
        const QString& t = m_tables[size_t(handle)];
        ++counts[t];
        maxKey[t] = std::max(maxKey[t], values.value(0).toLongLong());
        longestRun = std::max(longestRun, ++m_run);
    }
    void commit() override { m_run = 0; }
    QVariant scalar(const QString& sql) override {
        const QString table = sql.section(' ', -1).toUpper();
        if (sql.contains("count(*)")) return counts[table];
        return counts[table] ? QVariant(maxKey[table]) : QVariant();
    }

private:
    std::vector<QString> m_tables;
    qint64 m_run = 0;
};

struct SchemaColumn {
    QString type; // INTEGER, VARCHAR, CHAR, DATE, TIME, TIMESTAMP, NUMERIC, SMALLINT, BLOB
    int width = 0;
    bool notNull = false;
    bool hasDefault = false;
};
struct ForeignKey {
    QString name, table, column, parent, parentColumn;
};
struct UniqueIndex {
    QString name, table;
    QStringList columns;
};

struct Schema {
    std::map<QString, std::map<QString, SchemaColumn>> tables;
    std::map<QString, QStringList> columnOrder; // columns of each table in DDL order
    std::map<QString, QStringList> primaryKeys;
    std::vector<ForeignKey> foreignKeys;
    std::vector<UniqueIndex> uniqueIndexes;

    static Schema load(const QString& dir) {
        Schema s;
        QString all;
        const QStringList files = QDir(dir).entryList({"*.sql"}, QDir::Files, QDir::Name);
        for (const QString& f : files) {
            QFile file(QDir(dir).filePath(f));
            if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read schema file");
            all += QString::fromUtf8(file.readAll()) + "\n";
        }
        static const QRegularExpression table(R"(CREATE TABLE (\w+) \((.*?)\n\);)",
                                              QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression column(R"(^\s+(\w+)\s+(BLOB|[A-Z]+)(?:\((\d+)(?:,\d+)?\))?(.*)$)");
        static const QRegularExpression pk(R"(PRIMARY KEY \(([\w, ]+)\))");
        for (auto it = table.globalMatch(all); it.hasNext();) {
            const auto m = it.next();
            auto& cols = s.tables[m.captured(1)];
            for (const QString& line : m.captured(2).split('\n')) {
                if (line.trimmed().startsWith("CONSTRAINT")) {
                    const auto p = pk.match(line);
                    if (p.hasMatch()) s.primaryKeys[m.captured(1)] = p.captured(1).split(", ");
                    continue;
                }
                const auto c = column.match(line);
                if (!c.hasMatch() || line.trimmed().startsWith("--")) continue;
                SchemaColumn sc;
                sc.type = c.captured(2);
                sc.width = c.captured(3).toInt();
                sc.notNull = c.captured(4).contains("NOT NULL");
                sc.hasDefault = c.captured(4).contains("DEFAULT");
                cols[c.captured(1)] = sc;
                s.columnOrder[m.captured(1)] << c.captured(1);
            }
        }
        static const QRegularExpression fk(
            R"(ALTER TABLE (\w+) ADD CONSTRAINT (\w+)\s+FOREIGN KEY \((\w+)\) REFERENCES (\w+) \((\w+)\))");
        for (auto it = fk.globalMatch(all); it.hasNext();) {
            const auto m = it.next();
            s.foreignKeys.push_back(
                {m.captured(2), m.captured(1), m.captured(3), m.captured(4), m.captured(5)});
        }
        static const QRegularExpression unq(R"(CREATE UNIQUE INDEX (\w+) ON (\w+) \(([^)]+)\))");
        for (auto it = unq.globalMatch(all); it.hasNext();) {
            const auto m = it.next();
            s.uniqueIndexes.push_back({m.captured(1), m.captured(2), m.captured(3).split(", ")});
        }
        return s;
    }
};

// Problems of the recorded rows against the schema: unknown tables or columns, missing
// required values, texts too wide or outside Latin-1, values of the wrong kind, duplicate
// primary keys and unique index values, and foreign keys pointing at rows not written before.
// At most `limit` messages.
QStringList schemaViolations(const RecordingSink& sink, const Schema& schema, int limit = 20);
