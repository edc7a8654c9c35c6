#include "data/KeyAllocation.h"
#include <limits>

namespace {

// Largest value the column of the aggregate can hold (the aggregate has the column's type).
qint64 limitOf(const Field& f, bool negative) {
    switch (f.kind()) {
    case FieldKind::SmallInt:
        return negative ? std::numeric_limits<qint16>::min() : std::numeric_limits<qint16>::max();
    case FieldKind::Integer:
        return negative ? std::numeric_limits<qint32>::min() : std::numeric_limits<qint32>::max();
    default:
        return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    }
}

[[noreturn]] void esgotado(const QString& tabela, const QString& campo) {
    throw AppError(
        QStringLiteral("Não há mais códigos disponíveis para %1 da tabela %2: o limite do campo foi "
                       "atingido. Avise o suporte técnico.")
            .arg(campo, tabela));
}

// Runs the aggregate and returns its value (0 for no rows) with the column's limit.
qint64 aggregate(Query& q, const QString& sql, const char* column, qint64& limit, bool negative) {
    q.close();
    q.setSqlText(sql);
    q.open();
    Field* f = q.fieldByName(column);
    const qint64 v = f->value().toLongLong();
    limit = limitOf(*f, negative);
    q.close();
    return v;
}

} // namespace

qint64 AdicionaID(Query& q, const QString& tabela, const QString& campo) {
    qint64 limit = 0;
    const qint64 ultimo =
        aggregate(q, " select max(" + campo + ") as ultimo from " + tabela, "ultimo", limit, false);
    if (ultimo <= 0) return 1;
    if (ultimo >= limit) esgotado(tabela, campo);
    return ultimo + 1;
}

qint64 AdicionaIDNegativo(Query& q, const QString& tabela, const QString& campo) {
    qint64 limit = 0;
    const qint64 ultimo =
        aggregate(q, " select min(" + campo + ") as ultimo" + " from " + tabela, "ultimo", limit, true);
    if (ultimo >= 0) return -1;
    if (ultimo <= limit) esgotado(tabela, campo);
    return ultimo - 1;
}

qint64 ProximoID(const QString& tabela, const QString& campo, Database& db) {
    Query q(&db);
    qint64 limit = 0;
    const qint64 id =
        aggregate(q, " select max(" + campo + ") as ID" + " from " + tabela, "ID", limit, false);
    if (id <= 0) return 1;
    if (id >= limit) esgotado(tabela, campo);
    return id + 1;
}

QString tableOfOrigin(const QString& origin) {
    const QString first = origin.section('.', 0, 0);
    return first.size() >= 2 ? first.mid(1, first.size() - 2) : first;
}
