#include "lab/ResultadosCalculados.h"
#include "data/KeyAllocation.h"
#include "data/Query.h"
#include "data/Statement.h"
#include <QSet>
#include <cmath>

namespace {

// The value to store for a result: none when it was not computed or when the results column
// cannot hold it (reason in motivo).
std::optional<double> gravavel(const formula::Resultado& r, QString& motivo) {
    motivo = r.motivo;
    if (!r.valor) return std::nullopt;
    const double v = formula::arredondaResultado(*r.valor);
    if (std::fabs(v) > formula::kMaiorResultado) {
        motivo = "o valor calculado é grande demais para ser gravado";
        return std::nullopt;
    }
    return v;
}

void desfaz(Transaction& tr) {
    try {
        tr.rollback();
    } catch (...) {
        tr.forget();
    }
}

} // namespace

void completaCalculados(const formula::Catalogo& catalogo, std::vector<std::pair<int, QVariant>>& valores,
                        std::map<int, QString>* motivos) {
    std::map<int, double> medidos;
    std::vector<int> calculados;
    for (const auto& [tipo, valor] : valores) {
        if (catalogo.calculado(tipo))
            calculados.push_back(tipo);
        else if (!valor.isNull())
            medidos[tipo] = valor.toDouble();
    }
    if (calculados.empty()) return;
    const auto feitos = catalogo.calcula(medidos, calculados);
    for (auto& [tipo, valor] : valores) {
        auto it = feitos.find(tipo);
        if (it == feitos.end()) continue;
        QString motivo;
        const std::optional<double> v = gravavel(it->second, motivo);
        valor = v ? QVariant(*v) : QVariant();
        if (motivos) (*motivos)[tipo] = motivo;
    }
}

void completaCalculados(Database& db, std::vector<CelulaResultado>& celulas) {
    if (celulas.empty()) return;
    formula::Catalogo catalogo;
    {
        Transaction tr(&db);
        tr.start();
        try {
            catalogo = formula::Catalogo::le(db, tr);
            tr.commit();
        } catch (...) {
            desfaz(tr);
            throw;
        }
    }
    bool algum = false;
    for (const CelulaResultado& c : celulas)
        algum = algum || catalogo.calculado(c.idTpAnalise);
    if (!algum) return;
    // Sample by sample: its cells, in the order given.
    std::map<int, std::vector<size_t>> porAmostra;
    for (size_t i = 0; i < celulas.size(); ++i)
        porAmostra[celulas[i].idAnaliseEquipamento].push_back(i);
    for (const auto& [amostra, indices] : porAmostra) {
        std::vector<std::pair<int, QVariant>> valores;
        for (size_t i : indices)
            valores.emplace_back(celulas[i].idTpAnalise, celulas[i].novo);
        completaCalculados(catalogo, valores);
        for (size_t k = 0; k < indices.size(); ++k)
            celulas[indices[k]].novo = valores[k].second;
    }
}

void gravaFormula(Database& db, int idTpAnalise, const QString& codigo, const QString& formula) {
    Transaction tr(&db);
    tr.start();
    try {
        const formula::Catalogo catalogo = formula::Catalogo::le(db, tr);
        if (QString m = catalogo.verificaCodigo(idTpAnalise, codigo); !m.isEmpty()) throw ValidationError(m);
        if (QString m = catalogo.verificaFormula(idTpAnalise, codigo, formula); !m.isEmpty())
            throw ValidationError(m);
        Statement st(&db, &tr);
        if (codigo.isEmpty() && formula.isEmpty()) {
            st.prepare("delete from sis_ctv_formula where id_tp_analise = ?");
            st.setParam(0, idTpAnalise);
        } else {
            st.prepare("update or insert into sis_ctv_formula (id_tp_analise, cd_tp_analise, tx_formula) "
                       "values (?, ?, ?) matching (id_tp_analise)");
            st.setParam(0, idTpAnalise);
            st.setParamLabel(1, "Código");
            st.setParam(1, codigo.isEmpty() ? QVariant() : QVariant(codigo));
            st.setParamLabel(2, "Fórmula");
            st.setParam(2, formula.isEmpty() ? QVariant() : QVariant(formula));
        }
        st.execute();
        tr.commit();
    } catch (...) {
        desfaz(tr);
        throw;
    }
}

