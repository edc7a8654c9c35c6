#pragma once
// Keys allocated by the client: largest key plus one, or the next negative key for rows the
// system registers itself. Nothing is reserved; a concurrent insert of the same key is
// refused by the table's primary key. Keys keep the width of their column: a BIGINT key is
// never cut to 32 bits, and a column whose largest value is taken gets a clear refusal.
#include "data/Query.h"

// " select max(" + column + ") as ultimo from " + table on q; 1 when the maximum is missing or
// not positive.
qint64 AdicionaID(Query& q, const QString& tabela, const QString& campo);
// " select min(" + column + ") as ultimo" + " from " + table; min - 1 when below 0, else -1.
qint64 AdicionaIDNegativo(Query& q, const QString& tabela, const QString& campo);
// The AdicionaID rule on a query of its own on db (its default transaction).
qint64 ProximoID(const QString& tabela, const QString& campo, Database& db);
// Table name of a field origin such as "TAB_TP_ANALISE"."ID_TP_ANALISE".
QString tableOfOrigin(const QString& origin);
