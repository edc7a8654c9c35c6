// Person search on the large site: the window's statement for a part of the name, run through
// our dataset as the window runs it (open, first rows for the grid, then every row for the
// count), against the same statement fetched with the bare client library in the same run.
#include "BenchComum.h"
#include "data/DataContext.h"
#include "data/FbStatus.h"
#include "data/Query.h"
#include "screens/controls/DBGrid.h"
#include "search/UnPesquisaPessoaComercio.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <firebird/Interface.h>
#include <ibase.h>
#include <vector>

using namespace Firebird;

namespace {

using bench::escalar;
using bench::executa;
using bench::linha;
using bench::mediana;

struct Medida {
    double primeirasMs = 0, todasMs = 0;
    int linhas = 0;
};

constexpr int kPrimeiras = 100;

Medida bruto(Database& db, const QString& sql) {
    Medida m;
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
    const QByteArray texto = Database::encode(sql);
    IStatement* stmt = db.attachment()->prepare(&st, tra, 0, texto.constData(), SQL_DIALECT_V6,
                                                IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata* meta = stmt->getOutputMetadata(&st);
    const unsigned len = meta->getMessageLength(&st);
    IResultSet* rs = stmt->openCursor(&st, tra, nullptr, nullptr, meta, 0);
    std::vector<char> linhas;
    linhas.reserve(static_cast<size_t>(len) * 1024);
    std::vector<char> buf(len);
    while (rs->fetchNext(&st, buf.data()) == IStatus::RESULT_OK) {
        linhas.insert(linhas.end(), buf.begin(), buf.end());
        if (++m.linhas == kPrimeiras) m.primeirasMs = t.nsecsElapsed() / 1e6;
    }
    m.todasMs = t.nsecsElapsed() / 1e6;
    if (m.linhas < kPrimeiras) m.primeirasMs = m.todasMs;
    rs->close(&st);
    stmt->free(&st);
    meta->release();
    tra->commit(&st);
    tpb->dispose();
    return m;
}

Medida nossa(Database& db, const QString& sql) {
    Medida m;
    QElapsedTimer t;
    t.start();
    Transaction tr(&db);
    Query q(&db, &tr, "IBQ_Pessoas");
    q.setSqlText(sql);
    q.open();
    q.fetchMore(kPrimeiras - 1);
    m.primeirasMs = t.nsecsElapsed() / 1e6;
    q.fetchAll();
    m.todasMs = t.nsecsElapsed() / 1e6;
    m.linhas = q.recordCount();
    q.close();
    tr.commit();
    return m;
}

} // namespace

namespace {

// One statement, both sides alternately; the medians are compared.
void compara(Database& db, const char* nome, const QString& sql, long long total) {
    bruto(db, sql); // warm the page cache for both sides
    std::vector<double> op, ot, bp, bt;
    Medida o, b;
    for (int run = 0; run < 9; ++run) {
        b = bruto(db, sql);
        bp.push_back(b.primeirasMs);
        bt.push_back(b.todasMs);
        o = nossa(db, sql);
        op.push_back(o.primeirasMs);
        ot.push_back(o.todasMs);
    }
    if (o.linhas != b.linhas) std::printf("row counts differ: %d vs %d\n", o.linhas, b.linhas);
    std::printf("%s, first %d rows: ours %.2f ms, raw %.2f ms, ratio %.2f\n", nome, kPrimeiras, mediana(op),
                mediana(bp), mediana(bp) > 0 ? mediana(op) / mediana(bp) : 0.0);
    std::printf("%s, all rows: ours %.2f ms, raw %.2f ms, ratio %.2f\n", nome, mediana(ot), mediana(bt),
                mediana(bt) > 0 ? mediana(ot) / mediana(bt) : 0.0);
    std::printf("  (%d rows of %lld people; target 1.2)\n", o.linhas, total);
    std::fflush(stdout);
}

} // namespace

void benchPessoas(Database& db) {
    long long total = 0;
    {
        Transaction tr(&db);
        Query q(&db, &tr);
        q.setSqlText("select count(*) from cad_pessoa");
        q.open();
        total = q.field(0)->value().toLongLong();
        q.close();
        tr.commit();
    }
    CriteriosPessoa parte;
    parte.parteNome = "silva";
    compara(db, "person search by name part (\"silva\")", MontaSQLPesquisaPessoa(parte), total);

    // The window as a user drives it: the name part typed, "Pesquisar" clicked, until the grid
    // has painted its first rows; against the raw first 100 rows of the same statement.
    {
        Transaction tr(&db);
        DataContext antes = dataContext();
        dataContext().IBSolution = &db;
        dataContext().IBTransaction = &tr;
        dataContext().IBT_Gen = &tr;
        std::vector<double> nossa, bruta;
        int linhas = 0;
        bruto(db, MontaSQLPesquisaPessoa(parte));
        for (int run = 0; run < 9; ++run) {
            bruta.push_back(bruto(db, MontaSQLPesquisaPessoa(parte)).primeirasMs);
            TfrmPesquisaPessoaComercio frm;
            frm.sTipoPesquisa = "G";
            frm.show();
            QApplication::processEvents();
            frm.mskParteNome->setText("silva");
            QElapsedTimer t;
            t.start();
            QTest::mouseClick(frm.BitBtn4, Qt::LeftButton);
            frm.DBGrid1->viewport()->grab();
            nossa.push_back(t.nsecsElapsed() / 1e6);
            linhas = frm.IBQ_Pessoas.recordCount();
            frm.IBQ_Pessoas.close();
        }
        tr.commit();
        dataContext() = antes;
        std::printf("person search to rows shown: ours %.2f ms, raw %.2f ms, ratio %.2f\n", mediana(nossa),
                    mediana(bruta), mediana(bruta) > 0 ? mediana(nossa) / mediana(bruta) : 0.0);
        std::printf("  (%d rows in the grid when it painted; the count follows; target 1.2)\n", linhas);
        std::fflush(stdout);
    }
    // Every box empty: the whole table in name order.
    compara(db, "person search, every person", MontaSQLPesquisaPessoa(CriteriosPessoa{}), total);
}
