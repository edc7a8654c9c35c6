#include "data/KeyAllocation.h"

int AdicionaID(Query& q, const QString& tabela, const QString& campo) {
    q.close();
    q.setSqlText(" select max(" + campo + ") as ultimo from " + tabela);
    q.open();
    const int ultimo = q.fieldByName("ultimo")->asInteger();
    q.close();
    return ultimo <= 0 ? 1 : ultimo + 1;
}

int AdicionaIDNegativo(Query& q, const QString& tabela, const QString& campo) {
    q.close();
    q.setSqlText(" select min(" + campo + ") as ultimo" + " from " + tabela);
    q.open();
    const int ultimo = q.fieldByName("ultimo")->asInteger();
    q.close();
    return ultimo < 0 ? ultimo - 1 : -1;
}

int ProximoID(const QString& tabela, const QString& campo, Database& db) {
    Query q(&db);
    q.setSqlText(" select max(" + campo + ") as ID" + " from " + tabela);
    q.open();
    const int id = q.fieldByName("ID")->asInteger();
    return id <= 0 ? 1 : id + 1;
}

QString tableOfOrigin(const QString& origin) {
    const QString first = origin.section('.', 0, 0);
    return first.size() >= 2 ? first.mid(1, first.size() - 2) : first;
}
