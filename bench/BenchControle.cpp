// The analyses-and-proposals workbook for the busiest collection month of the large site: the
// workbook as the screen writes it (main statement, purchase answers, the workbook writer with
// subtotals and fitted columns) against the same two statements through the bare client library
// and raw libxlsxwriter writing the same cells.
#include "BenchComum.h"
#include "data/FbStatus.h"
#include "data/Query.h"
#include "platform/WorkbookWriter.h"
#include "reports/UnParRelAnaliseProposta.h"
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <firebird/Interface.h>
#include <ibase.h>
#include <map>
#include <string>
#include <vector>
#include <xlsxwriter.h>

using namespace Firebird;

namespace {

using bench::escalar;
using bench::executa;
using bench::linha;
using bench::mediana;

MesColeta mesMaisMovimentado(Database& db) {
    Transaction tr(&db);
    Query q(&db, &tr);
    q.setSqlText(
        "select first 1 extract(year from ma.dt_coleta), extract(month from ma.dt_coleta), count(*) from "
        "mov_analise ma inner join mov_analise_equipamento mae on mae.id_analise = ma.id_analise group by "
        "1, 2 order by 3 desc");
    q.open();
    const QDate inicio(q.field(0)->asInteger(), q.field(1)->asInteger(), 1);
    q.close();
    tr.commit();
    return {inicio, QDate(inicio.year(), inicio.month(), inicio.daysInMonth())};
}

int ours(Database& db, const QString& arquivo, const MesColeta& mes) {
    Transaction tr(&db);
    Query q(&db, &tr, "IBQ_Analise");
    q.setSqlText(SqlAnaliseProposta(mes, false));
    q.open();
    q.fetchAll();
    RespostaCompra compra(&db, &tr, mes);
    WorkbookWriter wb(arquivo);
    wb.addSheet("Plan1");
    const ResultadoControle r = EscrevePlanilhaAnaliseProposta(wb, 0, q, compra);
    wb.fitColumns(0);
    wb.close();
    q.close();
    tr.commit();
    if (!r.erro.isEmpty()) std::printf("erro: %s\n", r.erro.toLocal8Bit().constData());
    return r.linhas;
}

// ---------------------------------------------------------------- the bare client library

struct Coluna {
    unsigned tipo, off, nullOff, tam;
};

struct Raw {
    FbStatus st;
    IUtil* util = fbMaster()->getUtilInterface();
    IAttachment* att;
    ITransaction* tra = nullptr;
    explicit Raw(Database& db) : att(db.attachment()) {
        IXpbBuilder* tpb = util->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0);
        tpb->insertTag(&st, isc_tpb_read_committed);
        tpb->insertTag(&st, isc_tpb_rec_version);
        tpb->insertTag(&st, isc_tpb_nowait);
        tra = att->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
        tpb->dispose();
    }
    ~Raw() { tra->commit(&st); }

