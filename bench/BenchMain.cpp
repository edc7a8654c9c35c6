// Benchmarks on a site made with `cortivandela-site create DIR --large`. Each figure is
// printed as "NAME: ours X ms, raw Y ms, ratio Z", against the raw client library in the
// same run.
#include "data/FbStatus.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "platform/IniFile.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <firebird/Interface.h>
#include <ibase.h>
#include <malloc.h>
#include <vector>

using namespace Firebird;

namespace {

QString connectionString(const QString& site) {
    QDir dados(site + "/Dados");
    const QStringList inis = dados.entryList({"*.ini", "*.INI"}, QDir::Files);
    if (inis.isEmpty()) throw AppError("Nenhum arquivo de conexão em " + dados.path());
    IniFile ini(dados.filePath(inis.first()));
    QString servidor = ini.readString("Database", "servidor", "");
    QString path = ini.readString("Database", "path", "") + ini.readString("Database", "name", "");
    return servidor.isEmpty() ? path : servidor + ":" + path;
}

size_t heapInUse() {
    return mallinfo2().uordblks;
}

void line(const char* name, double ours, double raw, const char* unit = "ms") {
    std::printf("%s: ours %.2f %s, raw %.2f %s, ratio %.2f\n", name, ours, unit, raw, unit,
                raw > 0 ? ours / raw : 0.0);
    std::fflush(stdout);
}

struct RawResult {
    double first100Ms = 0, allMs = 0;
    size_t rows = 0, rowBytes = 0;
};

// The same statement through the bare OO API: prepare, open a cursor and fetch message
// buffers into a row store of exact row size.
RawResult rawFetch(Database& db, const QString& sql, size_t limit = SIZE_MAX) {
    RawResult r;
    FbStatus st;
    IUtil* util = fbMaster()->getUtilInterface();
    IXpbBuilder* tpb = util->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0);
    tpb->insertTag(&st, isc_tpb_read_committed);
    tpb->insertTag(&st, isc_tpb_rec_version);
    tpb->insertTag(&st, isc_tpb_nowait);
    QElapsedTimer t;
    t.start();
    ITransaction* tra =
        db.attachment()->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
    IStatement* stmt = db.attachment()->prepare(&st, tra, 0, sql.toLatin1().constData(), SQL_DIALECT_V6,
                                                IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata* meta = stmt->getOutputMetadata(&st);
    const unsigned len = meta->getMessageLength(&st);
    IResultSet* rs = stmt->openCursor(&st, tra, nullptr, nullptr, meta, 0);
    std::vector<char> store;
    store.reserve(static_cast<size_t>(len) * 1024);
    std::vector<char> buf(len);
    while (rs->fetchNext(&st, buf.data()) == IStatus::RESULT_OK) {
        store.insert(store.end(), buf.begin(), buf.end());
        if (++r.rows == 100) r.first100Ms = t.nsecsElapsed() / 1e6;
        if (r.rows >= limit) break;
    }
    r.allMs = t.nsecsElapsed() / 1e6;
    r.rowBytes = r.rows * len;
    rs->close(&st);
    stmt->free(&st);
    meta->release();
    tra->commit(&st);
    tpb->dispose();
    return r;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void benchAnalysisList(Database& db) {
    // The analysis list as the registration screen opens it with Todos. Both sides run
    // alternately several times; the medians are compared.
    const QString sql = "select * from mov_analise where 0=0 order by DT_COLETA desc";
    rawFetch(db, sql); // warm the page cache for both sides
    std::vector<double> rawFirst, rawAll, ourFirst, ourAll;
    RawResult raw;
    double ourBytes = 0;
    int ourRows = 0;
    // First rows: short runs, many of them (sub-millisecond figures need a steady median).
    for (int run = 0; run < 51; ++run) {
        rawFirst.push_back(rawFetch(db, sql, 100).first100Ms);
        Transaction tr(&db);
        Query q(&db, &tr, "IBQ_Mov_Analise");
        q.setSqlText(sql);
        q.setCachedUpdates(true);
        QElapsedTimer t;
        t.start();
        q.open();
        q.fetchMore(99);
        ourFirst.push_back(t.nsecsElapsed() / 1e6);
        q.close();
        tr.commit();
    }
    for (int run = 0; run < 7; ++run) {
        raw = rawFetch(db, sql);
        rawAll.push_back(raw.allMs);

        Transaction tr(&db);
        Query q(&db, &tr, "IBQ_Mov_Analise");
        q.setSqlText(sql);
        q.setCachedUpdates(true);
        QElapsedTimer t;
        const size_t heapBefore = heapInUse();
        t.start();
        q.open();
        q.fetchAll();
        ourAll.push_back(t.nsecsElapsed() / 1e6);
        ourBytes = static_cast<double>(heapInUse() - heapBefore);
        ourRows = q.recordCount();
        q.close();
        tr.commit();
    }
    if (static_cast<size_t>(ourRows) != raw.rows)
        std::printf("row counts differ: %d vs %zu\n", ourRows, raw.rows);
    line("analysis list, first 100 rows", median(ourFirst), median(rawFirst));
    line("analysis list, all rows", median(ourAll), median(rawAll));
    line("analysis list, memory for all rows", ourBytes / 1048576.0, raw.rowBytes / 1048576.0, "MiB");
    std::printf("  (%zu rows; targets: first rows 1.2, all rows 1.5, memory 2.0)\n", raw.rows);
}

} // namespace

void benchExport(Database& db);
void benchExportTodas(Database& db);
void benchPessoas(Database& db);
void benchLaudo(Database& db, const QString& site);
void benchAnalises(Database& db, const QString& site);
void benchControle(Database& db);
void benchFormula(Database& db);
void benchGrafico(Database& db);
void benchTelas(Database& db, const QString& site);
void benchGrade(Database& db, const QString& site);

int main(int argc, char** argv) {
    // The report and screen benchmarks draw pages and windows: offscreen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: cortivandela-bench SITE [lista] [exporta] [pessoas] [analises] [controle] "
                             "[laudo] [grafico] [grade] [formula]\n");
        return 2;
    }
    try {
        Database db;
        db.setDatabaseName(connectionString(QString::fromLocal8Bit(argv[1])));
        db.connect();
        // The program's own tables, as the program's start brings them up to date.
        atualizaEsquemaProprio(db);
        // Optional names after the site run only those benchmarks: lista, exporta, pessoas, analises,
        // controle, laudo, grafico, grade, formula.
        QStringList only;
        for (int i = 2; i < argc; ++i)
            only << QString::fromLocal8Bit(argv[i]);
        auto wanted = [&only](const char* name) { return only.isEmpty() || only.contains(name); };
        if (wanted("lista")) benchAnalysisList(db);
        if (wanted("exporta")) benchExport(db);
        if (wanted("exporta")) benchExportTodas(db);
        if (wanted("pessoas")) benchPessoas(db);
        if (wanted("analises")) benchAnalises(db, QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
        if (wanted("controle")) benchControle(db);
        if (wanted("laudo")) benchLaudo(db, QString::fromLocal8Bit(argv[1]));
        if (wanted("grafico")) benchGrafico(db);
        if (wanted("telas")) benchTelas(db, QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
        if (wanted("grade")) benchGrade(db, QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
        if (wanted("formula")) benchFormula(db);
        db.disconnect();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
