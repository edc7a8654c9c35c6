// The large site of the benchmarks: about a hundred thousand people, two hundred thousand
// analyses and two million results on top of the demo data, written through prepared
// statements with periodic commits.
#include "sitegen/DemoCatalog.h"
#include "sitegen/DemoData.h"
#include <QDate>
#include <algorithm>
#include <cmath>

using namespace demo;

namespace {

const char* const kSectors[] = {"Laticínios", "Frigorífico", "Hotel",     "Hospital",
                                "Tecelagem",  "Metalúrgica", "Bebidas",   "Usina",
                                "Celulose",   "Shopping",    "Alimentos", "Farmacêutica"};
const int kSectorActivity[] = {6, 7, 9, 10, 11, 12, 8, 14, 13, 16, 5, 15};

struct LargeGroup {
    int cliente = 0;
    int vendedor = 0;
    int tipo = 0;
    int firstPiece = 0; // key of the first piece; the pieces have consecutive keys
    int pieces = 0;
};

class LargeBuilder {
public:
    LargeBuilder(SqlSink& db, const std::function<void(const QString&)>& progress, const LargeDataSize& size)
        : m_db(db), m_progress(progress), m_size(size), m_rnd(7741), m_today(QDate::currentDate()) {}

    void run() {
        m_nextPessoa = maxKey(m_db, "CAD_PESSOA", "ID_PESSOA") + 1;
        m_nextEndereco = maxKey(m_db, "CAD_END_PESSOA", "ID_END_PESSOA") + 1;
        m_nextContato = maxKey(m_db, "CAD_CONTATO_PESSOA", "ID_CONTATO_PESSOA") + 1;
        m_nextEquip = maxKey(m_db, "TAB_EQUIPAMENTO_CLI", "ID_EQUIPAMENTO_CLI") + 1;
        m_nextAnalise = maxKey(m_db, "MOV_ANALISE", "ID_ANALISE") + 1;
        m_nextAmostra = maxKey(m_db, "MOV_ANALISE_EQUIPAMENTO", "ID_ANALISE_EQUIPAMENTO") + 1;
        m_nextResultado = maxKey(m_db, "MOV_ANALISE_RESULTADO", "ID_ANALISE_RESULTADO") + 1;
        for (const auto& t : equipmentTypes())
            m_ideal.push_back(idealResultsOf(t.id));
        people();
        equipment();
        analyses();
        m_db.commit();
        report(QString("Concluído: %1 pessoas, %2 análises, %3 resultados.")
                   .arg(m_peopleWritten)
                   .arg(m_analysesWritten)
                   .arg(m_resultsWritten));
    }

private:
    SqlSink& m_db;
    const std::function<void(const QString&)>& m_progress;
    LargeDataSize m_size;
    Random m_rnd;
    QDate m_today;
    qint64 m_sinceCommit = 0;

    int m_nextPessoa = 1, m_nextEndereco = 1, m_nextContato = 1, m_nextEquip = 1;
    int m_nextAnalise = 1, m_nextAmostra = 1, m_nextResultado = 1;
    qint64 m_peopleWritten = 0, m_analysesWritten = 0, m_resultsWritten = 0;

    std::vector<int> m_reps, m_techs;
    struct Client {
        int id;
        int vendedor;
        int atividade;
    };
    std::vector<Client> m_clients;
    std::vector<LargeGroup> m_groups; // groups in an active situation, the ones that get analyses
    std::vector<std::vector<const IdealResult*>> m_ideal;

    void report(const QString& line) {
        if (m_progress) m_progress(line);
    }

    void row() {
        if (++m_sinceCommit >= m_size.commitEvery) {
            m_db.commit();
            m_sinceCommit = 0;
        }
    }

    QString companyName(int sector) {
        return QString("%1 %2 %3").arg(kSectors[sector], m_rnd.pick(companyNames()), m_rnd.pick(surnames()));
    }