    // Runs a select (its parameters, if any, are the month's two dates) and keeps every row.
    std::vector<std::vector<char>> rows(const std::string& sql, std::vector<Coluna>& cols,
                                        const MesColeta* mes) {
        IStatement* s =
            att->prepare(&st, tra, 0, sql.c_str(), SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata* out = s->getOutputMetadata(&st);
        cols.clear();
        for (unsigned i = 0; i < out->getCount(&st); ++i)
            cols.push_back({out->getType(&st, i) & ~1u, out->getOffset(&st, i), out->getNullOffset(&st, i),
                            out->getLength(&st, i)});
        IMessageMetadata* in = s->getInputMetadata(&st);
        std::vector<char> inBuf(in->getMessageLength(&st));
        if (mes && in->getCount(&st) == 2) {
            const QDate d[2] = {mes->inicio, mes->fim};
            for (unsigned i = 0; i < 2; ++i) {
                *reinterpret_cast<ISC_DATE*>(inBuf.data() + in->getOffset(&st, i)) =
                    util->encodeDate(unsigned(d[i].year()), unsigned(d[i].month()), unsigned(d[i].day()));
                *reinterpret_cast<short*>(inBuf.data() + in->getNullOffset(&st, i)) = 0;
            }
        }
        IResultSet* rs = s->openCursor(&st, tra, in, inBuf.data(), out, 0);
        std::vector<std::vector<char>> out_;
        std::vector<char> buf(out->getMessageLength(&st));
        while (rs->fetchNext(&st, buf.data()) == IStatus::RESULT_OK)
            out_.push_back(buf);
        rs->close(&st);
        s->free(&st);
        in->release();
        out->release();
        return out_;
    }
};

bool nulo(const std::vector<char>& r, const Coluna& c) {
    return *reinterpret_cast<const short*>(r.data() + c.nullOff) != 0;
}
int inteiro(const std::vector<char>& r, const Coluna& c) {
    return *reinterpret_cast<const int*>(r.data() + c.off);
}
// ISO8859_1 text of the connection as UTF-8 for the workbook, without trailing blanks.
std::string texto(const std::vector<char>& r, const Coluna& c) {
    if (nulo(r, c)) return {};
    const char* p = r.data() + c.off;
    unsigned n = c.tam;
    if (c.tipo == SQL_VARYING) {
        n = *reinterpret_cast<const unsigned short*>(p);
        p += 2;
    }
    while (n > 0 && p[n - 1] == ' ')
        --n;
    std::string u;
    for (unsigned i = 0; i < n; ++i) {
        const unsigned char ch = static_cast<unsigned char>(p[i]);
        if (ch < 0x80) {
            u += static_cast<char>(ch);
        } else {
            u += static_cast<char>(0xC0 | (ch >> 6));
            u += static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    return u;
}

int raw(Database& db, const QString& arquivo, const MesColeta& mes) {
    Raw fb(db);
    std::vector<Coluna> c, cc;
    const auto linhas = fb.rows(SqlAnaliseProposta(mes, false).toStdString(), c, nullptr);
    std::string compraSql = RespostaCompra::sql().toStdString();
    for (const char* p : {":DT_INICIAL", ":DT_FINAL"})
        compraSql.replace(compraSql.find(p), std::string(p).size(), "?");
    std::map<std::pair<int, int>, bool> comprou;
    for (const auto& r : fb.rows(compraSql, cc, &mes))
        comprou[{nulo(r, cc[0]) ? 0 : inteiro(r, cc[0]), inteiro(r, cc[1])}] = texto(r, cc[2]) == "S";

    const QByteArray nome = QFile::encodeName(arquivo);
    lxw_workbook* wb = workbook_new(nome.constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Plan1");
    lxw_format* negrito = workbook_add_format(wb);
    format_set_bold(negrito);
    lxw_format* data = workbook_add_format(wb);
    format_set_num_format(data, "dd/mm/yyyy");
    const char* titulos[] = {"Representante",
                             "Cliente",
                             "Cidade",
                             "Estado",
                             "Equipamento",
                             "Data da Proposta",
                             "Produtos da Proposta",
                             "Data Coleta",
                             "Data Recebto",
                             "Data Envio",
                             "Compra"};
    std::vector<size_t> larguras(11, 0);
    auto escreve = [&](lxw_row_t l, int col, const std::string& t, lxw_format* f) {
        if (t.empty()) return;
        worksheet_write_string(ws, l, lxw_col_t(col), t.c_str(), f);
        larguras[size_t(col)] = std::max(larguras[size_t(col)], t.size());
    };
    auto escreveData = [&](lxw_row_t l, int col, const std::vector<char>& r, const Coluna& k) {
        if (nulo(r, k)) return;
        unsigned y, m, d;
        fb.util->decodeDate(*reinterpret_cast<const ISC_DATE*>(r.data() + k.off), &y, &m, &d);
        lxw_datetime dt{int(y), int(m), int(d), 0, 0, 0};
        worksheet_write_datetime(ws, l, lxw_col_t(col), &dt, data);
        larguras[size_t(col)] = std::max<size_t>(larguras[size_t(col)], 10);
    };
    for (int i = 0; i < 11; ++i)
        escreve(0, i, titulos[i], negrito);
    lxw_row_t linha = 0;
    int nAnalises = 0, nClientes = 0, escritas = 0;
    bool tem = false;
    std::string repAtual;
    int cliAtual = 0;
    auto subtotal = [&] {
        ++linha;
        escreve(linha, 1, "Qtde de Análises: " + std::to_string(nAnalises), negrito);
        escreve(linha, 6, "Qtde de Clientes: " + std::to_string(nClientes), negrito);
        ++linha;
    };
    for (size_t i = 0; i < linhas.size(); ++i) {
        const auto& r = linhas[i];
        const std::string rep = texto(r, c[0]);
        const int cli = inteiro(r, c[11]);
        if (tem && rep != repAtual) {
            subtotal();
            nAnalises = 0;
            nClientes = 0;
        } else if (tem && cli != cliAtual) {
            ++nClientes;
        }
        if (!tem || rep != repAtual) ++nClientes;
        tem = true;
        repAtual = rep;
        cliAtual = cli;
        ++nAnalises;
        ++linha;
        escreve(linha, 0, rep, nullptr);
        for (int k = 1; k <= 4; ++k)
            escreve(linha, k, texto(r, c[size_t(k == 4 ? 10 : k + 1)]), nullptr);
        escreveData(linha, 5, r, c[5]);
        std::string produtos = texto(r, c[6]);
        produtos.erase(std::remove(produtos.begin(), produtos.end(), ','), produtos.end());
        escreve(linha, 6, produtos, nullptr);
        escreveData(linha, 7, r, c[7]);
        escreveData(linha, 8, r, c[8]);
        escreveData(linha, 9, r, c[9]);
        const int idRep = nulo(r, c[12]) ? 0 : inteiro(r, c[12]);
        auto it = comprou.find({idRep, cli});
        escreve(linha, 10, it != comprou.end() && it->second ? "S" : "N", nullptr);
        ++escritas;
    }
    subtotal();
    for (size_t k = 0; k < larguras.size(); ++k)
        worksheet_set_column(ws, lxw_col_t(k), lxw_col_t(k), double(larguras[k]) + 1.5, nullptr);
    workbook_close(wb);
    return escritas;
}

} // namespace

void benchControle(Database& db) {
    const MesColeta mes = mesMaisMovimentado(db);
    QTemporaryDir dir;
    const QString a = dir.filePath("ours.xlsx"), b = dir.filePath("raw.xlsx");
    std::vector<double> o, w;
    int nOurs = 0, nRaw = 0;
    raw(db, b, mes); // warm the page cache for both sides
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        nRaw = raw(db, b, mes);
        w.push_back(t.nsecsElapsed() / 1e6);
        t.start();
        nOurs = ours(db, a, mes);
        o.push_back(t.nsecsElapsed() / 1e6);
    }
    if (nOurs != nRaw) std::printf("row counts differ: %d vs %d\n", nOurs, nRaw);
    const double ms = mediana(o), rawMs = mediana(w);
    std::printf("analyses and proposals workbook, %s, %d rows: ours %.2f ms, raw %.2f ms, ratio %.2f\n",
                mes.inicio.toString("MM/yyyy").toLatin1().constData(), nOurs, ms, rawMs,
                rawMs > 0 ? ms / rawMs : 0.0);
    std::printf("  (files %lld and %lld bytes; target 1.5)\n", static_cast<long long>(QFileInfo(a).size()),
                static_cast<long long>(QFileInfo(b).size()));
    std::fflush(stdout);
}
