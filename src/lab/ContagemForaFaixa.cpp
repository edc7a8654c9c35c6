#include "lab/ContagemForaFaixa.h"
#include "data/FaixaIdeal.h"
#include <optional>

ContagemAnalise ContaForaDaFaixa(Database& db, Transaction& tr, int idAnalise) {
    ContagemAnalise c;
    tr.ensureActive();
    Query q(&db, &tr, "IBQ_ForaDaFaixa");
    // One row per value and ideal text of its type for the analysis's equipment type. The outer
    // joins keep the order of the reads (the analysis's samples, their results, the ideal texts,
    // each by its index): with inner joins the optimizer may scan the whole results table first.
    // Rows without a value or without an ideal text are skipped below.
    q.setSqlText(
        "select mae.id_analise_equipamento, mae.id_equipamento_cli, mar.id_tp_analise, "
        "mar.vl_resultado, tri.ds_resultado_ideal from mov_analise_equipamento mae inner join "
        "mov_analise ma on (ma.id_analise = mae.id_analise) left join mov_analise_resultado mar on "
        "(mar.id_analise_equipamento = mae.id_analise_equipamento) left join tab_resultado_ideal tri "
        "on (tri.id_tp_equipamento = ma.id_tp_equipamento and tri.id_tp_analise = mar.id_tp_analise) "
        "where mae.id_analise = " +
        QString::number(idAnalise) + " order by mae.id_analise_equipamento, mar.id_analise_resultado");
    q.open();
    q.fetchAll();
    Field* amostra = q.fieldByName("ID_ANALISE_EQUIPAMENTO");
    Field* equipamento = q.fieldByName("ID_EQUIPAMENTO_CLI");
    Field* tipo = q.fieldByName("ID_TP_ANALISE");
    Field* valor = q.fieldByName("VL_RESULTADO");
    Field* ideal = q.fieldByName("DS_RESULTADO_IDEAL");
    struct Valor {
        int equipamento = 0;
        QVariant valor;
        std::optional<FaixaIdeal> faixa;
        bool duvida = false; // two ideal texts of the type that read differently
    };
    std::map<std::pair<int, int>, Valor> valores; // (sample, type)
    for (int r = 0; r < q.recordCount(); ++r) {
        if (q.valueAt(r, valor).isNull() || q.valueAt(r, ideal).isNull()) continue;
        const std::pair<int, int> chave{q.valueAt(r, amostra).toInt(), q.valueAt(r, tipo).toInt()};
        const std::optional<FaixaIdeal> f = LeFaixaIdeal(q.valueAt(r, ideal).toString());
        auto [it, novo] = valores.try_emplace(chave);
        if (novo) {
            it->second = {q.valueAt(r, equipamento).toInt(), q.valueAt(r, valor), f, false};
        } else if (it->second.faixa != f) {
            it->second.duvida = true;
        }
    }
    q.close();
    for (const auto& [chave, v] : valores) {
        if (v.valor.isNull()) continue;
        ContagemFaixa um;
        um.valores = 1;
        if (v.faixa && !v.duvida) {
            um.julgados = 1;
            um.fora = PosicaoNaFaixa(*v.faixa, v.valor.toDouble()) != PosicaoFaixa::Dentro ? 1 : 0;
        }
        c.porAmostra[chave.first] += um;
        c.porEquipamento[v.equipamento] += um;
        c.total += um;
    }
    return c;
}

QString TextoContagem(const ContagemFaixa& c) {
    if (c.valores == 0) return QStringLiteral("sem valores");
    return (c.fora == 0 ? QStringLiteral("nenhum") : QString::number(c.fora)) + " de " +
           QString::number(c.valores) + " fora da faixa";
}
