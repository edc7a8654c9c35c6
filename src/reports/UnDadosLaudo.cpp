#include "reports/UnDadosLaudo.h"

#include "data/DataContext.h"
#include "data/PreparedQuery.h"
#include "platform/Errors.h"
#include "reports/SqlLaudo.h"
#include "support/UnProgressoGeral.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <set>
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

struct Linha {
    int idTpAnalise = 0;
    QString nome, ideal;
    QVariant pagina;
};

std::vector<Linha> leLinhas(const TAnaliseImpressao& a) {
    auto q = prepara(sqllaudo::kLinhas);
    q->setParam("idTpEquipamento", a.idTpEquipamento);
    q->setParam("idAnalise", a.idAnalise);
    std::vector<Linha> linhas;
    q->open();
    while (q->next())
        linhas.push_back({q->value(0).toInt(), q->value(1).toString(), q->value(2).toString(), q->value(3)});
    return linhas;
}

// An analysed equipment of the analysis.
struct Amostra {
    int id;
    QVariant pagina, amostra;
    int idEquipamentoCli;
};

// The analysed equipment of an analysis, in the order of their keys.
std::vector<Amostra> leAmostras(int idAnalise) {
    auto q = prepara(sqllaudo::kAmostras);
    q->setParam("idAnalise", idAnalise);
    std::vector<Amostra> lista;
    q->open();
    while (q->next())
        lista.push_back({q->value(0).toInt(), q->value(1), q->value(2), q->value(3).toInt()});
    std::sort(lista.begin(), lista.end(), [](const Amostra& x, const Amostra& y) { return x.id < y.id; });
    return lista;
}

// The results of one sample at a time, in the order of their keys.
class LeitorResultados {
public:
    struct Resultado {
        int id, idTpAnalise;
        QVariant valor;
    };
    LeitorResultados() : m_q(prepara(sqllaudo::kResultadosAmostra)) {}
    const std::vector<Resultado>& da(int idAnaliseEquipamento) {
        m_lista.clear();
        m_q->setParam("idAnaliseEquipamento", idAnaliseEquipamento);
        m_q->open();
        while (m_q->next())
            m_lista.push_back({m_q->value(0).toInt(), m_q->value(1).toInt(), m_q->value(2)});
        std::sort(m_lista.begin(), m_lista.end(),
                  [](const Resultado& x, const Resultado& y) { return x.id < y.id; });
        return m_lista;
    }

private:
    std::unique_ptr<PreparedQuery> m_q;
    std::vector<Resultado> m_lista;
};

// The previous collection of each equipment and its values, looked up once per equipment.
class Historico {
public:
    Historico(const QDate& dtColeta, LeitorResultados& resultados)
        : m_dtColeta(dtColeta), m_leitor(resultados), m_anterior(prepara(sqllaudo::kAnaliseAnterior)),
          m_amostras(prepara(sqllaudo::kAmostrasEquipamento)) {}

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

    // Type -> the value measured at the previous collection (a null value stays null). Empty
    // without a previous collection or without its results.
    const QHash<int, QVariant>& valoresAnteriores(int idEquipamentoCli) {
        const auto it = m_valores.find(idEquipamentoCli);
        if (it != m_valores.end()) return it->second;
        QHash<int, QVariant>& valores = m_valores[idEquipamentoCli];
        const int anterior = analiseAnterior(idEquipamentoCli);
        if (anterior != 0) valores = valoresDe(anterior, idEquipamentoCli);
        return valores;
    }

    // The equipment's values in an analysis by type: the first result of each type, by key.
    QHash<int, QVariant> valoresDe(int idAnalise, int idEquipamentoCli) {
        m_amostras->setParam("idAnalise", idAnalise);
        m_amostras->setParam("idEquipamentoCli", idEquipamentoCli);
        std::vector<int> amostras;
        m_amostras->open();
        while (m_amostras->next())
            amostras.push_back(m_amostras->value(0).toInt());
        std::sort(amostras.begin(), amostras.end());
        QHash<int, QVariant> valores;
        for (int amostra : amostras)
            for (const auto& r : m_leitor.da(amostra))
                if (!valores.contains(r.idTpAnalise)) valores.insert(r.idTpAnalise, r.valor);
        return valores;
    }

