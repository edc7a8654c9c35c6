// The grid of every sample of an analysis on the large site: an analysis of 12 samples of an
// equipment type with 40 analysis types, each sample with a previous collection. The window is
// opened (its reads) and every value is changed and saved (one transaction, 480 updates with
// their audit rows), against the same statements run with the bare client library.
#include "BenchComum.h"
#include "ProgramaBancada.h"
#include "app/UnMenuPrincipal.h"
#include "data/DataContext.h"
#include "data/FbStatus.h"
#include "data/Query.h"
#include "data/UndmPadrao.h"
#include "lab/UnResultadosTodasAmostras.h"
#include "platform/Dialogs.h"
#include "platform/OsFacts.h"
#include "screens/controls/DBGrid.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <firebird/Interface.h>
#include <ibase.h>
#include <memory>
#include <vector>

using namespace Firebird;

namespace {

using bench::escalar;
using bench::executa;
using bench::linha;
using bench::mediana;

constexpr int kAmostras = 12;
constexpr int kTipoEquipamento = 902;
constexpr int kTipos = 40;

// Written once per site: the equipment type with 40 analysis types, 12 boilers of one client,
// a January analysis and a February one sampling all of them with every value measured.
// Returns the February analysis.
int preparaAnalise(Database& db) {
    const QString marca =
        QString("select max(ma.id_analise) from mov_analise ma where ma.id_tp_equipamento = %1")
            .arg(kTipoEquipamento);
    if (const int a = escalar(db, marca).toInt(); a > 0) return a;
    const int maxTipo = escalar(db, "select max(id_tp_analise) from tab_tp_analise").toInt();
    executa(db, QString::fromUtf8("insert into tab_tp_equipamento values (%1, 'Caldeira de Bancada', "
                                  "'Análise de Caldeira de Bancada')")
                    .arg(kTipoEquipamento));
    int ideal = escalar(db, "select max(id_resultado_ideal) from tab_resultado_ideal").toInt();
    for (int i = 1; i <= kTipos; ++i) {
        executa(db, QString::fromUtf8("insert into tab_tp_analise values (%1, 'Parâmetro de Bancada %2')")
                        .arg(maxTipo + i)
                        .arg(i, 2, 10, QChar('0')));
        executa(db, QString("insert into tab_resultado_ideal values (%1, %2, %3, 'Máx. %4,0')")
                        .arg(++ideal)
                        .arg(maxTipo + i)
                        .arg(kTipoEquipamento)
                        .arg(i * 10));
    }
    const int cliente =
        escalar(db, "select first 1 id_pessoa from cad_pessoa where ct_cliente = 'S'").toInt();
    const int rep = escalar(db, "select first 1 id_pessoa from cad_pessoa where ct_represent = 'S'").toInt();
    const int tec =
        escalar(db, "select first 1 id_pessoa from cad_pessoa where ct_funcionario = 'S'").toInt();
    const int equip0 = escalar(db, "select max(id_equipamento_cli) from tab_equipamento_cli").toInt();
    for (int e = 1; e <= kAmostras; ++e)
        executa(db,
                QString("insert into tab_equipamento_cli (id_equipamento_cli, id_cliente, id_tp_equipamento, "
                        "nm_equipamento) values (%1, %2, %3, 'Caldeira B-%4')")
                    .arg(equip0 + e)
                    .arg(cliente)
                    .arg(kTipoEquipamento)
                    .arg(e, 2, 10, QChar('0')));
    int analise = escalar(db, "select max(id_analise) from mov_analise").toInt();
    int amostra = escalar(db, "select max(id_analise_equipamento) from mov_analise_equipamento").toInt();
    int resultado = escalar(db, "select max(id_analise_resultado) from mov_analise_resultado").toInt();
    for (const char* coleta : {"2024-01-15", "2024-02-15"}) {
        executa(db, QString("insert into mov_analise (id_analise, dt_coleta, dt_recebimento, id_cliente, "
                            "id_representante, id_responsavel_tecnico, id_tp_equipamento) values (%1, '%2', "
                            "'%2', %3, %4, %5, %6)")
                        .arg(++analise)
                        .arg(coleta)
                        .arg(cliente)
                        .arg(rep)
                        .arg(tec)
                        .arg(kTipoEquipamento));
        for (int e = 1; e <= kAmostras; ++e) {
            executa(db, QString("insert into mov_analise_equipamento (id_analise_equipamento, id_analise, "
                                "id_equipamento_cli) values (%1, %2, %3)")
                            .arg(++amostra)
                            .arg(analise)
                            .arg(equip0 + e));
            for (int i = 1; i <= kTipos; ++i)
                executa(db, QString("insert into mov_analise_resultado values (%1, %2, %3, %4)")
                                .arg(++resultado)
                                .arg(maxTipo + i)
                                .arg(amostra)
                                .arg(i * 1.25 + e));
        }
    }
    return analise;
}

// The window's statements with the bare client library: the reads of the grid, then the 480
// updates in one transaction and its commit.
class Bruto {
public:
    explicit Bruto(Database& db) : m_att(db.attachment()) {}
    ITransaction* inicia() {
        IXpbBuilder* tpb = fbMaster()->getUtilInterface()->getXpbBuilder(&m_st, IXpbBuilder::TPB, nullptr, 0);
        tpb->insertTag(&m_st, isc_tpb_read_committed);
        tpb->insertTag(&m_st, isc_tpb_rec_version);
        tpb->insertTag(&m_st, isc_tpb_nowait);
        ITransaction* t = m_att->startTransaction(&m_st, tpb->getBufferLength(&m_st), tpb->getBuffer(&m_st));
        tpb->dispose();
        return t;
    }
    // Every row into a row store; returns the rows' first two integer columns.
    std::vector<std::pair<int, int>> todas(ITransaction* t, const QString& sql) {
        const QByteArray texto = Database::encode(sql);
        IStatement* st = m_att->prepare(&m_st, t, 0, texto.constData(), SQL_DIALECT_V6,
                                        IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata* meta = st->getOutputMetadata(&m_st);
        const unsigned len = meta->getMessageLength(&m_st);
        IResultSet* rs = st->openCursor(&m_st, t, nullptr, nullptr, meta, 0);
        std::vector<char> linhas, buf(len);
        std::vector<std::pair<int, int>> chaves;
        while (rs->fetchNext(&m_st, buf.data()) == IStatus::RESULT_OK) {
            linhas.insert(linhas.end(), buf.begin(), buf.end());
            int32_t a = 0, b = 0;
            std::memcpy(&a, buf.data() + meta->getOffset(&m_st, 0), 4);
            if (meta->getCount(&m_st) > 1 && meta->getType(&m_st, 1) == SQL_LONG)
                std::memcpy(&b, buf.data() + meta->getOffset(&m_st, 1), 4);
            chaves.emplace_back(a, b);
        }
        rs->close(&m_st);
        st->free(&m_st);
        meta->release();
        return chaves;
    }
    // update ... set vl_resultado = new where sample, type and the value read.
    void atualiza(ITransaction* t, const std::vector<std::tuple<int, int, int64_t, int64_t>>& celulas) {
        IStatement* st =
            m_att->prepare(&m_st, t, 0,
                           "update mov_analise_resultado set vl_resultado = ? where "
                           "id_analise_equipamento = ? and id_tp_analise = ? and vl_resultado = ?",
                           SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata* in = st->getInputMetadata(&m_st);
        std::vector<char> buf(in->getMessageLength(&m_st));
        for (const auto& [amostra, tipo, novo, lido] : celulas) {
            std::fill(buf.begin(), buf.end(), 0);
            std::memcpy(buf.data() + in->getOffset(&m_st, 0), &novo, 8);
            std::memcpy(buf.data() + in->getOffset(&m_st, 1), &amostra, 4);
            std::memcpy(buf.data() + in->getOffset(&m_st, 2), &tipo, 4);
            std::memcpy(buf.data() + in->getOffset(&m_st, 3), &lido, 8);
            st->execute(&m_st, t, in, buf.data(), nullptr, nullptr);
        }
        in->release();
        st->free(&m_st);
    }
    void confirma(ITransaction* t) { t->commit(&m_st); }

private:
    IAttachment* m_att;
    FbStatus m_st;
};

double g_leituraCrua = 0; // the raw reads of the last run

double bruto(Database& db, int idAnalise, double soma) {
    Bruto b(db);
    QElapsedTimer t;
    t.start();
    ITransaction* leitura = b.inicia();
    b.todas(leitura, "select ma.id_tp_equipamento from mov_analise ma where ma.id_analise = " +
                         QString::number(idAnalise));
    const auto tipos = b.todas(
        leitura,
        "select tta.id_tp_analise, tta.nm_tp_analise, tri.ds_resultado_ideal from tab_resultado_ideal "
        "tri join tab_tp_analise tta on tta.id_tp_analise = tri.id_tp_analise where "
        "tri.id_tp_equipamento = " +
            QString::number(kTipoEquipamento) + " order by tta.nm_tp_analise");
    const auto amostras = b.todas(
        leitura,
        "select mae.id_analise_equipamento, (select first 1 p.id_analise_equipamento from "
        "mov_analise_equipamento p inner join mov_analise pa on pa.id_analise = p.id_analise where "
        "p.id_equipamento_cli = mae.id_equipamento_cli and pa.dt_coleta < ma.dt_coleta order by pa.dt_coleta "
        "desc, p.id_analise_equipamento desc) as anterior, tec.nm_equipamento from mov_analise_equipamento "
        "mae "
        "inner join mov_analise ma on ma.id_analise = mae.id_analise left join tab_equipamento_cli tec on "
        "tec.id_equipamento_cli = mae.id_equipamento_cli where mae.id_analise = " +
            QString::number(idAnalise) + " order by mae.id_analise_equipamento");
    QStringList chaves;
    for (const auto& [amostra, anterior] : amostras)
        chaves << QString::number(amostra) << QString::number(anterior);
    b.todas(leitura, "select mar.id_analise_equipamento, mar.id_tp_analise, mar.vl_resultado from "
                     "mov_analise_resultado mar where mar.id_analise_equipamento in (" +
                         chaves.join(',') + ") order by mar.id_analise_resultado");
    b.todas(leitura, "select ma.dt_coleta, cp.nm_pesquisa from mov_analise ma left join cad_pessoa cp on "
                     "cp.id_pessoa = ma.id_cliente where ma.id_analise = " +
                         QString::number(idAnalise));
    b.confirma(leitura);
    g_leituraCrua = t.nsecsElapsed() / 1e6;
    // The values as the window's save writes them: each cell from what it holds to a new value.
    std::vector<std::tuple<int, int, int64_t, int64_t>> celulas;
    ITransaction* escrita = b.inicia();
    for (size_t a = 0; a < amostras.size(); ++a)
        for (size_t i = 0; i < tipos.size(); ++i)
            celulas.emplace_back(amostras[a].first, tipos[i].first,
                                 static_cast<int64_t>((soma + 0.5 + static_cast<double>(i + a)) * 10000.0),
                                 static_cast<int64_t>((soma + static_cast<double>(i + a)) * 10000.0));
    b.atualiza(escrita, celulas);
    b.confirma(escrita);
    return t.nsecsElapsed() / 1e6;
}

// Every value of the analysis set to (base + type + sample), as the raw run reads them.
void fixaValores(Database& db, int idAnalise, double base) {
    executa(db,
            QString("update mov_analise_resultado mar set mar.vl_resultado = %1 + (select count(*) from "
                    "tab_tp_analise t where t.id_tp_analise < mar.id_tp_analise and t.id_tp_analise in "
                    "(select id_tp_analise from tab_resultado_ideal where id_tp_equipamento = %3)) + (select "
                    "count(*) from mov_analise_equipamento e where e.id_analise = %2 and "
                    "e.id_analise_equipamento < mar.id_analise_equipamento) where mar.id_analise_equipamento "
                    "in (select id_analise_equipamento from mov_analise_equipamento where id_analise = %2)")
                .arg(base)
                .arg(idAnalise)
                .arg(kTipoEquipamento));
}

} // namespace

void benchGrade(Database& db, const QString& site) {
    const int idAnalise = preparaAnalise(db);
    ProgramaBancada programa(site, "bancada");
    ScriptedDialogs& dialogs = programa.dialogs;
    TfrmMenuPrincipal* principal = programa.principal();
    if (!programa.conectado()) {
        std::printf("results grid: the site's connection could not be made\n");
        return;
    }
    std::vector<double> nossa, crua, abre, leitura, leituraCrua;
    int celulas = 0;
    for (int run = 0; run < 7; ++run) {
        // The raw run changes every value from base to base + 0.5; ours from there by 0.25.
        const double base = 100.0 * (run + 1);
        fixaValores(db, idAnalise, base);
        crua.push_back(bruto(db, idAnalise, base));
        leituraCrua.push_back(g_leituraCrua);
        QElapsedTimer t;
        {
            // The reads alone, through the data layer.
            const DataContext& ctx = dataContext();
            t.start();
            LeGradeResultados(*ctx.IBSolution, *ctx.IBT_Gen, idAnalise);
            leitura.push_back(t.nsecsElapsed() / 1e6);
        }
        t.start();
        TfrmResultadosTodasAmostras janela(principal);
        janela.IidAnalise = idAnalise;
        janela.show();
        abre.push_back(t.nsecsElapsed() / 1e6);
        MemTable& g = janela.cdsGrade;
        celulas = 0;
        for (int r = 0; r < g.recordCount(); ++r) {
            g.setRecNo(r);
            g.edit();
            for (size_t a = 0; a < janela.dados().amostras.size(); ++a) {
                Field* f = g.fieldByName(QString("VL_%1").arg(a));
                f->setValue(f->value().toDouble() + 0.25);
                ++celulas;
            }
            g.post();
        }
        janela.btnSalvar->click();
        nossa.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("results grid, %d samples x %d types: open and save every value: ours %.2f ms, raw %.2f ms, "
                "ratio %.2f\n",
                kAmostras, kTipos, mediana(nossa), mediana(crua),
                mediana(crua) > 0 ? mediana(nossa) / mediana(crua) : 0);
    std::printf(
        "  (%d cells changed; opening alone %.2f ms, its reads %.2f ms against %.2f ms raw; target 1.5)\n",
        celulas, mediana(abre), mediana(leitura), mediana(leituraCrua));
    if (dialogs.messageCount())
        std::printf("  messages: %s\n", dialogs.texts().join(" | ").toLocal8Bit().constData());
    std::fflush(stdout);
}
