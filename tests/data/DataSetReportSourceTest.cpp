// A query as the rows of a report: values by row index, texts in the fields' display formats,
// groups on a column, and the printed PDF read back.
#include "data/DataSetReportSource.h"
#include "DatabaseSuite.h"
#include "data/Field.h"
#include "data/Query.h"
#include "platform/Clock.h"
#include "platform/report/ReportEngine.h"

#include "QtPrinters.h"
#include "ReportReadBack.h"
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

const char* kScript = R"(
create table mov_coleta (id_coleta integer not null primary key, nm_cliente varchar(50), dt_coleta date,
  vl_resultado numeric(15,2), tx_comentario blob sub_type text);
)";

class DataSetReportSourceTest : public DatabaseSuite<DataSetReportSourceTest> {
public:
    static QString script() { return kScript; }

protected:
    static void SetUpTestSuite() {
        DatabaseSuite::SetUpTestSuite();
        const char* rows[] = {
            "1, 'Água Viva Ltda', '10.03.2024', 1234.5, '{\\rtf1 pH \\b alto\\b0\\par}'",
            "2, 'Água Viva Ltda', '11.03.2024', 0, null",
            "3, 'Cerâmica São João', '12.03.2024', null, 'texto simples'",
        };
        for (const char* r : rows)
            s_db->exec(QString("insert into mov_coleta values (%1)").arg(r));
    }
    void SetUp() override {
        q = std::make_unique<Query>(&s_db->db, nullptr, "IBQ_Coleta");
        q->setSqlText("select * from mov_coleta order by id_coleta");
    }
    std::unique_ptr<Query> q;
};

TEST_F(DataSetReportSourceTest, ReadsRowsByIndexWithoutMovingTheCurrentRecord) {
    DataSetReportSource src(*q);
    EXPECT_EQ(src.rowCount(), 0) << "a closed query has no rows";
    q->open();
    q->next();
    EXPECT_EQ(src.rowCount(), 3);
    EXPECT_EQ(src.value(0, "NM_CLIENTE").toString(), "Água Viva Ltda");
    EXPECT_EQ(src.value(2, "nm_cliente").toString(), "Cerâmica São João") << "names are case-insensitive";
    EXPECT_TRUE(src.value(2, "VL_RESULTADO").isNull());
    EXPECT_EQ(src.text(0, "DT_COLETA"), "10/03/2024");
    EXPECT_EQ(q->recNo(), 1) << "the dataset's current record stays";
    EXPECT_THROW(src.value(0, "NAO_EXISTE"), std::out_of_range);

    q->fieldByName("VL_RESULTADO")->setDisplayFormat("###,###,#0.00");
    EXPECT_EQ(src.text(0, "VL_RESULTADO"), "1.234,50");
    EXPECT_EQ(src.text(1, "VL_RESULTADO"), "0,00");
    EXPECT_EQ(src.text(2, "VL_RESULTADO"), "");
}

TEST_F(DataSetReportSourceTest, ReportGroupsTheQueryAndPrintsItsRichText) {
    FixedClock clock;
    ScopedClock useClock(clock);
    q->open();
    DataSetReportSource src(*q);
    ReportEngine r(QStringLiteral("Coletas"));
    r.setSource(&src);
    ReportGroup& g = r.addGroup("Grupo", "NM_CLIENTE");
    g.addHeader("Cliente", 8).addField("qrCliente", {0, 1, 100, 5}, "NM_CLIENTE");
    ReportBand& d = r.addDetail("Detail", 6);
    d.addField("qrData", {0, 0, 30, 5}, "DT_COLETA");
    d.addField("qrValor", {30, 0, 30, 5}, "VL_RESULTADO", "###,###,#0.00");
    d.addRichText("qrComentario", {70, 0, 100, 5}).setField("TX_COMENTARIO");

    QTemporaryDir dir;
    const QString pdf = dir.filePath("coletas.pdf");
    r.writePdf(pdf);
    const ReportRecord& rec = r.record();
    EXPECT_EQ(rec.texts("Cliente", "qrCliente"), (QStringList{"Água Viva Ltda", "Cerâmica São João"}));
    EXPECT_EQ(rec.texts("Detail", "qrValor"), (QStringList{"1.234,50", "0,00", ""}));
    EXPECT_EQ(rec.texts("Detail", "qrComentario"), (QStringList{"pH alto", "", "texto simples"}));
    const QString words = reporttest::pdfWords(pdf);
    EXPECT_TRUE(words.contains("Água Viva Ltda 10/03/2024 1.234,50 pH alto")) << words.toStdString();
    EXPECT_TRUE(words.contains("Cerâmica São João 12/03/2024 texto simples"));
}

} // namespace
