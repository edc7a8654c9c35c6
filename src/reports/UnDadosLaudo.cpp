#include "reports/UnDadosLaudo.h"

#include "data/DataContext.h"
#include "platform/Errors.h"
#include "reports/PreparedQuery.h"
#include "support/UnProgressoGeral.h"

#include <QHash>
#include <array>
#include <map>
#include <memory>
#include <vector>

namespace {

Database* conexao() {
    Database* db = dataContext().IBSolution;
    if (!db) throw AppError("A conexão com o banco de dados (IBSolution) não está disponível.");
    return db;
}

Transaction* transacaoGeral() {
    Transaction* tr = dataContext().IBT_Gen;
    if (!tr) throw AppError("A transação geral (IBT_Gen) não está disponível.");
    return tr;
}

std::unique_ptr<PreparedQuery> prepara(const QString& sqlText) {
    return std::make_unique<PreparedQuery>(conexao(), transacaoGeral(), sqlText);
}

// The statements below are the laboratory's own, with the values that vary from row to row as
// parameters, so each is prepared once per print.

// One row per block of the analysis and analysis type with an ideal result for its equipment
// type, by block and then by analysis name.
const char* const kLinhas =
    " select tta.id_tp_analise, tta.nm_tp_analise, tri.ds_resultado_ideal, mar.no_pagina"
    " from tab_resultado_ideal tri"
    " inner join tab_tp_analise tta on (tta.id_tp_analise = tri.id_tp_analise)"
    " inner join mov_analise ma on (ma.id_tp_equipamento = :idTpEquipamento and ma.id_analise = :idAnalise)"
    " inner join mov_analise_equipamento mar on (mar.id_analise = ma.id_analise)"
    " where tri.id_tp_equipamento = :idTpEquipamento"
    " group by tta.id_tp_analise, tta.nm_tp_analise, tri.ds_resultado_ideal, mar.no_pagina"
    " order by mar.no_pagina, tta.nm_tp_analise";

// Every result of the analysis's samples: the rows that the per-block, per-type reading of the
// samples gives, all at once.
const char* const kResultadosAtuais =
    " select mae.no_pagina, mae.no_amostra, tec.id_equipamento_cli, mar.id_tp_analise, mar.vl_resultado"
    " from mov_analise_equipamento mae"
    " inner join mov_analise_resultado mar on (mae.id_analise_equipamento = mar.id_analise_equipamento)"
    " inner join tab_equipamento_cli tec on (tec.id_equipamento_cli = mae.id_equipamento_cli)"
    " where mae.id_analise = :idAnalise"
    " order by mae.no_pagina, mae.no_amostra, mar.id_analise_resultado";

const char* const kAnaliseAnterior =
    " select ma.id_analise from mov_analise_equipamento mae"
    " inner join mov_analise ma on (ma.id_analise = mae.id_analise)"
    " where mae.id_equipamento_cli = :idEquipamentoCli and ma.dt_coleta < :dtColeta"
    " order by ma.dt_coleta desc, ma.id_analise desc";

// The results of one equipment in one analysis, every type at once.
const char* const kResultadosEquipamento =
    " select mar.id_tp_analise, mar.vl_resultado from mov_analise_equipamento mae"
    " inner join mov_analise_resultado mar on (mar.id_analise_equipamento = mae.id_analise_equipamento)"
    " inner join mov_analise ma on (ma.id_analise = mae.id_analise)"
    " where ma.id_analise = :idAnalise and mae.id_equipamento_cli = :idEquipamentoCli"
    " order by mae.id_analise_equipamento desc, mar.id_analise_resultado desc";

const char* const kEquipAnalisados =
    "select tec.id_equipamento_cli, mae.id_analise_equipamento, tec.nm_equipamento, mae.no_pagina,"
    " mae.no_amostra from mov_analise_equipamento mae inner join tab_equipamento_cli tec on"
    " (tec.id_equipamento_cli=mae.id_equipamento_cli) where mae.id_analise = :IdAnalise";

struct Linha {
    int idTpAnalise = 0;
    QString nome, ideal;
    QVariant pagina;
};

std::vector<Linha> leLinhas(const TAnaliseImpressao& a) {
    auto q = prepara(kLinhas);
    q->setParam("idTpEquipamento", a.idTpEquipamento);
    q->setParam("idAnalise", a.idAnalise);
    std::vector<Linha> linhas;
    q->open();
    while (q->next())
        linhas.push_back({q->value(0).toInt(), q->value(1).toString(), q->value(2).toString(), q->value(3)});
    return linhas;
}

// The previous collection of each equipment and its values, looked up once per equipment.
class Historico {
public:
    explicit Historico(const QDate& dtColeta)
        : m_dtColeta(dtColeta), m_anterior(prepara(kAnaliseAnterior)),
          m_resultados(prepara(kResultadosEquipamento)) {}

