// Spreadsheet export of a large list: the export as the export window runs it (copy of the
// list's statement, lookup texts, the workbook writer) against a raw fetch of the same statement
// with the bare client library and raw libxlsxwriter writing the same cells.
#include "BenchComum.h"
#include "data/FbStatus.h"
#include "data/Query.h"
#include "platform/WorkbookWriter.h"
#include "search/UnParametroExcel.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <firebird/Interface.h>
#include <ibase.h>
#include <malloc.h>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>
#include <xlsxwriter.h>

using namespace Firebird;

namespace {

using bench::escalar;
using bench::executa;
using bench::linha;
using bench::mediana;

const char* kSql100k = "select first 100000 * from mov_analise where 0=0 order by ID_ANALISE";
const char* kSqlTodas = "select * from mov_analise where 0=0 order by ID_ANALISE";
const char* kSql = kSql100k;
const QList<ColunaPlanilha> kColunas = {{"ID_ANALISE", "Análise"},
                                        {"DT_COLETA", "Data Coleta"},
                                        {"DT_RECEBIMENTO", "Data Recebto"},
                                        {"DT_AVALIACAO", "Data Análise"},
                                        {"DT_ENVIO", "Data Envio"},
                                        {"lkCliente", "Cliente"},
                                        {"lkTipoEquipamento", "Tipo de Equipamento"},
                                        {"ID_REPRESENTANTE", "Representante"}};

int ours(Database& db, const QString& file) {
    Transaction tr(&db);
    Query pessoas(&db, &tr, "IBQ_Pessoas");
    pessoas.setSqlText("select id_pessoa, cd_pessoa, nm_pesquisa from cad_pessoa order by nm_pesquisa");
    Query tipos(&db, &tr, "IBQ_TipoEquipamento");
    tipos.setSqlText("select id_tp_equipamento, nm_tp_equipamento from tab_tp_equipamento order by "
                     "nm_tp_equipamento");
    Query lista(&db, &tr, "IBQ_Mov_Analise");
    lista.setSqlText(kSql);
    lista.defineLookupField("lkCliente", "Cliente", 40, "ID_CLIENTE", &pessoas, "ID_PESSOA", "NM_PESQUISA");
    lista.defineLookupField("lkTipoEquipamento", "Tipo de Equipamento", 50, "ID_TP_EQUIPAMENTO", &tipos,
                            "ID_TP_EQUIPAMENTO", "NM_TP_EQUIPAMENTO");
    lista.open();
    Query copia(&db, &tr, "IBQ_Padrao"), consulta(&db, &tr, "IBQ_Gen");
    WorkbookWriter wb(file, WorkbookWriter::Options{true});
    const int folha = wb.addSheet("Plan1");
    const int n = EscrevePlanilha(wb, folha, lista, kColunas, copia, consulta);
    wb.fitColumns(folha);
    wb.close();
    lista.close();
    tr.commit();
    return n;
}

std::string dateText(IUtil* util, ISC_DATE d) {
    unsigned y = 0, m = 0, day = 0;
    util->decodeDate(d, &y, &m, &day);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u/%02u/%04u", day, m, y);
    return buf;
}

// The same cells with the bare client library and libxlsxwriter: the lookup lists read once
// into hash tables, dates decoded by hand, widths from the texts' lengths.
int raw(Database& db, const QString& file) {
    FbStatus st;
    IUtil* util = fbMaster()->getUtilInterface();
    IXpbBuilder* tpb = util->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0);
    tpb->insertTag(&st, isc_tpb_read_committed);
    tpb->insertTag(&st, isc_tpb_rec_version);
    tpb->insertTag(&st, isc_tpb_nowait);
    ITransaction* tra =
        db.attachment()->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
    auto readMap = [&](const char* sql) {
        std::unordered_map<int, std::string> map;
        IStatement* s =
            db.attachment()->prepare(&st, tra, 0, sql, SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata* meta = s->getOutputMetadata(&st);
        std::vector<char> buf(meta->getMessageLength(&st));
        IResultSet* rs = s->openCursor(&st, tra, nullptr, nullptr, meta, 0);
        const unsigned o0 = meta->getOffset(&st, 0), o1 = meta->getOffset(&st, 1);
        while (rs->fetchNext(&st, buf.data()) == IStatus::RESULT_OK) {
            const int key = *reinterpret_cast<int*>(buf.data() + o0);
            const auto* vc = reinterpret_cast<const unsigned short*>(buf.data() + o1);
            // The connection's ISO8859_1 text becomes UTF-8 for the workbook.
            std::string u;
            for (unsigned i = 0; i < *vc; ++i) {
                const unsigned char c = static_cast<unsigned char>(buf[o1 + 2 + i]);
                if (c < 0x80) {
                    u += static_cast<char>(c);
                } else {
                    u += static_cast<char>(0xC0 | (c >> 6));
                    u += static_cast<char>(0x80 | (c & 0x3F));
                }
            }
            map.emplace(key, std::move(u));
        }
        rs->close(&st);
        s->free(&st);
        meta->release();
        return map;
    };
    const auto pessoas = readMap("select id_pessoa, nm_pesquisa from cad_pessoa");
    const auto tipos = readMap("select id_tp_equipamento, nm_tp_equipamento from tab_tp_equipamento");

    IStatement* stmt =
        db.attachment()->prepare(&st, tra, 0, kSql, SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata* meta = stmt->getOutputMetadata(&st);
    const unsigned count = meta->getCount(&st);
    auto column = [&](const char* name) {
        for (unsigned i = 0; i < count; ++i)
            if (std::string(meta->getField(&st, i)) == name) return i;
        return 0u;
    };
    struct Col {
        unsigned off, nullOff;
        bool date;
    };
    std::vector<Col> cols;
    for (const char* c : {"ID_ANALISE", "DT_COLETA", "DT_RECEBIMENTO", "DT_AVALIACAO", "DT_ENVIO",
                          "ID_CLIENTE", "ID_TP_EQUIPAMENTO", "ID_REPRESENTANTE"}) {
        const unsigned i = column(c);
        cols.push_back({meta->getOffset(&st, i), meta->getNullOffset(&st, i),
                        (meta->getType(&st, i) & ~1u) == SQL_TYPE_DATE});
    }
    std::vector<char> buf(meta->getMessageLength(&st));
    IResultSet* rs = stmt->openCursor(&st, tra, nullptr, nullptr, meta, 0);

    const QByteArray name = QFile::encodeName(file);
    lxw_workbook_options opt{};
    opt.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(name.constData(), &opt);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Plan1");
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    std::vector<size_t> widths(kColunas.size(), 0);
    for (int c = 0; c < kColunas.size(); ++c) {
        const QByteArray t = kColunas[c].titulo.toUtf8();
        worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c), t.constData(), bold);
        widths[static_cast<size_t>(c)] = static_cast<size_t>(kColunas[c].titulo.size());
    }
    lxw_row_t r = 1;
    while (rs->fetchNext(&st, buf.data()) == IStatus::RESULT_OK) {
        for (size_t c = 0; c < cols.size(); ++c) {
            const Col& k = cols[c];
            if (*reinterpret_cast<short*>(buf.data() + k.nullOff)) continue;
            const lxw_col_t col = static_cast<lxw_col_t>(c);
            if (k.date) {
                const std::string t = dateText(util, *reinterpret_cast<ISC_DATE*>(buf.data() + k.off));
                worksheet_write_string(ws, r, col, t.c_str(), nullptr);
                widths[c] = std::max(widths[c], t.size());
                continue;
            }
            const int v = *reinterpret_cast<int*>(buf.data() + k.off);
            if (c == 5 || c == 6) {
                const auto& map = c == 5 ? pessoas : tipos;
                auto it = map.find(v);
                if (it == map.end()) continue;
                worksheet_write_string(ws, r, col, it->second.c_str(), nullptr);
                widths[c] = std::max(widths[c], it->second.size());
            } else {
                worksheet_write_number(ws, r, col, v, nullptr);
            }
        }
        ++r;
    }
    for (size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             static_cast<double>(widths[c]) + 1.5, nullptr);
    workbook_close(wb);
    rs->close(&st);
    stmt->free(&st);
    meta->release();
    tra->commit(&st);
    tpb->dispose();
    return static_cast<int>(r) - 1;
}

