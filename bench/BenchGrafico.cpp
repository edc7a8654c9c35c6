// The trend chart window on the large site: an equipment collected 200 times with 40 analysis
// types each time. The window opened on one type (as from a row of the results window) and on
// every type, until it is shown and painted, against the statement that reads the equipment's
// values run with the bare client library in the same run.
#include "BenchComum.h"
#include "data/DataContext.h"
#include "data/FbStatus.h"
#include "data/Query.h"
#include "reports/GraficoTendencia.h"
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <firebird/Interface.h>
#include <ibase.h>
#include <vector>

using namespace Firebird;

namespace {

using bench::escalar;
using bench::executa;
using bench::linha;
using bench::mediana;

const char* const kTipoEquipamento = "Linha de Tendência (benchmark)";
constexpr int kColetas = 200, kTipos = 40;

// Both sides run in this process (the embedded engine included), so the process's CPU time
// compares them also on a machine shared with other work; wall times are printed beside.
struct Tempo {
    double parede = 0, cpu = 0;
};
class Cronometro {
public:
    Cronometro() {
        m_parede.start();
        m_cpu = cpuMs();
    }
    Tempo tempo() const { return {m_parede.nsecsElapsed() / 1e6, cpuMs() - m_cpu}; }

private:
    static double cpuMs() {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
    }
    QElapsedTimer m_parede;
    double m_cpu = 0;
};

QVariant valorDe(Database& db, Transaction& tr, const QString& sql) {
    Query q(&db, &tr);
    q.setSqlText(sql);
    q.open();
    return q.isEmpty() ? QVariant() : q.fields().front()->value();
}

// The equipment of the benchmark, written once on the site (found again on the next run).
int preparaEquipamento(Database& db) {
    Transaction tr(&db);
    tr.start();
    const QVariant existente = valorDe(
        db, tr,
        QString("select max(e.id_equipamento_cli) from tab_equipamento_cli e join tab_tp_equipamento t on "
                "t.id_tp_equipamento = e.id_tp_equipamento where t.nm_tp_equipamento = '%1'")
            .arg(QString::fromUtf8(kTipoEquipamento)));
    if (!existente.isNull()) {
        tr.commit();
        return existente.toInt();
    }
    auto proximo = [&](const char* tabela, const char* chave) {
        return valorDe(db, tr, QString("select coalesce(max(%1), 0) + 1 from %2").arg(chave, tabela)).toInt();
    };
    auto insere = [&](const QString& sql, const QVariantList& valores) {
        Statement st(&db, &tr);
        st.prepare(sql);
        for (int i = 0; i < valores.size(); ++i)
            st.setParam(i, valores[i]);
        st.execute();
    };
    const int cliente =
        valorDe(db, tr, "select min(id_pessoa) from cad_pessoa where ct_cliente = 'S'").toInt();
    const int representante =
        valorDe(db, tr, "select min(id_pessoa) from cad_pessoa where ct_represent = 'S'").toInt();
    const int tecnico =
        valorDe(db, tr, "select min(id_pessoa) from cad_pessoa where ct_funcionario = 'S'").toInt();
    const int tipoEquip = proximo("tab_tp_equipamento", "id_tp_equipamento");
    insere("insert into tab_tp_equipamento values (?, ?, ?)",
           {tipoEquip, QString::fromUtf8(kTipoEquipamento), "Tendência"});
    int tipoAnalise = proximo("tab_tp_analise", "id_tp_analise");
    int ideal = proximo("tab_resultado_ideal", "id_resultado_ideal");
    std::vector<int> tipos;
    for (int t = 0; t < kTipos; ++t) {
        tipos.push_back(tipoAnalise);
        insere("insert into tab_tp_analise values (?, ?)",
               {tipoAnalise, QString::fromUtf8("Tendência %1 (mg/L)").arg(t + 1, 2, 10, QChar('0'))});
        insere("insert into tab_resultado_ideal values (?, ?, ?, ?)",
               {ideal++, tipoAnalise++, tipoEquip,
                t % 2 ? QString::fromUtf8("Máx. %1").arg(t * 10 + 50)
                      : QString("%1 a %2").arg(t * 10).arg(t * 10 + 50)});
    }
    const int equip = proximo("tab_equipamento_cli", "id_equipamento_cli");
    insere(
        "insert into tab_equipamento_cli (id_equipamento_cli, id_cliente, id_tp_equipamento, nm_equipamento) "
        "values (?, ?, ?, ?)",
        {equip, cliente, tipoEquip, QString::fromUtf8("Linha de Tendência 01")});
    int analise = proximo("mov_analise", "id_analise");
    int amostra = proximo("mov_analise_equipamento", "id_analise_equipamento");
    int resultado = proximo("mov_analise_resultado", "id_analise_resultado");
    const QDate primeira(2015, 1, 5);
    for (int c = 0; c < kColetas; ++c) {
        const QDate coleta = primeira.addDays(14 * c);
        insere("insert into mov_analise values (?, ?, ?, ?, ?, ?, ?, ?, ?)",
               {analise, coleta, coleta, coleta.addDays(2), QVariant(), cliente, representante, tecnico,
                tipoEquip});
        insere("insert into mov_analise_equipamento (id_analise_equipamento, id_analise, id_equipamento_cli) "
               "values (?, ?, ?)",
               {amostra, analise, equip});
        for (int t = 0; t < kTipos; ++t)
            insere(
                "insert into mov_analise_resultado values (?, ?, ?, ?)",
                {resultado++, tipos[static_cast<size_t>(t)], amostra, t * 10 + (c * 7 + t * 3) % 60 + 0.25});
        ++analise;
        ++amostra;
    }
    tr.commit();
    return equip;
}

// The values' statement through the bare OO API: prepare, open, fetch every row into a row store.
Tempo bruto(Database& db, const QString& sql, size_t& linhas) {
    FbStatus st;
    IXpbBuilder* tpb = fbMaster()->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0);
    tpb->insertTag(&st, isc_tpb_read_committed);
    tpb->insertTag(&st, isc_tpb_rec_version);
    tpb->insertTag(&st, isc_tpb_nowait);
    Cronometro t;
    ITransaction* tra =
        db.attachment()->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
    IStatement* stmt = db.attachment()->prepare(&st, tra, 0, sql.toLatin1().constData(), SQL_DIALECT_V6,
                                                IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata* meta = stmt->getOutputMetadata(&st);
    const unsigned len = meta->getMessageLength(&st);
    IResultSet* rs = stmt->openCursor(&st, tra, nullptr, nullptr, meta, 0);
    std::vector<char> store, buf(len);
    linhas = 0;
    while (rs->fetchNext(&st, buf.data()) == IStatus::RESULT_OK) {
        store.insert(store.end(), buf.begin(), buf.end());
        ++linhas;
    }
    const Tempo ms = t.tempo();
    rs->close(&st);
    stmt->free(&st);
    meta->release();
    tra->commit(&st);
    tpb->dispose();
    return ms;
}

// The window from its creation until it is shown and painted.
Tempo janela(int equipamento, const std::vector<int>& tipos, size_t& graficos) {
    Cronometro t;
    TfrmGraficoTendencia frm(equipamento, tipos);
    const Tempo criada = t.tempo();
    frm.show();
    const Tempo mostrada = t.tempo();
    QApplication::processEvents();
    const Tempo eventos = t.tempo();
    frm.repaint();
    const Tempo ms = t.tempo();
    if (qEnvironmentVariableIsSet("CTV_BENCH_DETALHE"))
        std::printf("  janela: criada %.2f, show %.2f, eventos %.2f, pintada %.2f ms cpu\n", criada.cpu,
                    mostrada.cpu, eventos.cpu, ms.cpu);
    graficos = frm.graficos().size();
    frm.hide();
    return ms;
}

} // namespace