    int analiseAnterior(int idEquipamentoCli) {
        const auto it = m_analises.constFind(idEquipamentoCli);
        if (it != m_analises.constEnd()) return *it;
        m_anterior->setParam("idEquipamentoCli", idEquipamentoCli);
        m_anterior->setParam("dtColeta", m_dtColeta);
        int id = 0;
        if (m_anterior->first()) id = m_anterior->value(0).toInt();
        m_anterior->close();
        m_analises.insert(idEquipamentoCli, id);
        return id;
    }

    // Type -> the value measured at the previous collection (the first row of each type; a
    // null value stays null). Empty without a previous collection or without its results.
    const QHash<int, QVariant>& valoresAnteriores(int idEquipamentoCli) {
        const auto it = m_valores.find(idEquipamentoCli);
        if (it != m_valores.end()) return it->second;
        QHash<int, QVariant>& valores = m_valores[idEquipamentoCli];
        const int anterior = analiseAnterior(idEquipamentoCli);
        if (anterior == 0) return valores;
        m_resultados->setParam("idAnalise", anterior);
        m_resultados->setParam("idEquipamentoCli", idEquipamentoCli);
        m_resultados->open();
        // Ordered from the last row to the first: the first row of each type is the one kept.
        while (m_resultados->next())
            valores.insert(m_resultados->value(0).toInt(), m_resultados->value(1));
        return valores;
    }

    // The previous value of a type, 0 when there is none or it is null.
    double valorAnterior(int idEquipamentoCli, int idTpAnalise) {
        return valoresAnteriores(idEquipamentoCli).value(idTpAnalise).toDouble();
    }

private:
    QDate m_dtColeta;
    std::unique_ptr<PreparedQuery> m_anterior, m_resultados;
    QHash<int, int> m_analises;
    std::map<int, QHash<int, QVariant>> m_valores;
};

// The report table's columns, found once.
struct Colunas {
    Field* pagina;
    Field* nome;
    Field* ideal;
    std::array<Field*, 4> equipamento, anterior;

    explicit Colunas(MemTable& t)
        : pagina(t.fieldByName(cds::NoPagina)), nome(t.fieldByName(cds::NmTpAnalise)),
          ideal(t.fieldByName(cds::DsResultadoIdeal)) {
        for (int n = 1; n <= 4; ++n) {
            equipamento[n - 1] = t.fieldByName(cds::equipamento(n));
            anterior[n - 1] = t.fieldByName(cds::anterior(n));
        }
    }
};

void novaLinha(MemTable& t, const Colunas& c, const Linha& l) {
    t.append();
    c.pagina->setValue(l.pagina);
    c.nome->setValue(l.nome);
    c.ideal->setValue(l.ideal);
}

struct FechaProgressoAoSair {
    ~FechaProgressoAoSair() { FechaProgresso(); }
};

} // namespace

QString cds::equipamento(int n) {
    return QStringLiteral("cdsEQUIPAMENTO_%1").arg(n);
}

QString cds::anterior(int n) {
    return QStringLiteral("VL_RESULTADO_ANT_%1").arg(n);
}

TAnaliseImpressao LeAnaliseImpressao(int idAnalise) {
    auto q = prepara("select ma.id_analise, ma.dt_coleta, ma.dt_recebimento, ma.dt_avaliacao, ma.dt_envio,"
                     " ma.id_cliente, ma.id_tp_equipamento, ma.id_responsavel_tecnico,"
                     " cli.nm_pesquisa as nm_cliente, rep.nm_pesquisa as nm_representante"
                     " from mov_analise ma"
                     " left join cad_pessoa cli on (cli.id_pessoa = ma.id_cliente)"
                     " left join cad_pessoa rep on (rep.id_pessoa = ma.id_representante)"
                     " where ma.id_analise = :idAnalise");
    q->setParam("idAnalise", idAnalise);
    if (!q->first()) throw AppError(QString("A análise %1 não existe.").arg(idAnalise));
    TAnaliseImpressao a;
    a.idAnalise = idAnalise;
    a.dtColeta = q->value("DT_COLETA").toDate();
    a.dtRecebimento = q->value("DT_RECEBIMENTO").toDate();
    a.dtAvaliacao = q->value("DT_AVALIACAO").toDate();
    a.dtEnvio = q->value("DT_ENVIO").toDate();
    a.idCliente = q->value("ID_CLIENTE").toInt();
    a.idTpEquipamento = q->value("ID_TP_EQUIPAMENTO").toInt();
    a.idResponsavelTecnico = q->value("ID_RESPONSAVEL_TECNICO").toInt();
    a.cliente = q->value("NM_CLIENTE").toString();
    a.representante = q->value("NM_REPRESENTANTE").toString();
    q->close();
    return a;
}