    // The previous value of a type, 0 when there is none or it is null.
    double valorAnterior(int idEquipamentoCli, int idTpAnalise) {
        return valoresAnteriores(idEquipamentoCli).value(idTpAnalise).toDouble();
    }

private:
    QDate m_dtColeta;
    LeitorResultados& m_leitor;
    std::unique_ptr<PreparedQuery> m_anterior, m_amostras;
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

// Fills `t` with its controls quiet, repainted once at the end; a row the fill refuses is not
// left half-typed in it.
template <typename Preenche> void preencheTabela(MemTable& t, Preenche&& preenche) {
    ControlsDisabled quiet(t);
    try {
        preenche();
    } catch (...) {
        if (t.editing()) t.cancel();
        throw;
    }
}

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
    t.addFieldDef(cds::NmTpAnalise, FieldKind::String, 80); // the name, and the fill-in sheet's mark
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
    {
        ControlsDisabled quietOrigem(origem);
        const int linhas = origem.recordCount();
        preencheTabela(destino, [&] {
            for (int r = 0; r < linhas; ++r) {
                destino.append();
                for (int i = 0; i < colunas; ++i)
                    alvo[static_cast<size_t>(i)]->setValue(origem.valueAt(r, origem.field(i)));
                destino.post();
            }
        });
    }
    destino.first();
}

void NumeraPaginasAmostras(int idAnalise) {
    const std::vector<Amostra> lista = leAmostras(idAnalise);
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
    LeitorResultados leitor;
    return Historico(dtColeta, leitor).analiseAnterior(idEquipamentoCli);
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
    LeitorResultados leitor;
    return Historico(QDate(), leitor).valoresDe(idAnalise, idEquipamentoCli).value(idTpAnalise).toDouble();
}

void MontaDadosLaudo(MemTable& t, const TAnaliseImpressao& a) {
    const std::vector<Linha> linhas = leLinhas(a);

    // The samples with a result, by block and analysis type, in the order of their keys.
    struct Resultado {
        QVariant amostra;
        int idEquipamentoCli;
        QVariant valor;
    };
    QHash<QPair<int, int>, std::vector<Resultado>> resultados;
    LeitorResultados leitor;
    for (const Amostra& am : leAmostras(a.idAnalise)) {
        if (am.pagina.isNull()) continue; // a sample not numbered belongs to no block
        for (const auto& r : leitor.da(am.id))
            resultados[{am.pagina.toInt(), r.idTpAnalise}].push_back(
                {am.amostra, am.idEquipamentoCli, r.valor});
    }
    Historico historico(a.dtColeta, leitor);
    const Colunas c(t);

    FechaProgressoAoSair fecha;
    MostraProgresso();
    ConfiguraProgresso("Aguarde ...", "Processando...", "Aguarde o processamento...", 0,
                       static_cast<int>(linhas.size()));
    preencheTabela(t, [&] {
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
    });
}

void MontaDadosPlanilha(MemTable& t, const TAnaliseImpressao& a) {
    const std::vector<Linha> linhas = leLinhas(a);
    // Calculated types are marked, so that the bench does not measure them.
    std::set<int> calculados;
    {
        auto q = prepara("select f.id_tp_analise from sis_ctv_formula f where f.tx_formula is not null");
        q->open();
        while (q->next())
            calculados.insert(q->value(0).toInt());
    }
    const std::vector<Amostra> equipamentos = leAmostras(a.idAnalise);
    LeitorResultados leitor;
    Historico historico(a.dtColeta, leitor);
    const Colunas c(t);
    preencheTabela(t, [&] {
        for (const Linha& l : linhas) {
            novaLinha(t, c, l);
            if (calculados.count(l.idTpAnalise)) c.nome->setValue(l.nome + kMarcaCalculado);
            for (Field* f : c.equipamento)
                f->setValue(0.0);
            for (const Amostra& e : equipamentos) {
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
    });
}
