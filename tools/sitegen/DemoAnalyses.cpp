// The demo data's analyses with their samples and results, the sales documents and the day's
// visits.
#include "sitegen/DemoBuilder.h"
#include "sitegen/DemoImages.h"

#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <map>
#include <set>

namespace demodata {

// -- analyses ---------------------------------------------------------------------------

bool DemoBuilder::sampled(const Group& g, const Piece& p, const QDate& coleta) const {
    if (g.kind == GroupKind::Recusada) return coleta < p.dtSituacao;
    if (p.situacao == kSituacaoDesativada) return coleta < p.dtSituacao;
    return p.situacao == kSituacaoAprovada;
}

QByteArray DemoBuilder::comment(int tipo, bool avaliada) {
    if (!avaliada || m_rnd.chance(0.15)) return {};
    static const std::map<int, QStringList> remarks = {
        {1,
         {"Condutividade próxima do limite; recomenda-se aumentar a descarga de fundo.",
          "Residual de sulfito baixo; ajustar a dosagem do sequestrante de oxigênio.",
          "Alcalinidade hidróxida acima do ideal; reduzir a dosagem de alcalinizante."}},
        {2,
         {"Ciclos de concentração elevados; verificar a purga automática.",
          "Cloro livre abaixo do ideal; revisar a bomba dosadora de biocida.",
          "Ferro total elevado; verificar corrosão na linha de retorno."}},
        {3,
         {"Nitrito abaixo da faixa; completar a carga de inibidor.",
          "Cobre acima do limite; inspecionar trocadores."}},
        {4,
         {"DQO acima do limite de lançamento; revisar o tempo de aeração.",
          "Óleos e graxas elevados na entrada."}},
        {5,
         {"Cloro livre abaixo do mínimo; ajustar o clorador do reservatório.",
          "Turbidez dentro do padrão de potabilidade."}},
        {6, {"Condutividade do permeado em elevação; programar limpeza das membranas."}},
        {7, {"Ferro no condensado indica corrosão; rever a dosagem de amina neutralizante."}},
    };
    const QString text =
        m_rnd.chance(0.6) ? QString("Valores dentro do esperado.") : m_rnd.pick(remarks.at(tipo));
    return rtfParagraph(text);
}

double DemoBuilder::measuredValue(const IdealResult& r, double bias) {
    if (r.max <= r.min) // "Ausente": nearly always zero
        return m_rnd.chance(0.95) ? 0.0 : double(m_rnd.between(1, 4));
    const double t = std::clamp(bias + m_rnd.normal(0.0, 0.18), 0.0, 1.0);
    return roundTo(r.min + (r.max - r.min) * t, r.decimals);
}

void DemoBuilder::analyses() {
    std::vector<PlannedAnalysis> plan;
    for (size_t gi = 0; gi < m_groups.size(); ++gi) {
        const Group& g = m_groups[gi];
        if (g.kind == GroupKind::Aguardando) continue;
        for (QDate month = g.inicio; month <= g.fim; month = month.addMonths(1)) {
            if (g.kind == GroupKind::Aprovada && !m_rnd.chance(0.85)) continue;
            const QDate coleta(month.year(), month.month(), m_rnd.between(1, 28));
            if (coleta > g.fim || coleta < g.inicio) continue;
            plan.push_back({coleta, int(gi)});
        }
    }
    std::stable_sort(plan.begin(), plan.end(),
                     [](const PlannedAnalysis& a, const PlannedAnalysis& b) { return a.coleta < b.coleta; });

    Insert analise(m_db, "MOV_ANALISE",
                   {"ID_ANALISE", "DT_COLETA", "DT_RECEBIMENTO", "DT_AVALIACAO", "DT_ENVIO", "ID_CLIENTE",
                    "ID_REPRESENTANTE", "ID_RESPONSAVEL_TECNICO", "ID_TP_EQUIPAMENTO"});
    Insert amostra(m_db, "MOV_ANALISE_EQUIPAMENTO",
                   {"ID_ANALISE_EQUIPAMENTO", "ID_ANALISE", "ID_EQUIPAMENTO_CLI", "NO_PAGINA", "NO_AMOSTRA",
                    "TX_COMENTARIO", "TX_OBS"});
    Insert resultado(m_db, "MOV_ANALISE_RESULTADO",
                     {"ID_ANALISE_RESULTADO", "ID_TP_ANALISE", "ID_ANALISE_EQUIPAMENTO", "VL_RESULTADO"});
    int analiseId = 1, amostraId = 1, resultadoId = 1;
    for (const PlannedAnalysis& pa : plan) {
        const Group& g = m_groups[pa.group];
        const Person& cli = m_clients[g.cliente];
        std::vector<const Piece*> pieces;
        for (const Piece& p : g.pieces)
            if (sampled(g, p, pa.coleta)) pieces.push_back(&p);
        if (pieces.empty()) continue;

        QDate recebimento = std::min(pa.coleta.addDays(m_rnd.between(0, 2)), m_today);
        QDate avaliacao = recebimento.addDays(m_rnd.between(1, 3));
        if (avaliacao > m_today) avaliacao = QDate();
        QDate envio = avaliacao.isValid() ? avaliacao.addDays(m_rnd.between(0, 3)) : QDate();
        if (envio > m_today) envio = QDate();
        // Now and then another representative covers the visit.
        const int rep = m_rnd.chance(0.04) ? m_rnd.pick(m_reps) : cli.vendedor;
        const int tecnico = m_rnd.pick(m_techs);
        const int id = analiseId++;
        analise({id, pa.coleta, recebimento, orNull(avaliacao), orNull(envio), cli.id, rep, tecnico, g.tipo});

        const auto ideais = idealResultsOf(g.tipo);
        for (size_t i = 0; i < pieces.size(); ++i) {
            const int amostraKey = amostraId++;
            QByteArray obs;
            if (m_rnd.chance(0.3))
                obs = rtfParagraph(
                    QString("Amostra %1 coletada às %2 pelo operador do cliente.")
                        .arg(i + 1)
                        .arg(QTime(m_rnd.between(7, 16), m_rnd.between(0, 59)).toString("hh:mm")));
            amostra({amostraKey, id, pieces[i]->id, int(i / 4) + 1, int(i % 4) + 1,
                     orNull(comment(g.tipo, avaliacao.isValid())), orNull(obs)});
            if (!avaliacao.isValid()) continue;
            const double bias = pieces[i]->bias;
            for (const auto& [tipo, valor] :
                 sampleValues(ideais, [&](const IdealResult& r) { return measuredValue(r, bias); }))
                resultado({resultadoId++, tipo, amostraKey, valor});
        }
    }
    m_nextAnalise = analiseId;
    m_nextAmostra = amostraId;
}

// -- sales documents -------------------------------------------------------------------

void DemoBuilder::sales() {
    Insert nat(m_db, "TAB_NAT_OPERACAO",
               {"ID_NAT_OPERACAO", "CD_NAT_OPERACAO", "NM_NATUREZA_INTERNO", "NM_NATUREZA_NF", "TP_OPERACAO",
                "ST_ESTAT_VENDA", "ST_MOVIMENTA_ESTOQUE"});
    nat({1, "5102", "Venda de Mercadoria", "Venda de mercadoria adquirida de terceiros", "S", "S", "S"});
    nat({2, "6102", "Venda Fora do Estado", "Venda de mercadoria adquirida de terceiros", "S", "S", "S"});
    nat({3, "5910", "Remessa em Bonificação", "Remessa em bonificação, doação ou brinde", "S", "N", "S"});
    nat({4, "5912", "Remessa para Demonstração", "Remessa de mercadoria para demonstração", "S", "N", "S"});
    nat({5, "1202", "Devolução de Venda", "Devolução de venda de mercadoria", "E", "N", "S"});

    std::vector<PlannedInvoice> plan;
    const QDate firstMonth(m_today.addMonths(-20).year(), m_today.addMonths(-20).month(), 1);
    for (size_t ci = 0; ci < m_clients.size(); ++ci) {
        std::vector<int> aprovados, outros; // base products of the client's equipment types
        for (const Group& g : m_groups) {
            if (g.cliente != int(ci)) continue;
            auto& dest = g.kind == GroupKind::Aprovada ? aprovados : outros;
            for (int p : equipmentTypes()[g.tipo - 1].produtos)
                dest.push_back(p);
        }
        const bool sp = QString(cities()[m_clients[ci].cidade].uf) == "SP";
        for (QDate month = firstMonth; month <= m_today; month = month.addMonths(1)) {
            const QDate emissao(month.year(), month.month(), m_rnd.between(1, 28));
            if (emissao > m_today) continue;
            if (!aprovados.empty() && m_rnd.chance(0.55)) {
                PlannedInvoice nf{emissao, int(ci), sp ? 1 : 2, {}};
                const int n = m_rnd.between(1, 3);
                for (int i = 0; i < n; ++i)
                    nf.itens.push_back(item(m_rnd.pick(aprovados)));
                plan.push_back(nf);
                if (m_rnd.chance(0.08)) plan.push_back({emissao, int(ci), 3, {item(m_rnd.pick(aprovados))}});
            } else if (!outros.empty() && m_rnd.chance(0.25)) {
                // Products sent for a trial are not sales.
                plan.push_back({emissao, int(ci), 4, {item(m_rnd.pick(outros))}});
            }
        }
    }
    std::stable_sort(plan.begin(), plan.end(),
                     [](const PlannedInvoice& a, const PlannedInvoice& b) { return a.emissao < b.emissao; });

    Insert nf(m_db, "MOV_NF_COMERCIO",
              {"ID_NF_COMERCIO", "ID_EMPRESA", "ID_NAT_OPERACAO", "ID_DESTINATARIO_REMETENTE", "ID_VENDEDOR",
               "DS_SERIE_NF", "NR_NOTA_FISCAL", "DT_EMISSAO", "DT_SAIDA", "VL_PRODUTOS", "VL_TOTAL_NF",
               "ST_CANCELADA", "TX_OBS"});
    Insert nfItem(
        m_db, "MOV_NF_COMERCIO_ITEM",
        {"ID_NF_COMERCIO_ITEM", "ID_NF_COMERCIO", "ID_PRODUTO", "QT_PRODUTO", "VL_UNITARIO", "VL_TOTAL"});
    int nfId = 1, itemId = 1;
    int numero[3] = {0, 1201, 305};
    for (const PlannedInvoice& p : plan) {
        const Person& cli = m_clients[p.cliente];
        const int empresa = QString(cities()[cli.cidade].uf) == "PR" ||
                                    QString(cities()[cli.cidade].uf) == "SC" ||
                                    QString(cities()[cli.cidade].uf) == "RS"
                                ? 2
                                : 1;
        double total = 0;
        std::vector<QVariantList> rows;
        for (const auto& [produto, qt] : p.itens) {
            const BaseProduct& b = baseProducts()[(produto + 1) / 2 - 1];
            const double preco = produto % 2 ? b.preco : roundTo(b.preco * 0.92, 2);
            const double valor = roundTo(qt * preco, 2);
            total += valor;
            rows.push_back({itemId++, nfId, produto, qt, preco, valor});
        }
        const QString obs = p.natureza >= 3 ? "Mercadoria sem valor comercial." : "";
        nf({nfId, empresa, p.natureza, cli.id, cli.vendedor, "1", numero[empresa]++, p.emissao, p.emissao,
            roundTo(total, 2), roundTo(total, 2), "N", orNull(latin1(obs))});
        for (const auto& r : rows)
            nfItem(r);
        ++nfId;
    }
    m_nextNf = nfId;
    m_nextNfItem = itemId;
}

// -- the day's visits ----------------------------------------------------------------------

void DemoBuilder::visitsOfTheDay() {
    Random rnd(20241209);
    Insert analise(m_db, "MOV_ANALISE",
                   {"ID_ANALISE", "DT_COLETA", "DT_RECEBIMENTO", "DT_AVALIACAO", "DT_ENVIO", "ID_CLIENTE",
                    "ID_REPRESENTANTE", "ID_RESPONSAVEL_TECNICO", "ID_TP_EQUIPAMENTO"});
    Insert amostra(m_db, "MOV_ANALISE_EQUIPAMENTO",
                   {"ID_ANALISE_EQUIPAMENTO", "ID_ANALISE", "ID_EQUIPAMENTO_CLI", "NO_PAGINA", "NO_AMOSTRA",
                    "TX_COMENTARIO", "TX_OBS"});
    Insert nf(m_db, "MOV_NF_COMERCIO",
              {"ID_NF_COMERCIO", "ID_EMPRESA", "ID_NAT_OPERACAO", "ID_DESTINATARIO_REMETENTE", "ID_VENDEDOR",
               "DS_SERIE_NF", "NR_NOTA_FISCAL", "DT_EMISSAO", "DT_SAIDA", "VL_PRODUTOS", "VL_TOTAL_NF",
               "ST_CANCELADA", "TX_OBS"});
    Insert nfItem(
        m_db, "MOV_NF_COMERCIO_ITEM",
        {"ID_NF_COMERCIO_ITEM", "ID_NF_COMERCIO", "ID_PRODUTO", "QT_PRODUTO", "VL_UNITARIO", "VL_TOTAL"});
    std::set<int> visitados;
    int visitas = 0;
    for (size_t r = 0; r < std::min<size_t>(3, m_reps.size()); ++r) {
        int doRep = 0;
        for (const Group& g : m_groups) {
            const Person& cli = m_clients[g.cliente];
            if (doRep == 2) break;
            if (g.kind != GroupKind::Aprovada || cli.vendedor != m_reps[r] || visitados.count(cli.id))
                continue;
            std::vector<const Piece*> pieces;
            for (const Piece& p : g.pieces)
                if (p.situacao == kSituacaoAprovada) pieces.push_back(&p);
            if (pieces.empty()) continue;
            visitados.insert(cli.id);
            ++doRep;
            const int id = m_nextAnalise++;
            analise({id, m_today, m_today, QVariant(), QVariant(), cli.id, cli.vendedor, m_techs.front(),
                     g.tipo});
            for (size_t i = 0; i < pieces.size(); ++i)
                amostra({m_nextAmostra++, id, pieces[i]->id, int(i / 4) + 1, int(i % 4) + 1, QVariant(),
                         QVariant()});
            // Every other client visited bought today; the third of them received a bonus.
            if (visitas++ % 2) continue;
            const auto& produtos = equipmentTypes()[g.tipo - 1].produtos;
            const BaseProduct& b = baseProducts()[produtos[rnd.between(0, int(produtos.size()) - 1)] - 1];
            const int natureza = visitas == 5 ? 3 : QString(cities()[cli.cidade].uf) == "SP" ? 1 : 2;
            const double qt = b.embalagem * rnd.between(1, 4);
            const double valor = roundTo(qt * b.preco, 2);
            nf({m_nextNf, 1, natureza, cli.id, cli.vendedor, "1", 90000 + m_nextNf, m_today, m_today, valor,
                valor, "N",
                natureza >= 3 ? QVariant(latin1("Mercadoria sem valor comercial.")) : QVariant()});
            nfItem({m_nextNfItem++, m_nextNf, b.id * 2 - 1, qt, b.preco, valor});
            ++m_nextNf;
        }
    }
}

std::pair<int, double> DemoBuilder::item(int baseProduto) {
    const BaseProduct& b = baseProducts()[baseProduto - 1];
    const bool grande = m_rnd.chance(0.2);
    const int produto = grande ? b.id * 2 : b.id * 2 - 1;
    const double embalagem = grande ? b.embalagem * 20 : b.embalagem;
    return {produto, embalagem * m_rnd.between(1, grande ? 2 : 8)};
}

} // namespace demodata