void CriaCdsRelatorio(MemTable& t) {
    t.close();
    t.clearFieldDefs();
    t.addFieldDef(cds::NoPagina, FieldKind::Integer);
    t.addFieldDef(cds::NmTpAnalise, FieldKind::String, 50);
    t.addFieldDef(cds::DsResultadoIdeal, FieldKind::String, 50);
    // Currency columns: four decimal places, shown with two.
    for (int n = 1; n <= 4; ++n)
        t.addFieldDef(cds::equipamento(n), FieldKind::BCD);
    for (int n = 1; n <= 4; ++n)
        t.addFieldDef(cds::anterior(n), FieldKind::BCD);
    t.createDataSet();
}

void CopiaCdsRelatorio(MemTable& origem, MemTable& destino) {
    const int colunas = origem.fieldCount();
    std::vector<Field*> alvo;
    for (int i = 0; i < colunas; ++i)
        alvo.push_back(destino.fieldByName(origem.field(i)->fieldName()));
    origem.disableControls();
    destino.disableControls();
    const int linhas = origem.recordCount();
    for (int r = 0; r < linhas; ++r) {
        destino.append();
        for (int i = 0; i < colunas; ++i)
            alvo[static_cast<size_t>(i)]->setValue(origem.valueAt(r, origem.field(i)));
        destino.post();
    }
    destino.enableControls();
    origem.enableControls();
    destino.first();
}

void NumeraPaginasAmostras(int idAnalise) {
    auto amostras = prepara("select id_analise_equipamento, no_pagina, no_amostra"
                            " from mov_analise_equipamento where id_analise = :idAnalise"
                            " order by id_analise_equipamento");
    amostras->setParam("idAnalise", idAnalise);
    struct Amostra {
        int id;
        QVariant pagina, amostra;
    };
    std::vector<Amostra> lista;
    amostras->open();
    while (amostras->next())
        lista.push_back({amostras->value(0).toInt(), amostras->value(1), amostras->value(2)});

    auto atualiza =
        prepara(" update mov_analise_equipamento set no_pagina = :NoPagina, no_amostra = :NoAmostra"
                " where id_analise_equipamento = :idAnaliseEquipamento and id_analise = :idAnalise");
    int pagina = 1, amostra = 1, contador = 1;
    for (const Amostra& a : lista) {
        // Rows already numbered so are left alone: no new record version, no conflict with a
        // workstation editing the sample's comment meanwhile.
        if (a.pagina.isNull() || a.amostra.isNull() || a.pagina.toInt() != pagina ||
            a.amostra.toInt() != amostra) {
            atualiza->setParam("NoPagina", pagina);
            atualiza->setParam("NoAmostra", amostra);
            atualiza->setParam("idAnaliseEquipamento", a.id);
            atualiza->setParam("idAnalise", idAnalise);
            atualiza->execute();
        }
        if (contador % 4 != 0) {
            ++amostra;
        } else {
            ++pagina;
            amostra = 1;
        }
        ++contador;
    }
    transacaoGeral()->commitRetaining();
}

int BuscaAnaliseAnterior(int idEquipamentoCli, const QDate& dtColeta) {
    return Historico(dtColeta).analiseAnterior(idEquipamentoCli);
}

QString BuscaNumeroProposta(int idTpEquipamento, int idCliente) {
    auto q = prepara(" select Max(tec.no_proposta) as no_proposta from tab_equipamento_cli tec "
                     " where tec.id_tp_equipamento = :idTpEquipamento and tec.id_cliente = :idCliente");
    q->setParam("idTpEquipamento", idTpEquipamento);
    q->setParam("idCliente", idCliente);
    const QString numero = q->first() ? q->value(0).toString() : QString();
    q->close();
    return numero;
}