    void people() {
        Insert pessoa(m_db, "CAD_PESSOA",
                      {"ID_PESSOA", "CD_PESSOA", "NM_PESQUISA", "NM_PESSOA", "NO_CNPJ_CPF", "TP_PESSOA",
                       "DT_CADASTRO", "ID_VENDEDOR", "ID_ATIVIDADE", "NO_REG_CONS_REGIONAL", "CT_CLIENTE",
                       "CT_FORNECEDOR", "CT_TRANSPORT", "CT_OUTROS", "CT_EMPRESA", "CT_REPRESENT",
                       "CT_FUNCIONARIO", "ST_ATIVO"});
        Insert endereco(m_db, "CAD_END_PESSOA",
                        {"ID_END_PESSOA", "ID_PESSOA", "ID_CIDADE", "DS_ENDERECO", "NO_ENDERECO", "NM_BAIRRO",
                         "NO_CEP", "ST_FATURA", "ST_ENTREGA", "ST_COBRANCA"});
        Insert contato(m_db, "CAD_CONTATO_PESSOA",
                       {"ID_CONTATO_PESSOA", "ID_PESSOA", "NM_CONTATO", "NO_FONE", "ST_FONE_PRINCIPAL"});

        const int reps = std::max(5, m_size.people / 250);
        const int techs = std::max(4, m_size.people / 500);
        const int ncities = int(cities().size());
        auto write = [&](int kind, int vendedor, int atividade) {
            // kind: 0 client, 1 representative, 2 technician
            const int id = m_nextPessoa++;
            const bool juridica = kind == 0 && m_rnd.chance(0.6);
            QString pesquisa, razao;
            if (juridica) {
                const int sector = m_rnd.between(0, 11);
                atividade = kSectorActivity[sector];
                pesquisa = companyName(sector);
                razao = pesquisa + (m_rnd.chance(0.7) ? " Ltda" : " S/A");
            } else {
                const QString first = m_rnd.pick(firstNames()), last = m_rnd.pick(surnames());
                pesquisa = first + " " + last;
                razao = first + " " + m_rnd.pick(surnames()) + " " + last;
            }
            const int cidade = m_rnd.between(0, ncities - 1);
            const City& c = cities()[cidade];
            pessoa({id, QString::number(id).rightJustified(6, '0'), fit(pesquisa, 40), fit(razao, 50),
                    juridica ? makeCnpj(m_rnd) : makeCpf(m_rnd), juridica ? "J" : "F",
                    m_today.addDays(-m_rnd.between(30, 3000)), vendedor ? QVariant(vendedor) : QVariant(),
                    atividade ? QVariant(atividade) : QVariant(),
                    kind == 2 ? QVariant(QString("CRQ-IV %1").arg(m_rnd.digits(8))) : QVariant(),
                    kind == 0 ? "S" : "N", "N", "N", "N", "N", kind == 1 ? "S" : "N", kind == 2 ? "S" : "N",
                    "S"});
            row();
            endereco({m_nextEndereco++, id, cidade + 1, m_rnd.pick(streets()),
                      QString::number(m_rnd.between(10, 4800)), m_rnd.pick(districts()),
                      QString(c.cepPrefix) + m_rnd.digits(5), "S", "S", "S"});
            row();
            contato({m_nextContato++, id, pesquisa.left(40),
                     QString("(%1) 3%2-%3").arg(c.ddd, m_rnd.digits(3), m_rnd.digits(4)), "S"});
            row();
            ++m_peopleWritten;
            return std::pair<int, int>(id, atividade);
        };

        for (int i = 0; i < reps; ++i)
            m_reps.push_back(write(1, 0, 17).first);
        for (int i = 0; i < techs; ++i)
            m_techs.push_back(write(2, 0, m_rnd.between(1, 4)).first);
        const int clients = std::max(1, m_size.people - reps - techs);
        for (int i = 0; i < clients; ++i) {
            const int vendedor = m_rnd.pick(m_reps);
            const auto [id, atividade] = write(0, vendedor, 0);
            m_clients.push_back({id, vendedor, atividade});
            if ((i + 1) % 20000 == 0)
                report(QString("Pessoas: %1 de %2").arg(i + 1 + reps + techs).arg(m_size.people));
        }
        m_db.commit();
        m_sinceCommit = 0;
        report(QString("Pessoas gravadas: %1").arg(m_peopleWritten));
    }

    void equipment() {
        Insert equip(m_db, "TAB_EQUIPAMENTO_CLI",
                     {"ID_EQUIPAMENTO_CLI", "ID_CLIENTE", "ID_TP_EQUIPAMENTO", "NM_EQUIPAMENTO",
                      "DT_PROPOSTA", "NO_PROPOSTA", "DS_PRODUTOS", "ID_SITAUCAO_EQUIPAMENTO",
                      "DT_SITUACAO_EQUIPAMENTO", "TX_OBS_SITUACAO_EQUIP"});
        const QByteArray recusa = latin1("Proposta recusada pelo cliente.");
        qint64 written = 0;
        int proposta = 1;
        for (const Client& cli : m_clients) {
            const std::vector<int> profile = equipmentProfile(cli.atividade);
            for (size_t k = 0; k < profile.size(); ++k) {
                if (k > 0 && !m_rnd.chance(0.3)) continue;
                const int tipo = profile[k];
                const double s = m_rnd.real(0, 1);
                const int situacao = s < 0.92    ? kSituacaoAprovada
                                     : s < 0.96  ? kSituacaoAguardando
                                     : s < 0.985 ? kSituacaoRecusada
                                                 : kSituacaoDesativada;
                const QDate dtProposta = m_today.addDays(-m_rnd.between(20, 900));
                const QString numero =
                    QString("PL-%1/%2").arg(dtProposta.year()).arg(proposta++ % 1000000, 6, 10, QChar('0'));
                const auto& names = equipmentTypes()[tipo - 1].nomes;
                const int pieces = m_rnd.chance(0.7) ? 1 : 2;
                LargeGroup g{cli.id, cli.vendedor, tipo, m_nextEquip, pieces};
                for (int p = 0; p < pieces; ++p) {
                    equip({m_nextEquip++, cli.id, tipo, names[p], dtProposta, numero,
                           baseProducts()[equipmentTypes()[tipo - 1].produtos.front() - 1].marca, situacao,
                           dtProposta.addDays(m_rnd.between(0, 15)),
                           situacao == kSituacaoRecusada ? QVariant(recusa) : QVariant()});
                    row();
                    ++written;
                }
                if (situacao == kSituacaoAprovada) m_groups.push_back(g);
            }
        }
        m_db.commit();
        m_sinceCommit = 0;
        report(QString("Equipamentos de clientes gravados: %1").arg(written));
    }

