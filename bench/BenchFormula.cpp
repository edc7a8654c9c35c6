// Recomputing a changed formula over the newest 10 000 cooling-tower analyses of the large site
// (the Langelier index of every sample): the command of "Tipo de Análise" against the same
// statements through the bare client library, which read the same results, compute the index
// in plain C++ and write the same values, one transaction per analysis. The two sides take
// turns with formulas one unit apart, so each run changes every value.
#include "BenchComum.h"
#include "data/FbStatus.h"
#include "data/Query.h"
#include "lab/ResultadosCalculados.h"
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <firebird/Interface.h>
#include <ibase.h>
#include <map>
#include <vector>

using namespace Firebird;

namespace {

using bench::escalar;
using bench::executa;
using bench::linha;
using bench::mediana;

constexpr int kTorre = 2;
constexpr int kLsi = 30;
constexpr int kPh = 1, kDca = 4, kAlc = 5, kStd = 14, kTemp = 29;
const char* const kPhs =
    "(9,3 + (log10(STD) - 1) / 10 + (-13,12 * log10(TEMP + 273) + 34,55)) - ((log10(DCA) - "
    "0,4) + log10(ALC))";

// The same work through the bare OO API: the list of analyses, then per analysis one
// transaction that reads its results, computes the index with the standard formula and writes
// the values that differ.
double bruto(Database& db, const QDate& de, const QDate& ate, int* alterados) {
    IAttachment* att = db.attachment();
    FbStatus st;
    IUtil* util = fbMaster()->getUtilInterface();
    auto inicia = [&] {
        IXpbBuilder* tpb = util->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0);
        tpb->insertTag(&st, isc_tpb_write);
        tpb->insertTag(&st, isc_tpb_read_committed);
        tpb->insertTag(&st, isc_tpb_rec_version);
        tpb->insertTag(&st, isc_tpb_nowait);
        ITransaction* t = att->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
        tpb->dispose();
        return t;
    };
    QElapsedTimer timer;
    timer.start();
    *alterados = 0;
    ITransaction* t = inicia();
    // The analyses of the period.
    const QByteArray lista =
        QString(
            "select ma.id_analise, ma.id_tp_equipamento from mov_analise ma where ma.dt_coleta between '%1' "
            "and '%2' order by ma.dt_coleta, ma.id_analise")
            .arg(de.toString("yyyy-MM-dd"), ate.toString("yyyy-MM-dd"))
            .toLatin1();
    IStatement* sl =
        att->prepare(&st, t, 0, lista.constData(), SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata* ml = sl->getOutputMetadata(&st);
    std::vector<char> bl(ml->getMessageLength(&st));
    IResultSet* rl = sl->openCursor(&st, t, nullptr, nullptr, ml, 0);
    std::vector<int32_t> analises;
    while (rl->fetchNext(&st, bl.data()) == IStatus::RESULT_OK) {
        int32_t id, tipo;
        std::memcpy(&id, bl.data() + ml->getOffset(&st, 0), 4);
        std::memcpy(&tipo, bl.data() + ml->getOffset(&st, 1), 4);
        if (tipo == kTorre) analises.push_back(id);
    }
    rl->close(&st);
    ml->release();
    sl->free(&st);
    t->commit(&st);

    ITransaction* prep = inicia();
    IStatement* sam = att->prepare(&st, prep, 0,
                                   "select mae.id_analise_equipamento from mov_analise_equipamento mae where "
                                   "mae.id_analise = ?",
                                   SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
    IStatement* sel =
        att->prepare(&st, prep, 0,
                     "select mar.id_analise_resultado, mar.id_tp_analise, mar.vl_resultado from "
                     "mov_analise_resultado mar where mar.id_analise_equipamento = ?",
                     SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
    IStatement* upd = att->prepare(
        &st, prep, 0, "update mov_analise_resultado set vl_resultado = ? where id_analise_resultado = ?",
        SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
    prep->commit(&st);
    IMessageMetadata* samIn = sam->getInputMetadata(&st);
    IMessageMetadata* samOut = sam->getOutputMetadata(&st);
    IMessageMetadata* selIn = sel->getInputMetadata(&st);
    IMessageMetadata* selOut = sel->getOutputMetadata(&st);
    IMessageMetadata* updIn = upd->getInputMetadata(&st);
    std::vector<char> bsi(samIn->getMessageLength(&st)), bso(samOut->getMessageLength(&st)),
        bi(selIn->getMessageLength(&st)), bo(selOut->getMessageLength(&st)), bu(updIn->getMessageLength(&st));
    const unsigned samInOff = samIn->getOffset(&st, 0), samInNull = samIn->getNullOffset(&st, 0),
                   samOutOff = samOut->getOffset(&st, 0);
    unsigned off[3];
    for (unsigned i = 0; i < 3; ++i)
        off[i] = selOut->getOffset(&st, i);
    const unsigned nul2 = selOut->getNullOffset(&st, 2);
    const unsigned inOff = selIn->getOffset(&st, 0), inNull = selIn->getNullOffset(&st, 0);
    const unsigned uv = updIn->getOffset(&st, 0), uvn = updIn->getNullOffset(&st, 0),
                   uk = updIn->getOffset(&st, 1), ukn = updIn->getNullOffset(&st, 1);
    struct Amostra {
        std::map<int, double> v;
        int32_t chaveLsi = 0;
        int64_t lsi = 0;
        bool temLsi = false;
    };
    for (int32_t id : analises) {
        ITransaction* tr = inicia();
        std::memcpy(bsi.data() + samInOff, &id, 4);
        *reinterpret_cast<int16_t*>(bsi.data() + samInNull) = 0;
        IResultSet* rsa = sam->openCursor(&st, tr, samIn, bsi.data(), samOut, 0);
        std::vector<int32_t> chaves;
        while (rsa->fetchNext(&st, bso.data()) == IStatus::RESULT_OK) {
            int32_t k;
            std::memcpy(&k, bso.data() + samOutOff, 4);
            chaves.push_back(k);
        }
        rsa->close(&st);
        for (int32_t amostra : chaves) {
            std::memcpy(bi.data() + inOff, &amostra, 4);
            *reinterpret_cast<int16_t*>(bi.data() + inNull) = 0;
            IResultSet* rs = sel->openCursor(&st, tr, selIn, bi.data(), selOut, 0);
            Amostra a;
            while (rs->fetchNext(&st, bo.data()) == IStatus::RESULT_OK) {
                int32_t chave, tipo;
                int64_t valor = 0;
                std::memcpy(&chave, bo.data() + off[0], 4);
                std::memcpy(&tipo, bo.data() + off[1], 4);
                const bool nulo = *reinterpret_cast<const int16_t*>(bo.data() + nul2) != 0;
                if (!nulo) std::memcpy(&valor, bo.data() + off[2], 8);
                if (!nulo) a.v.emplace(tipo, valor / 10000.0);
                if (tipo == kLsi && !a.temLsi) {
                    a.temLsi = true;
                    a.chaveLsi = chave;
                    a.lsi = valor;
                }
            }
            rs->close(&st);
            if (!a.temLsi || !a.v.count(kPh) || !a.v.count(kStd) || !a.v.count(kTemp) || !a.v.count(kDca) ||
                !a.v.count(kAlc))
                continue;
            const double phs =
                (9.3 + (std::log10(a.v[kStd]) - 1) / 10 + (-13.12 * std::log10(a.v[kTemp] + 273) + 34.55)) -
                ((std::log10(a.v[kDca]) - 0.4) + std::log10(a.v[kAlc]));
            const int64_t novo = static_cast<int64_t>(std::llround((a.v[kPh] - phs) * 10000.0));
            if (novo == a.lsi) continue;
            std::memcpy(bu.data() + uv, &novo, 8);
            std::memcpy(bu.data() + uk, &a.chaveLsi, 4);
            *reinterpret_cast<int16_t*>(bu.data() + uvn) = 0;
            *reinterpret_cast<int16_t*>(bu.data() + ukn) = 0;
            upd->execute(&st, tr, updIn, bu.data(), nullptr, nullptr);
            ++*alterados;
        }
        tr->commit(&st);
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    samIn->release();
    samOut->release();
    selIn->release();
    selOut->release();
    updIn->release();
    sam->free(&st);
    sel->free(&st);
    upd->free(&st);
    return ms;
}

} // namespace

void benchFormula(Database& db) {
    // The newest 10 000 tower analyses.
    const QDate de =
        escalar(db, QString("select first 1 skip 9999 dt_coleta from mov_analise where id_tp_equipamento "
                            "= %1 order by dt_coleta desc")
                        .arg(kTorre))
            .toDate();
    const QDate ate = QDate::currentDate();
    const int n =
        escalar(db, QString("select count(*) from mov_analise where id_tp_equipamento = %1 and dt_coleta "
                            "between '%2' and '%3'")
                        .arg(kTorre)
                        .arg(de.toString("yyyy-MM-dd"), ate.toString("yyyy-MM-dd")))
            .toInt();
    const QString padrao = QString("PH - (%1)").arg(kPhs);
    std::vector<double> nossa, bruta;
    int valoresNossos = 0, valoresBrutos = 0;
    for (int run = 0; run < 3; ++run) {
        // Ours: a formula one unit above the stored values.
        executa(db, "update sis_ctv_formula set tx_formula = ? where id_tp_analise = ?",
                {padrao + " + 1", kLsi});
        QElapsedTimer t;
        t.start();
        const Recalculo r = recalculaFormula(db, kLsi, de, ate);
        nossa.push_back(t.nsecsElapsed() / 1e6);
        valoresNossos = r.valoresAlterados;
        // Raw: back to the standard formula.
        executa(db, "update sis_ctv_formula set tx_formula = ? where id_tp_analise = ?", {padrao, kLsi});
        bruta.push_back(bruto(db, de, ate, &valoresBrutos));
        std::fprintf(stderr, "  run %d: ours %.0f ms, raw %.0f ms\n", run + 1, nossa.back(), bruta.back());
    }
    std::printf(
        "recompute a formula over %d tower analyses (%d values ours, %d raw): ours %.2f ms, raw %.2f ms, "
        "ratio %.2f\n",
        n, valoresNossos, valoresBrutos, mediana(nossa), mediana(bruta),
        mediana(bruta) > 0 ? mediana(nossa) / mediana(bruta) : 0.0);
    std::fflush(stdout);
}