void benchGrafico(Database& db) {
    const int equipamento = preparaEquipamento(db);
    Transaction tr(&db), gen(&db);
    dataContext() = DataContext{&db, &tr, &gen};
    int tipo = 0;
    {
        gen.ensureActive();
        tipo =
            valorDe(
                db, gen,
                QString("select min(r.id_tp_analise) from tab_resultado_ideal r join tab_equipamento_cli e "
                        "on e.id_tp_equipamento = r.id_tp_equipamento where e.id_equipamento_cli = %1")
                    .arg(equipamento))
                .toInt();
    }
    const QString sql = SqlValoresTendencia(equipamento);
    size_t linhas = 0, graficos = 0;
    bruto(db, sql, linhas); // warm the page cache for both sides
    janela(equipamento, {tipo}, graficos);
    // The three sides run alternately; the medians are compared.
    const QString sqlTipo = SqlValoresTendencia(equipamento, {}, {tipo});
    size_t linhasTipo = 0;
    std::vector<Tempo> brutos, brutosTipo, leituras, umTipo, todos;
    for (int run = 0; run < 15; ++run) {
        brutos.push_back(bruto(db, sql, linhas));
        brutosTipo.push_back(bruto(db, sqlTipo, linhasTipo));
        Cronometro t;
        const DadosTendencia d = LeTendencias(db, gen, equipamento);
        leituras.push_back(t.tempo());
        umTipo.push_back(janela(equipamento, {tipo}, graficos));
    }
    for (int run = 0; run < 3; ++run)
        todos.push_back(janela(equipamento, {}, graficos));
    auto medianaDe = [](const std::vector<Tempo>& v, bool cpu) {
        std::vector<double> x;
        for (const Tempo& t : v)
            x.push_back(cpu ? t.cpu : t.parede);
        return bench::mediana(x);
    };
    auto linha = [&](const char* nome, const std::vector<Tempo>& nossos, const std::vector<Tempo>& crus) {
        for (bool cpu : {true, false}) {
            const double n = medianaDe(nossos, cpu), b = medianaDe(crus, cpu);
            std::printf("trend chart, %s (%s): ours %.2f ms, raw %.2f ms, ratio %.2f\n", nome,
                        cpu ? "cpu" : "wall", n, b, b > 0 ? n / b : 0.0);
        }
    };
    linha("every value read", leituras, brutos);
    linha("window on one type, against every value", umTipo, brutos);
    linha("window on one type, against its values", umTipo, brutosTipo);
    linha(graficos == 40 ? "window on all 40 types" : "window on all types", todos, brutos);
    std::printf("  (%zu values, %zu of the type; target: the window within 1.5 of the raw read of the "
                "equipment's values)\n",
                linhas, linhasTipo);
    std::fflush(stdout);
    gen.commit();
    dataContext() = DataContext{};
}
