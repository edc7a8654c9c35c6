#pragma once
// Helpers for SQL text built by concatenation.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace sql {

// Standard SQL quoting: enclosed in single quotes, embedded single quotes doubled.
QString quoted(const QString& text);
// 'dd.mm.yyyy', the unambiguous form the database reads.
QString quotedDate(const QDate& d);
// 'dd.mm.yyyy hh:mm:ss'
QString quotedDateTime(const QDateTime& dt);

// Named parameters (:NAME) replaced by '?', skipping quoted text, quoted identifiers and
// comments. Names are returned in order of appearance (a name may appear twice).
struct ParsedSql {
    QString text;
    QStringList names;
};
ParsedSql parseNamedParams(const QString& sql);

// True for the statements "commit retain" and "commit" (blanks and case ignored).
enum class CommitKind { None, Commit, CommitRetain };
CommitKind commitKind(const QString& sql);

// Splits a DDL script into statements: ';' ends a statement, "SET TERM x ;" changes the
// terminator for PSQL bodies; comments are dropped.
QStringList splitScript(const QString& script);

} // namespace sql