Recalculo recalculaFormula(Database& db, int idTpAnalise, const QDate& de, const QDate& ate,
                           const std::function<void(int, int)>& progresso) {
    Recalculo r;
    Transaction tr(&db);
    formula::Catalogo catalogo;
    // Equipment type -> the types to recompute on its samples.
    std::map<int, std::vector<int>> tiposDoEquipamento;
    std::vector<std::pair<int, int>> analises; // analysis, equipment type
    tr.start();
    try {
        catalogo = formula::Catalogo::le(db, tr);
        QStringList lista;
        for (int t : catalogo.dependentes(idTpAnalise))
            if (catalogo.calculado(t)) lista << QString::number(t);
        if (lista.isEmpty())
            throw ValidationError("Este tipo de análise não é calculado: não há o que recalcular.");
        Statement ideais(&db, &tr);
        ideais.prepare("select distinct id_tp_equipamento, id_tp_analise from tab_resultado_ideal where "
                       "id_tp_analise in (" +
                       lista.join(',') + ")");
        ideais.openCursor();
        std::vector<char> buf(ideais.outputLayout().size);
        const auto& col = ideais.outputLayout().columns;
        while (ideais.fetch(buf.data()))
            tiposDoEquipamento[codec::decode(col[0], buf.data()).toInt()].push_back(
                codec::decode(col[1], buf.data()).toInt());
        ideais.closeCursor();
        Statement lidas(&db, &tr);
        lidas.prepare("select ma.id_analise, ma.id_tp_equipamento from mov_analise ma where ma.dt_coleta "
                      "between ? and ? order by ma.dt_coleta, ma.id_analise");
        lidas.setParam(0, de);
        lidas.setParam(1, ate);
        lidas.openCursor();
        buf.assign(lidas.outputLayout().size, 0);
        const auto& cl = lidas.outputLayout().columns;
        while (lidas.fetch(buf.data()))
            if (const int tipo = codec::decode(cl[1], buf.data()).toInt(); tiposDoEquipamento.count(tipo))
                analises.emplace_back(codec::decode(cl[0], buf.data()).toInt(), tipo);
        lidas.closeCursor();
        tr.commit();
    } catch (...) {
        desfaz(tr);
        throw;
    }

    // The samples of an analysis, then the results of each by the sample's key: plans that read
    // a handful of rows whatever the size of the results table.
    Statement amostrasDa(&db, &tr), resultados(&db, &tr), altera(&db, &tr), insere(&db, &tr), apaga(&db, &tr);
    amostrasDa.prepare(
        "select mae.id_analise_equipamento from mov_analise_equipamento mae where mae.id_analise = ?");
    resultados.prepare("select mar.id_analise_resultado, mar.id_tp_analise, mar.vl_resultado from "
                       "mov_analise_resultado mar where mar.id_analise_equipamento = ?");
    altera.prepare("update mov_analise_resultado set vl_resultado = ? where id_analise_resultado = ?");
    insere.prepare(
        "insert into mov_analise_resultado(id_analise_resultado,id_tp_analise,id_analise_equipamento,"
        "vl_resultado) values (?, ?, ?, ?)");
    apaga.prepare("delete from mov_analise_resultado where id_analise_resultado = ?");
    altera.setParamLabel(0, "Resultado Atual");
    insere.setParamLabel(3, "Resultado Atual");
    const auto& colA = amostrasDa.outputLayout().columns;
    const auto& col = resultados.outputLayout().columns;
    std::vector<char> bufA(amostrasDa.outputLayout().size), buf(resultados.outputLayout().size);

    struct Amostra {
        std::map<int, double> medidos;
        std::map<int, std::pair<int, QVariant>> guardados; // type -> (result key, value)
    };
    const int total = static_cast<int>(analises.size());
    if (progresso) progresso(0, total);
    for (const auto& [idAnalise, tpEquipamento] : analises) {
        tr.start();
        try {
            std::vector<int> chaves;
            amostrasDa.setParam(0, idAnalise);
            amostrasDa.openCursor();
            while (amostrasDa.fetch(bufA.data()))
                chaves.push_back(codec::decode(colA[0], bufA.data()).toInt());
            amostrasDa.closeCursor();
            std::map<int, Amostra> amostras;
            for (int idAmostra : chaves) {
                Amostra& a = amostras[idAmostra];
                resultados.setParam(0, idAmostra);
                resultados.openCursor();
                while (resultados.fetch(buf.data())) {
                    const char* p = buf.data();
                    const int chave = codec::decode(col[0], p).toInt();
                    const int tipo = codec::decode(col[1], p).toInt();
                    const QVariant v = codec::decode(col[2], p);
                    // A type stored twice on one sample: the row of the smaller key is the one
                    // kept up to date.
                    auto g = a.guardados.find(tipo);
                    if (g == a.guardados.end() || chave < g->second.first) a.guardados[tipo] = {chave, v};
                }
                resultados.closeCursor();
                for (const auto& [tipo, kv] : a.guardados)
                    if (!kv.second.isNull()) a.medidos[tipo] = kv.second.toDouble();
            }
            qint64 proxima = 0;
            const std::vector<int>& tipos = tiposDoEquipamento[tpEquipamento];
            for (const auto& [idAmostra, a] : amostras) {
                const auto feitos = catalogo.calcula(a.medidos, tipos);
                for (const auto& [tipo, resultado] : feitos) {
                    QString motivo;
                    const std::optional<double> novo = gravavel(resultado, motivo);
                    auto g = a.guardados.find(tipo);
                    if (g == a.guardados.end()) {
                        if (!novo) continue;
                        if (proxima == 0) {
                            Query chave(&db, &tr, "IBQ_ID");
                            proxima = AdicionaID(chave, "MOV_ANALISE_RESULTADO", "ID_ANALISE_RESULTADO");
                        }
                        insere.setParam(0, proxima++);
                        insere.setParam(1, tipo);
                        insere.setParam(2, idAmostra);
                        insere.setParam(3, *novo);
                        insere.execute();
                    } else if (!novo) {
                        apaga.setParam(0, g->second.first);
                        apaga.execute();
                    } else if (g->second.second.isNull() ||
                               std::fabs(g->second.second.toDouble() - *novo) >= 0.00005) {
                        altera.setParam(0, *novo);
                        altera.setParam(1, g->second.first);
                        altera.execute();
                    } else {
                        continue;
                    }
                    ++r.valoresAlterados;
                }
            }
            tr.commit();
        } catch (...) {
            desfaz(tr);
            throw;
        }
        ++r.analises;
        if (progresso) progresso(r.analises, total);
    }
    return r;
}
