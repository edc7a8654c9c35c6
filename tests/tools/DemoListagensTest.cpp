// The demo site opens the commercial listings and workbooks on their default period (today, the
// current month) with something to show, whatever day it is made: collections of several
// representatives today, clients with active equipment and no sample today, and sales documents
// of today under selling and non-selling operations.
#include "RecordingSink.h"
#include "sitegen/DemoCatalog.h"
#include "sitegen/DemoData.h"
#include <QDate>
#include <gtest/gtest.h>
#include <set>

namespace {

TEST(DemoListagensTest, TheDefaultPeriodOfTheListingsHasRowsOfEveryKind) {
    RecordingSink sink;
    generateDemoData(sink);
    const QDate hoje = QDate::currentDate();

    std::set<int> repsHoje, clientesHoje, analisesHoje;
    int doMes = 0;
    for (const auto& r : sink.rows("MOV_ANALISE")) {
        const QDate coleta = r.values["DT_COLETA"].toDate();
        if (coleta.year() == hoje.year() && coleta.month() == hoje.month() && coleta <= hoje) ++doMes;
        if (coleta != hoje) continue;
        repsHoje.insert(r.values["ID_REPRESENTANTE"].toInt());
        clientesHoje.insert(r.values["ID_CLIENTE"].toInt());
        analisesHoje.insert(r.values["ID_ANALISE"].toInt());
    }
    EXPECT_GE(repsHoje.size(), 3u);
    EXPECT_GE(doMes, int(analisesHoje.size()));
    // Each of today's analyses holds samples.
    std::set<int> comAmostra;
    for (const auto& r : sink.rows("MOV_ANALISE_EQUIPAMENTO"))
        if (analisesHoje.count(r.values["ID_ANALISE"].toInt()))
            comAmostra.insert(r.values["ID_ANALISE"].toInt());
    EXPECT_EQ(comAmostra, analisesHoje);

    // Clients with active equipment and no collection today: the listing of clients without
    // samples and of pending equipment.
    std::set<int> ativosSemColeta;
    for (const auto& r : sink.rows("TAB_EQUIPAMENTO_CLI")) {
        const int s = r.values["ID_SITAUCAO_EQUIPAMENTO"].toInt();
        const int c = r.values["ID_CLIENTE"].toInt();
        if ((s == demo::kSituacaoAprovada || s == demo::kSituacaoAguardando) && !clientesHoje.count(c))
            ativosSemColeta.insert(c);
    }
    EXPECT_GE(ativosSemColeta.size(), 10u);

    // Today's sales documents: a sale to a client visited today and a non-selling one.
    std::map<int, QString> vende;
    for (const auto& r : sink.rows("TAB_NAT_OPERACAO"))
        vende[r.values["ID_NAT_OPERACAO"].toInt()] = r.values["ST_ESTAT_VENDA"].toString();
    int vendas = 0, outras = 0;
    for (const auto& r : sink.rows("MOV_NF_COMERCIO")) {
        if (r.values["DT_EMISSAO"].toDate() != hoje ||
            !clientesHoje.count(r.values["ID_DESTINATARIO_REMETENTE"].toInt()))
            continue;
        (vende[r.values["ID_NAT_OPERACAO"].toInt()] == "S" ? vendas : outras)++;
    }
    EXPECT_GE(vendas, 2);
    EXPECT_GE(outras, 1);
}

} // namespace
