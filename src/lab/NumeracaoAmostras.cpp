#include "lab/NumeracaoAmostras.h"
#include "data/Query.h"

std::pair<int, int> PaginaAmostra(int n) {
    return {(n - 1) / 4 + 1, (n - 1) % 4 + 1};
}

void NumeraPaginasAmostras(Database& db, Transaction& tr, int idAnalise) {
    const QString analise = QString::number(idAnalise);
    Query q(&db, &tr, "IBQ_NumeraAmostras");
    q.setSqlText(" select id_analise_equipamento, no_pagina, no_amostra from mov_analise_equipamento where "
                 "id_analise = " +
                 analise + " order by id_analise_equipamento");
    q.open();
    q.fetchAll();
    struct Amostra {
        int id;
        QVariant pagina, amostra;
    };
    std::vector<Amostra> amostras;
    for (q.first(); !q.eof(); q.next())
        amostras.push_back({q.fieldByName("ID_ANALISE_EQUIPAMENTO")->asInteger(),
                            q.fieldByName("NO_PAGINA")->value(), q.fieldByName("NO_AMOSTRA")->value()});
    q.close();

    Query upd(&db, &tr, "IBQ_NumeraAmostrasUpd");
    int contador = 1;
    for (const Amostra& a : amostras) {
        const auto [pagina, amostra] = PaginaAmostra(contador);
        if (a.pagina.isNull() || a.amostra.isNull() || a.pagina.toInt() != pagina ||
            a.amostra.toInt() != amostra) {
            upd.setSqlText(" update mov_analise_equipamento set no_pagina = " + QString::number(pagina) +
                           "," + " no_amostra = " + QString::number(amostra) +
                           " where id_analise_equipamento = " + QString::number(a.id) +
                           " and id_analise = " + analise);
            upd.execSQL();
        }
        ++contador;
    }
    upd.setSqlText(" commit retain");
    upd.execSQL();
}
