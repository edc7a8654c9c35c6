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

// Where a clause keyword ("where", "order by", "from", "order") starts in a statement: the
// first occurrence at or after `from` that stands as a whole word outside quoted text, quoted
// identifiers, comments and parentheses (a subquery's own clauses are not the statement's).
// The blanks between the words of the keyword may be any white space. -1 when there is none.
// The framework writes its clauses in lower case, so the letter case counts unless told.
int clausePos(const QString& sql, const QString& keyword, Qt::CaseSensitivity cs = Qt::CaseSensitive,
              int from = 0);
// The statement before its clause `keyword` (the whole statement when it has none).
QString beforeClause(const QString& sql, const QString& keyword, Qt::CaseSensitivity cs = Qt::CaseSensitive);
// The statement from its clause `keyword` on (empty when it has none).
QString fromClause(const QString& sql, const QString& keyword, Qt::CaseSensitivity cs = Qt::CaseSensitive);
// The statement from its own "from" keyword, as written, up to its own ordering: its tables and
// condition. Empty when it has none.
QString fromPart(const QString& sql, Qt::CaseSensitivity cs = Qt::CaseSensitive);
// " select count(*) as <alias> " and the statement's fromPart: the number of rows it gives.
// Empty when it has no "from".
QString countStatement(const QString& sql, const QString& alias);
// What joins one more condition to the statement: " and " after a condition of its own,
// " where " when it has none.
QString conditionJoin(const QString& sql, Qt::CaseSensitivity cs = Qt::CaseSensitive);

// A list's statement cut where the record screens cut it: the part before its own condition,
// the condition ("where ..." up to the ordering, empty when it has none) and the ordering
// ("order by ...", empty when it has none). A statement with both loses the blanks at its ends.
struct Clauses {
    QString head;
    QString where;
    QString orderBy;
};
Clauses splitClauses(const QString& sql);
// The list's statement showing every row: its own condition replaced by " where 0=0 " and the
// screen's fixed condition `mywhere` ("where ...", may be empty) after it, then the screen's
// ordering `myorderby` ("order by ...", may be empty).
QString showAllStatement(const QString& sql, const QString& mywhere, const QString& myorderby);

// True when the statement's own condition (its top-level where, outside quoted text and
// subqueries) is a conjunction holding the fixed false condition 0=1: it selects no row.
bool conditionAlwaysFalse(const QString& sql);
// True when the select list of the statement names an aggregate (count, sum, min, max, avg,
// list) outside subqueries: such a statement gives a row even when no row matches.
bool selectsAggregate(const QString& sql);

// Splits a DDL script into statements: ';' ends a statement, "SET TERM x ;" changes the
// terminator for PSQL bodies; comments are dropped.
QStringList splitScript(const QString& script);

} // namespace sql
