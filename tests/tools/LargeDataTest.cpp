// The large benchmark site: keys continue after the demo data, every row fits the schema and
// its foreign keys, commits come at least every commitEvery rows, and the default volumes reach
// those the benchmarks need.
#include "RecordingSink.h"
#include "sitegen/DemoData.h"
#include <gtest/gtest.h>

namespace {

TEST(LargeData, AddsToTheDemoSiteWithinTheSchema) {
    RecordingSink sink;
    generateDemoData(sink);
    const size_t demoPeople = sink.rows("CAD_PESSOA").size();
    const size_t demoAnalyses = sink.rows("MOV_ANALISE").size();
    sink.longestRun = 0; // count the large site's transactions only
    QStringList progress;
    const LargeDataSize size{1500, 2500, 26000, 4000};
    generateLargeData(
        sink, [&](const QString& line) { progress << line; }, size);

    const QStringList problems = schemaViolations(sink, Schema::load(CTV_SCHEMA_DIR));
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
    EXPECT_EQ(sink.rows("CAD_PESSOA").size(), demoPeople + 1500);
    EXPECT_GE(sink.rows("MOV_ANALISE").size(), demoAnalyses + 2500);
    EXPECT_GE(sink.rows("MOV_ANALISE_RESULTADO").size(), 26000u);
    EXPECT_LE(sink.longestRun, 4000);
    EXPECT_FALSE(progress.isEmpty());

    // Analyses of the large site keep the roles of their people.
    auto people = sink.index("CAD_PESSOA", "ID_PESSOA");
    for (const auto& r : sink.rows("MOV_ANALISE")) {
        ASSERT_EQ(people[r.values["ID_CLIENTE"].toString()]->values["CT_CLIENTE"], "S");
        ASSERT_EQ(people[r.values["ID_REPRESENTANTE"].toString()]->values["CT_REPRESENT"], "S");
        ASSERT_EQ(people[r.values["ID_RESPONSAVEL_TECNICO"].toString()]->values["CT_FUNCIONARIO"], "S");
    }
}

TEST(LargeData, WritesTheDemoDataFirstOnAnEmptyDatabase) {
    RecordingSink sink;
    generateLargeData(sink, {}, LargeDataSize{200, 100, 500, 1000});
    EXPECT_FALSE(sink.rows("TAB_TP_EQUIPAMENTO").empty());
    EXPECT_FALSE(sink.rows("SIS_USUARIO").empty());
    const QStringList problems = schemaViolations(sink, Schema::load(CTV_SCHEMA_DIR));
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

TEST(LargeData, DefaultVolumesReachTheBenchmarkSizes) {
    CountingSink sink;
    generateDemoData(sink);
    sink.longestRun = 0;
    generateLargeData(sink, {});
    EXPECT_GE(sink.counts["CAD_PESSOA"], 100000);
    EXPECT_GE(sink.counts["MOV_ANALISE"], 200000);
    EXPECT_GE(sink.counts["MOV_ANALISE_RESULTADO"], 2000000);
    EXPECT_LE(sink.longestRun, 20000);
}

} // namespace