// The heap in use, sampled every few milliseconds while a run goes: its peak above what was
// in use when the run started.
class PicoMemoria {
public:
    PicoMemoria() {
        malloc_trim(0);
        m_base = emUso();
        m_pico = m_base;
        m_fio = std::thread([this] {
            while (!m_fim.load()) {
                const size_t u = emUso();
                if (u > m_pico.load()) m_pico.store(u);
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }
    ~PicoMemoria() { para(); }
    double megas() {
        para();
        return (static_cast<double>(m_pico.load()) - static_cast<double>(m_base)) / (1024.0 * 1024.0);
    }

private:
    static size_t emUso() { return mallinfo2().uordblks; }
    void para() {
        m_fim.store(true);
        if (m_fio.joinable()) m_fio.join();
    }
    size_t m_base = 0;
    std::atomic<size_t> m_pico{0};
    std::atomic<bool> m_fim{false};
    std::thread m_fio;
};

} // namespace

void benchExportTodas(Database& db) {
    kSql = kSqlTodas;
    QTemporaryDir dir;
    const QString a = dir.filePath("ours.xlsx"), b = dir.filePath("raw.xlsx");
    std::vector<double> o, w, mo, mw;
    int rowsOurs = 0, rowsRaw = 0;
    raw(db, b);
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        {
            PicoMemoria m;
            t.start();
            rowsRaw = raw(db, b);
            w.push_back(t.nsecsElapsed() / 1e6);
            mw.push_back(m.megas());
        }
        {
            PicoMemoria m;
            t.start();
            rowsOurs = ours(db, a);
            o.push_back(t.nsecsElapsed() / 1e6);
            mo.push_back(m.megas());
        }
    }
    kSql = kSql100k;
    if (rowsOurs != rowsRaw) std::printf("row counts differ: %d vs %d\n", rowsOurs, rowsRaw);
    const double ms = mediana(o), rawMs = mediana(w);
    std::printf("export 200 000 rows: ours %.2f ms, raw %.2f ms, ratio %.2f\n", ms, rawMs,
                rawMs > 0 ? ms / rawMs : 0.0);
    const double mb = mediana(mo), rawMb = mediana(mw);
    std::printf("export 200 000 rows, peak memory: ours %.2f MiB, raw %.2f MiB, ratio %.2f\n", mb, rawMb,
                rawMb > 0 ? mb / rawMb : 0.0);
    std::printf("  (%d rows x 8 columns; targets 1.3 and 1.5)\n", rowsOurs);
    std::fflush(stdout);
}

void benchExport(Database& db) {
    QTemporaryDir dir;
    const QString a = dir.filePath("ours.xlsx"), b = dir.filePath("raw.xlsx");
    std::vector<double> o, w;
    int rowsOurs = 0, rowsRaw = 0;
    raw(db, b); // warm the page cache for both sides
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        rowsRaw = raw(db, b);
        w.push_back(t.nsecsElapsed() / 1e6);
        t.start();
        rowsOurs = ours(db, a);
        o.push_back(t.nsecsElapsed() / 1e6);
    }
    if (rowsOurs != rowsRaw) std::printf("row counts differ: %d vs %d\n", rowsOurs, rowsRaw);
    const double ms = mediana(o), rawMs = mediana(w);
    std::printf("spreadsheet export, %d rows x 8 columns: ours %.2f ms, raw %.2f ms, ratio %.2f\n", rowsOurs,
                ms, rawMs, rawMs > 0 ? ms / rawMs : 0.0);
    std::printf("  (files %lld and %lld bytes; target 1.5)\n", static_cast<long long>(QFileInfo(a).size()),
                static_cast<long long>(QFileInfo(b).size()));
    std::fflush(stdout);
}