    void analyses() {
        Insert analise(m_db, "MOV_ANALISE",
                       {"ID_ANALISE", "DT_COLETA", "DT_RECEBIMENTO", "DT_AVALIACAO", "DT_ENVIO", "ID_CLIENTE",
                        "ID_REPRESENTANTE", "ID_RESPONSAVEL_TECNICO", "ID_TP_EQUIPAMENTO"});
        Insert amostra(m_db, "MOV_ANALISE_EQUIPAMENTO",
                       {"ID_ANALISE_EQUIPAMENTO", "ID_ANALISE", "ID_EQUIPAMENTO_CLI", "NO_PAGINA",
                        "NO_AMOSTRA", "TX_COMENTARIO"});
        Insert resultado(m_db, "MOV_ANALISE_RESULTADO",
                         {"ID_ANALISE_RESULTADO", "ID_TP_ANALISE", "ID_ANALISE_EQUIPAMENTO", "VL_RESULTADO"});
        if (m_groups.empty()) return;
        const QByteArray ok = rtfParagraph("Valores dentro do esperado.");
        while (m_analysesWritten < m_size.analyses || m_resultsWritten < m_size.results) {
            const LargeGroup& g = m_groups[m_rnd.between(0, int(m_groups.size()) - 1)];
            const QDate coleta = m_today.addDays(-m_rnd.between(0, 729));
            const QDate recebimento = std::min(coleta.addDays(m_rnd.between(0, 2)), m_today);
            QDate avaliacao = recebimento.addDays(m_rnd.between(1, 3));
            if (avaliacao > m_today) avaliacao = QDate();
            QDate envio = avaliacao.isValid() ? avaliacao.addDays(m_rnd.between(0, 3)) : QDate();
            if (envio > m_today) envio = QDate();
            const int id = m_nextAnalise++;
            analise({id, coleta, recebimento, avaliacao.isValid() ? QVariant(avaliacao) : QVariant(),
                     envio.isValid() ? QVariant(envio) : QVariant(), g.cliente, g.vendedor,
                     m_rnd.pick(m_techs), g.tipo});
            row();
            ++m_analysesWritten;
            for (int p = 0; p < g.pieces; ++p) {
                const int amostraKey = m_nextAmostra++;
                amostra({amostraKey, id, g.firstPiece + p, 1, p + 1,
                         avaliacao.isValid() && m_rnd.chance(0.2) ? QVariant(ok) : QVariant()});
                row();
                if (!avaliacao.isValid()) continue;
                const double bias = m_rnd.real(0.25, 0.7);
                const auto valores = sampleValues(m_ideal[g.tipo - 1], [&](const IdealResult& r) {
                    if (r.max <= r.min) return 0.0;
                    const double t = std::clamp(bias + m_rnd.normal(0.0, 0.18), 0.0, 1.0);
                    const double f = std::pow(10.0, r.decimals);
                    return std::round((r.min + (r.max - r.min) * t) * f) / f;
                });
                for (const auto& [tipo, v] : valores) {
                    resultado({m_nextResultado++, tipo, amostraKey, v});
                    row();
                    ++m_resultsWritten;
                }
            }
            if (m_analysesWritten % 20000 == 0)
                report(QString("Análises: %1 (resultados: %2)").arg(m_analysesWritten).arg(m_resultsWritten));
        }
    }
};

} // namespace

void generateLargeData(SqlSink& db, const std::function<void(const QString&)>& progress) {
    generateLargeData(db, progress, LargeDataSize{});
}

void generateLargeData(SqlSink& db, const std::function<void(const QString&)>& progress,
                       const LargeDataSize& size) {
    const QVariant types = db.scalar("select count(*) from TAB_TP_EQUIPAMENTO");
    if (types.isNull() || types.toInt() == 0) {
        if (progress) progress("Gravando os dados de demonstração...");
        generateDemoData(db);
    }
    LargeBuilder(db, progress, size).run();
}