double BuscaResultadoAnalise(int idAnalise, int idTpAnalise, int idEquipamentoCli) {
    auto q = prepara(" select mar.vl_resultado from mov_analise_equipamento mae"
                     " inner join mov_analise_resultado mar on (mar.id_analise_equipamento = "
                     "mae.id_analise_equipamento)"
                     " inner join mov_analise ma on (ma.id_analise = mae.id_analise)"
                     " where ma.id_analise = :idAnalise and mae.id_equipamento_cli = :idEquipamentoCli"
                     " and mar.id_tp_analise = :idTpAnalise"
                     " order by mae.id_analise_equipamento, mar.id_analise_resultado");
    q->setParam("idAnalise", idAnalise);
    q->setParam("idEquipamentoCli", idEquipamentoCli);
    q->setParam("idTpAnalise", idTpAnalise);
    const double valor = q->first() ? q->value(0).toDouble() : 0.0;
    q->close();
    return valor;
}

void MontaDadosLaudo(MemTable& t, const TAnaliseImpressao& a) {
    const std::vector<Linha> linhas = leLinhas(a);

    // The samples with a result, by block and analysis type, in the order of their positions.
    struct Resultado {
        QVariant amostra;
        int idEquipamentoCli;
        QVariant valor;
    };
    QHash<QPair<int, int>, std::vector<Resultado>> resultados;
    {
        auto q = prepara(kResultadosAtuais);
        q->setParam("idAnalise", a.idAnalise);
        q->open();
        while (q->next()) {
            if (q->value(0).isNull()) continue; // a sample not numbered belongs to no block
            resultados[{q->value(0).toInt(), q->value(3).toInt()}].push_back(
                {q->value(1), q->value(2).toInt(), q->value(4)});
        }
    }
    Historico historico(a.dtColeta);
    const Colunas c(t);

    FechaProgressoAoSair fecha;
    MostraProgresso();
    ConfiguraProgresso("Aguarde ...", "Processando...", "Aguarde o processamento...", 0,
                       static_cast<int>(linhas.size()));
    t.disableControls();
    try {
        for (const Linha& l : linhas) {
            AvancaProgresso();
            novaLinha(t, c, l);
            bool mantem = false;
            if (!l.pagina.isNull()) {
                const auto it = resultados.constFind({l.pagina.toInt(), l.idTpAnalise});
                if (it != resultados.constEnd()) {
                    for (const Resultado& r : *it) {
                        if (!r.valor.isNull()) mantem = true;
                        const int n = r.amostra.isNull() ? 0 : r.amostra.toInt();
                        if (n < 1 || n > 4) continue;
                        c.anterior[n - 1]->setValue(
                            historico.valorAnterior(r.idEquipamentoCli, l.idTpAnalise));
                        c.equipamento[n - 1]->setValue(r.valor.isNull() ? 0.0 : r.valor.toDouble());
                    }
                }
            }
            if (!a.dtEnvio.isValid()) mantem = true;
            if (mantem)
                t.post();
            else
                t.cancel();
        }
    } catch (...) {
        if (t.editing()) t.cancel();
        t.enableControls();
        throw;
    }
    t.enableControls();
}

void MontaDadosPlanilha(MemTable& t, const TAnaliseImpressao& a) {
    const std::vector<Linha> linhas = leLinhas(a);
    struct Equipamento {
        int idEquipamentoCli;
        QVariant pagina, amostra;
    };
    std::vector<Equipamento> equipamentos;
    {
        auto q = prepara(kEquipAnalisados);
        q->setParam("IdAnalise", a.idAnalise);
        q->open();
        while (q->next())
            equipamentos.push_back({q->value(0).toInt(), q->value(3), q->value(4)});
    }
    Historico historico(a.dtColeta);
    const Colunas c(t);
    t.disableControls();
    try {
        for (const Linha& l : linhas) {
            novaLinha(t, c, l);
            for (Field* f : c.equipamento)
                f->setValue(0.0);
            for (const Equipamento& e : equipamentos) {
                if (l.pagina.isNull() || e.pagina.isNull() || e.pagina.toInt() != l.pagina.toInt()) continue;
                // Without a previous collection, or one without results, the equipment adds nothing.
                const QHash<int, QVariant>& anteriores = historico.valoresAnteriores(e.idEquipamentoCli);
                if (anteriores.isEmpty()) continue;
                const int n = e.amostra.isNull() ? 0 : e.amostra.toInt();
                if (n < 1 || n > 4) continue;
                c.equipamento[n - 1]->setValue(anteriores.value(l.idTpAnalise).toDouble());
            }
            t.post();
        }
    } catch (...) {
        if (t.editing()) t.cancel();
        t.enableControls();
        throw;
    }
    t.enableControls();
}
