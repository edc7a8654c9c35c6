// When bands print: page header and footer rules, chained children, events that suppress bands
// and change elements, nested groups, new pages, sub-details, splitting, system texts; and the
// value formats of the layouts. Read from the engine's record (and pixels where geometry counts).
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/report/ReportEngine.h"

#include "QtPrinters.h"
#include "ReportReadBack.h"
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace reporttest;

namespace {

QStringList sequence(const ReportRecord& rec) {
    QStringList out;
    for (const ReportPrintedBand& b : rec.bands())
        out << b.band;
    return out;
}

QList<int> pagesOf(const ReportRecord& rec, const QString& band) {
    QList<int> out;
    for (const ReportPrintedBand* b : rec.of(band))
        out << b->page;
    return out;
}

class ReportBandsTest : public ::testing::Test {
protected:
    FixedClock clock{QDateTime(QDate(2024, 3, 15), QTime(9, 5, 7))};
    ScopedClock useClock{clock};
    ReportTableSource rows{{"A", "B", "N"}};
};

TEST_F(ReportBandsTest, PageHeaderAndFooterFollowTheFirstAndLastPageRules) {
    for (int i = 0; i < 3; ++i)
        rows.addRow({"x", "y", i});
    auto build = [this](ReportEngine& r) {
        r.setSource(&rows);
        r.addPageHeader("Header", 10).addField("n", {0, 0, 20, 5}, "N");
        r.addDetail("Detail", 10).setForceNewPage(true);
        r.addPageFooter("Footer", 10);
    };
    ReportEngine all;
    build(all);
    EXPECT_EQ(all.pageCount(), 3);
    EXPECT_EQ(pagesOf(all.record(), "Header"), (QList<int>{1, 2, 3}));
    EXPECT_EQ(pagesOf(all.record(), "Footer"), (QList<int>{1, 2, 3}));
    // The page header shows the row being printed; on the first page, the first row.
    EXPECT_EQ(all.record().texts("Header", "n"), (QStringList{"0", "1", "2"}));

    ReportEngine neither;
    build(neither);
    neither.setPageHeaderOnFirstPage(false);
    neither.setPageFooterOnLastPage(false);
    EXPECT_EQ(pagesOf(neither.record(), "Header"), (QList<int>{2, 3}));
    EXPECT_EQ(pagesOf(neither.record(), "Footer"), (QList<int>{1, 2}));
}

TEST_F(ReportBandsTest, ChainedChildrenEachDecideForThemselves) {
    rows.addRow({"1", "", 0});
    rows.addRow({"2", "", 0});
    ReportEngine r;
    r.setSource(&rows);
    ReportBand& detail = r.addDetail("Detail", 5);
    detail.setBeforePrint([](ReportBandEvent& e) { e.print = e.value("A") != "2"; });
    ReportBand& c1 = detail.addChild("C1", 5);
    c1.setBeforePrint([](ReportBandEvent& e) { e.print = e.value("A") == "2"; });
    detail.addChild("C2", 5).setEnabled(false);
    ReportBand& c3 = detail.addChild("C3", 5);
    EXPECT_EQ(c1.child()->name(), "C2") << "addChild appends to the end of the chain";
    EXPECT_EQ(&r.band("C3"), &c3);
    // A suppressed or disabled band does not stop the bands after it.
    EXPECT_EQ(sequence(r.record()), (QStringList{"Detail", "C3", "C1", "C3"}));
    EXPECT_EQ(r.record().of("C1")[0]->row, 1);
}

TEST_F(ReportBandsTest, EventsChangeTextsVisibilityAndOtherBandsAndTheChangesStay) {
    for (int i = 1; i <= 3; ++i)
        rows.addRow({QString::number(i), "", i});
    ReportEngine r;
    r.setSource(&rows);
    ReportBand& detail = r.addDetail("Detail", 5);
    detail.addField("campo", {0, 0, 20, 5}, "A");
    detail.addText("rotulo", {20, 0, 20, 5}, "fixo");
    ReportBand& comment = detail.addChild("Comentario", 5);
    detail.setBeforePrint([&comment](ReportBandEvent& e) {
        // The event runs after bound fields are filled, so it may override them.
        if (e.row == 0) e.band.text("campo").setText("trocado");
        if (e.row == 1) e.band.text("rotulo").setVisible(false);
        comment.setEnabled(e.row != 1);
    });
    const ReportRecord& rec = r.record();
    EXPECT_EQ(rec.texts("Detail", "campo"), (QStringList{"trocado", "2", "3"}));
    EXPECT_TRUE(rec.of("Detail")[0]->has("rotulo"));
    EXPECT_FALSE(rec.of("Detail")[1]->has("rotulo"));
    EXPECT_FALSE(rec.of("Detail")[2]->has("rotulo")) << "a hidden element stays hidden until shown again";
    EXPECT_EQ(rec.count("Comentario"), 2);
    EXPECT_THROW(r.text("naoExiste"), std::logic_error);
    EXPECT_THROW(r.image("campo"), std::logic_error) << "the element exists but is not an image";
}

TEST_F(ReportBandsTest, NestedGroupsOpenOuterFirstAndCloseInnerFirst) {
    rows.addRow({"A", "x", 1});
    rows.addRow({"A", "x", 2});
    rows.addRow({"A", "y", 3});
    rows.addRow({"B", "y", 4});
    ReportEngine r;
    r.setSource(&rows);
    ReportGroup& outer = r.addGroup("Outer", "A");
    outer.addHeader("OH", 5).addField("a", {0, 0, 10, 5}, "A");
    outer.addFooter("OF", 5).addField("n", {0, 0, 10, 5}, "N");
    ReportGroup& inner =
        r.addGroup("Inner", [](const ReportSource& s, int row) { return s.value(row, "B"); });
    inner.addHeader("IH", 5);
    inner.addFooter("IF", 5).addField("n", {0, 0, 10, 5}, "N");
    r.addDetail("D", 5);
    EXPECT_EQ(sequence(r.record()),
              (QStringList{"OH", "IH", "D", "D", "IF", "IH", "D", "IF", "OF", "OH", "IH", "D", "IF", "OF"}));
    // Headers see the group's first row, footers its last.
    EXPECT_EQ(r.record().texts("OF", "n"), (QStringList{"3", "4"}));
    EXPECT_EQ(r.record().texts("IF", "n"), (QStringList{"2", "3", "4"}));
    EXPECT_EQ(r.record().of("IH")[1]->row, 2);
}

TEST_F(ReportBandsTest, ForcedNewPageOnlyAfterBodyBandsSoTheFirstFollowsTheTitle) {
    for (int i = 0; i < 3; ++i)
        rows.addRow({"x", "", i});
    ReportEngine r;
    r.setSource(&rows);
    r.addPageHeader("Header", 20);
    r.addTitle("Title", 10);
    r.addColumnHeader("Columns", 8);
    ReportBand& d = r.addDetail("Detail", 10);
    d.setForceNewPage(true);
    EXPECT_EQ(r.pageCount(), 3);
    EXPECT_EQ(pagesOf(r.record(), "Detail"), (QList<int>{1, 2, 3}));
    EXPECT_EQ(pagesOf(r.record(), "Title"), (QList<int>{1}));
    EXPECT_EQ(pagesOf(r.record(), "Columns"), (QList<int>{1, 2, 3}));
    // Header at the top margin, title and column header under it, the detail under them.
    const auto d1 = r.record().of("Detail")[0];
    EXPECT_NEAR(r.record().of("Header")[0]->topMm, 10.0, 0.01);
    EXPECT_NEAR(d1->topMm, 10 + 20 + 10 + 8, 0.01);
    EXPECT_NEAR(r.record().of("Detail")[1]->topMm, 10 + 20 + 8, 0.01);
}

// Pages of 297 mm with 10 mm margins: 277 mm of body under no header.
TEST_F(ReportBandsTest, HeadingKeptWithItsFirstRowMovesToTheNextPage) {
    for (int i = 0; i < 12; ++i)
        rows.addRow({i < 11 ? "a" : "b", "", i});
    ReportEngine r;
    r.setSource(&rows);
    ReportGroup& g = r.addGroup("G", "A");
    ReportBand& gh = g.addHeader("GH", 10);
    gh.addChild("Columns", 15);
    r.addDetail("Detail", 20);
    // Group "a" takes 25 + 11 x 20 = 245 mm; group "b"'s heading fits under it (270 mm), its
    // row does not: left alone, the heading stays at the foot of page 1.
    EXPECT_EQ(pagesOf(r.record(), "GH"), (QList<int>{1, 1}));
    EXPECT_EQ(pagesOf(r.record(), "Columns"), (QList<int>{1, 1}));
    EXPECT_EQ(r.record().of("Detail").back()->page, 2);
    // Kept with the room of its columns and a row, it moves to page 2 with them.
    gh.setKeepWithNextMm(15 + 20);
    r.reset();
    EXPECT_EQ(pagesOf(r.record(), "GH"), (QList<int>{1, 2}));
    EXPECT_EQ(pagesOf(r.record(), "Columns"), (QList<int>{1, 2}));
    EXPECT_NEAR(r.record().of("GH")[1]->topMm, 10, 0.01);
    EXPECT_EQ(r.pageCount(), 2);
    // On a page with nothing but headers it prints where it is, whatever it asks for.
    gh.setKeepWithNextMm(1000);
    r.reset();
    EXPECT_NEAR(r.record().of("GH")[0]->topMm, 10, 0.01);
    EXPECT_EQ(r.record().of("Detail")[0]->page, 1);
}

// Pages of 297 mm with 10 mm margins, a page header of 10 mm: 267 mm of body per page.
TEST_F(ReportBandsTest, AGroupHeadingMarkedToRepeatPrintsAgainWhereItsRowsContinue) {
    // Group "a": 30 rows of 20 mm over three pages; group "b": one row.
    for (int i = 0; i < 31; ++i)
        rows.addRow({i < 30 ? "a" : "b", "", i});
    ReportEngine r;
    r.setSource(&rows);
    r.addPageHeader("Header", 10);
    ReportGroup& g = r.addGroup("G", "A");
    ReportBand& gh = g.addHeader("GH", 10);
    int opened = 0;
    gh.setBeforePrint([&opened](ReportBandEvent&) { ++opened; });
    ReportBand& columns = gh.addChild("Columns", 15);
    columns.addField("grupo", {0, 0, 20, 5}, "A");
    columns.setRepeatOnNewPage(true);
    r.addDetail("Detail", 20);
    // A footer as tall as a page: the last page of group "b" holds only its footer.
    g.addFooter("GF", 5).addMemo("m", {0, 0, 190, 5}, QStringList(60, "linha").join('\n'));
    const ReportRecord& rec = r.record();
    SCOPED_TRACE(rec.dump().toStdString());
    // Right under the page header of each page group "a" continues on, with the group's value.
    QStringList repeats;
    for (const ReportPrintedBand& b : rec.bands())
        if (b.repeated) repeats << QString("%1 p%2 %3").arg(b.band).arg(b.page).arg(b.text("grupo"));
    const int aPages = rec.of("Detail")[29]->page;
    ASSERT_EQ(aPages, 3);
    EXPECT_EQ(repeats, QStringList({"Columns p2 a", "Columns p3 a"}));
    for (int p = 2; p <= aPages; ++p)
        EXPECT_EQ(rec.bandsOnPage(p).mid(0, 3), QStringList({"Header", "Columns", "Detail"})) << p;
    EXPECT_EQ(opened, 2) << "the heading's event runs when the group opens only";
    // Group "b" opens with its own heading; its footer's pages are no continuation of its rows.
    EXPECT_EQ(rec.count("Columns"), 4);
    EXPECT_GT(r.pageCount(), rec.of("Detail")[30]->page);
    EXPECT_FALSE(rec.bandsOnPage(r.pageCount()).contains("Columns"));
    // Without the mark nothing repeats.
    columns.setRepeatOnNewPage(false);
    r.reset();
    EXPECT_EQ(r.record().count("Columns"), 2);
}

TEST_F(ReportBandsTest, RowKeptTogetherMovesWholeUnlessTallerThanAPage) {
    QStringList linhas;
    for (int i = 0; i < 4; ++i)
        linhas << QString("linha %1").arg(i);
    rows.addRow({"", "", 0});
    rows.addRow({linhas.join('\n'), "", 1});
    ReportEngine r;
    r.setSource(&rows);
    r.addTitle("Space", 258);
    ReportBand& d = r.addDetail("Detail", 5);
    ReportText& t = d.addField("a", {0, 0, 100, 5}, "A");
    t.setWordWrap(true);
    t.setAutoStretch(true);
    // Row 2 grows to four lines; 258 + 5 leaves 14 mm, room for some of them only.
    EXPECT_EQ(r.record().of("Detail")[1]->page, 1);
    EXPECT_EQ(r.record().of("Detail")[1]->lastPage, 2) << "split between lines";
    d.setKeepTogether(true);
    r.reset();
    EXPECT_EQ(r.record().of("Detail")[1]->page, 2);
    EXPECT_EQ(r.record().of("Detail")[1]->lastPage, 2);
    // A row taller than a page still splits rather than overflow.
    QStringList muitas;
    for (int i = 0; i < 200; ++i)
        muitas << QString("linha %1").arg(i);
    rows.setValue(1, "A", muitas.join('\n'));
    r.reset();
    EXPECT_GT(r.record().of("Detail")[1]->lastPage, r.record().of("Detail")[1]->page);
}

TEST_F(ReportBandsTest, SubDetailsPrintUnderEachMasterRowFromTheirRefilledSource) {
    rows.addRow({"Cliente 1", "", 2});
    rows.addRow({"Cliente 2", "", 0});
    ReportTableSource items({"ITEM"});
    ReportTableSource none({"X"});
    ReportEngine r;
    r.setSource(&rows);
    ReportBand& master = r.addDetail("Master", 6);
    master.addField("cliente", {0, 0, 50, 5}, "A");
    // The master's event reopens the per-client rows, as the listings reopen their queries.
    master.setBeforePrint([&items](ReportBandEvent& e) {
        items.clear();
        for (int i = 1; i <= e.value("N").toInt(); ++i)
            items.addRow({QStringLiteral("%1 item %2").arg(e.value("A").toString()).arg(i)});
    });
    ReportSubDetail& equip = r.addSubDetail("Itens", &items, 5);
    equip.band().addField("item", {5, 0, 50, 5}, "ITEM");
    equip.addHeader("ItensTitulo", 5);
    equip.addFooter("ItensFim", 3);
    equip.setHeadersIfEmpty(true);
    ReportSubDetail& empty = r.addSubDetail("Vazio", &none, 5);
    empty.band().addField("x", {0, 0, 10, 5}, "X");
    empty.setPrintIfEmpty(true);

    EXPECT_EQ(sequence(r.record()), (QStringList{"Master", "ItensTitulo", "Itens", "Itens", "ItensFim",
                                                 "Vazio", "Master", "ItensTitulo", "ItensFim", "Vazio"}));
    EXPECT_EQ(r.record().texts("Itens", "item"), (QStringList{"Cliente 1 item 1", "Cliente 1 item 2"}));
    EXPECT_EQ(r.record().texts("Vazio", "x"), (QStringList{"", ""})) << "printed once, with empty fields";

    // Without either flag an empty sub-detail prints nothing at all.
    equip.setHeadersIfEmpty(false);
    r.reset();
    EXPECT_EQ(r.record().count("ItensTitulo"), 1);
}

TEST_F(ReportBandsTest, WithoutASourceTheDetailPrintsOnceAndAnEmptySourcePrintsNone) {
    ReportEngine once;
    once.addDetail("Detail", 5).addText("t", {0, 0, 10, 5}, "só uma vez");
    once.addSummary("Summary", 5);
    EXPECT_EQ(sequence(once.record()), (QStringList{"Detail", "Summary"}));

    ReportEngine none;
    none.setSource(&rows);
    none.addTitle("Title", 5);
    none.addDetail("Detail", 5);
    none.addSummary("Summary", 5);
    EXPECT_EQ(sequence(none.record()), (QStringList{"Title", "Summary"}));
    EXPECT_EQ(none.pageCount(), 1);
}

TEST_F(ReportBandsTest, BandsTallerThanAPageStillEndTheRun) {
    ReportEngine r;
    r.addPageHeader("Header", 30);
    r.addPageFooter("Footer", 30);
    r.addTitle("Title", 10);
    r.addDetail("Fixed", 400).addText("t", {0, 0, 10, 5}, "alta");
    // One word per line in a narrow memo, and a giant font whose single line is taller than a page.
    QString words;
    for (int i = 0; i < 300; ++i)
        words += QStringLiteral("palavra%1 ").arg(i);
    r.band("Fixed").addChild("Memo", 5).addMemo("m", {0, 0, 20, 5}, words);
    ReportText& giant = r.band("Memo").addChild("Giant", 5).addMemo("g", {0, 0, 190, 5}, "X");
    giant.setFont(reportFont(1000));
    const int pages = r.pageCount();
    SCOPED_TRACE(r.record().dump().toStdString());
    EXPECT_GT(pages, 5);
    EXPECT_LT(pages, 40);
    const ReportPrintedBand& memo = *r.record().of("Memo")[0];
    EXPECT_GT(memo.lastPage, memo.page + 2);
    EXPECT_EQ(r.record().of("Giant")[0]->lastPage, pages);
}

TEST_F(ReportBandsTest, SplitRichTextKeepsEveryParagraphOnce) {
    QString rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ";
    for (int i = 1; i <= 70; ++i)
        rtf += QStringLiteral("Par\\'e1grafo %1 \\b com negrito\\b0\\par ").arg(i, 2, 10, QLatin1Char('0'));
    rtf += "}";
    ReportEngine r;
    r.addPageHeader("Header", 15).addText("h", {0, 0, 100, 5}, "Cabeçalho");
    ReportBand& d = r.addDetail("Detail", 10);
    d.addText("titulo", {0, 0, 20, 5}, "Texto:");
    d.addRichText("texto", {25, 0, 160, 5}).setRtf(rtf);
    d.addHLine(0, 9, 190).setShiftWith(&d.richText("texto"));
    QTemporaryDir dir;
    const QString pdf = dir.filePath("rich.pdf");
    r.writePdf(pdf);
    keep(pdf, "texto-rico-dividido.pdf");
    const ReportPrintedBand& band = *r.record().of("Detail")[0];
    SCOPED_TRACE(r.record().dump().toStdString());
    EXPECT_EQ(band.page, 1);
    EXPECT_EQ(band.lastPage, pdfPages(pdf));
    EXPECT_GE(band.lastPage, 2);
    const QString text = pdfText(pdf);
    const QString words = text.simplified();
    for (int i = 1; i <= 70; ++i) {
        const QString p = QStringLiteral("Parágrafo %1 com negrito").arg(i, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(words.count(p), 1) << p.toStdString();
    }
    EXPECT_EQ(text.count("Cabeçalho"), band.lastPage) << "the page header repeats on every page of the split";
    EXPECT_TRUE(pdfText(pdf, 1).contains("Texto:"));
    EXPECT_FALSE(pdfText(pdf, 2).contains("Texto:")) << "the caption prints once, above the first line";

    // One paragraph cut across three pages: the lines printed on a page are not on the next one
    // too, not even hidden.
    QString longo = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ";
    for (int i = 1; i <= 1500; ++i)
        longo += QStringLiteral("p%1 ").arg(i, 4, 10, QLatin1Char('0'));
    longo += "\\par Fim.}";
    d.richText("texto").setRtf(longo);
    r.reset();
    r.writePdf(pdf);
    keep(pdf, "paragrafo-dividido.pdf");
    EXPECT_GE(pdfPages(pdf), 3);
    const QStringList palavras = pdfText(pdf).simplified().split(' ');
    for (int i = 1; i <= 1500; ++i) {
        const QString w = QStringLiteral("p%1").arg(i, 4, 10, QLatin1Char('0'));
        EXPECT_EQ(palavras.count(w), 1) << w.toStdString();
    }
    EXPECT_EQ(palavras.count("Fim."), 1);
}

TEST_F(ReportBandsTest, ElementsUnderAGrowingMemoMoveDownWithIt) {
    ReportEngine r;
    ReportBand& d = r.addDetail("Detail", 20);
    d.addMemo("memo", {0, 0, 50, 5}, QStringList(10, "linha").join('\n'));
    d.addRect("abaixo", {0, 6, 50, 2}, Qt::black).setShiftWith(&d.text("memo"));
    d.addRect("fixo", {60, 6, 10, 2}, Qt::black);
    const QImage img = r.renderPage(1, 254); // 10 pixels a millimetre, 10 mm margins
    const double grown = r.record().of("Detail")[0]->heightMm;
    EXPECT_GT(grown, 30.0) << "ten lines grow the band";
    // The bar ends the grown band: its middle is a millimetre above the band's bottom.
    const int shiftedY = qRound((10 + grown - 1) * 10);
    EXPECT_EQ(QColor(img.pixel(450, shiftedY)), QColor(Qt::black)) << "moved by the memo's growth";
    EXPECT_EQ(QColor(img.pixel(450, 170)), QColor(Qt::white));
    EXPECT_EQ(QColor(img.pixel(750, 170)), QColor(Qt::black)) << "an element not tied to the memo stays";
}

TEST_F(ReportBandsTest, FixedTextsKeepTheirBoxUnlessTheyStretch) {
    ReportEngine r;
    ReportBand& d = r.addDetail("Detail", 6);
    ReportText& wrapped = d.addText("t", {0, 0, 20, 5}, "um texto longo que quebra em várias linhas");
    wrapped.setWordWrap(true);
    wrapped.setClipping(true);
    EXPECT_DOUBLE_EQ(r.record().of("Detail")[0]->heightMm, 6.0);
    wrapped.setAutoStretch(true);
    r.reset();
    EXPECT_GT(r.record().of("Detail")[0]->heightMm, 12.0);
}

TEST_F(ReportBandsTest, SystemTextsShowTheClockAndThePages) {
    ReportEngine r;
    ReportBand& d = r.addDetail("Detail", 5);
    d.addSystemText("data", {0, 0, 30, 5}, ReportSystemText::Data::Date, "Data: ");
    d.addSystemText("hora", {30, 0, 30, 5}, ReportSystemText::Data::Time);
    d.addSystemText("dh", {60, 0, 40, 5}, ReportSystemText::Data::DateTime);
    d.addSystemText("segundos", {100, 0, 20, 5}, ReportSystemText::Data::Time).setValueFormat("hh:nn:ss");
    d.addSystemText("pagina", {120, 0, 20, 5}, ReportSystemText::Data::PageNumber, "Página ");
    d.addSystemText("total", {140, 0, 20, 5}, ReportSystemText::Data::PageCount);
    d.addSystemText("de", {160, 0, 30, 5}, ReportSystemText::Data::PageOfPages).setValueFormat("%1/%2");
    const ReportPrintedBand& b = *r.record().of("Detail")[0];
    EXPECT_EQ(b.text("data"), "Data: 15/03/2024");
    EXPECT_EQ(b.text("hora"), "09:05");
    EXPECT_EQ(b.text("dh"), "15/03/2024 09:05");
    EXPECT_EQ(b.text("segundos"), "09:05:07");
    EXPECT_EQ(b.text("pagina"), "Página 1");
    EXPECT_EQ(b.text("total"), "1");
    EXPECT_EQ(b.text("de"), "1/1");
    EXPECT_EQ(r.printedAt(), clock.now());
}

TEST_F(ReportBandsTest, ImagesLoadFromFilesAndBytesAndAMissingFilePrintsEmpty) {
    QTemporaryDir dir;
    QImage img(30, 20, QImage::Format_RGB32);
    img.fill(Qt::red);
    for (const char* fmt : {"JPEG", "PNG", "BMP"}) {
        const QString path = dir.filePath(QStringLiteral("img.%1").arg(QString(fmt).toLower()));
        ASSERT_TRUE(img.save(path, fmt));
        ReportImage e("e", {});
        EXPECT_TRUE(e.loadFile(path)) << fmt;
        EXPECT_EQ(e.image().size(), QSize(30, 20));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(e.loadData(f.readAll())) << fmt;
    }
    ReportEngine r;
    ReportImage& logo = r.addPageHeader("Header", 20).addImage("logo", {0, 0, 50, 15});
    logo.setImage(img);
    EXPECT_FALSE(logo.loadFile(dir.filePath("nao-existe.jpg")));
    EXPECT_TRUE(logo.image().isNull()) << "a missing file leaves the image empty";
    EXPECT_FALSE(logo.loadData(QByteArray("não é imagem")));
    EXPECT_EQ(r.record().texts("Header", "logo"), QStringList{""});
}

TEST_F(ReportBandsTest, EventsRunOnceForEveryOutputAndAFailedRunCanBeRepeated) {
    rows.addRow({"1", "", 1});
    ReportEngine r;
    r.setSource(&rows);
    int starts = 0, details = 0, pages = 0;
    bool fail = true;
    r.setOnStart([&](ReportEngine&) { ++starts; });
    r.setOnStartPage([&](ReportEngine&, int) { ++pages; });
    r.addDetail("Detail", 5).setBeforePrint([&](ReportBandEvent&) {
        ++details;
        if (fail) throw AppError("Falha no evento");
    });
    EXPECT_THROW(r.prepare(), AppError);
    EXPECT_FALSE(r.prepared());
    fail = false;
    QTemporaryDir dir;
    r.writePdf(dir.filePath("a.pdf"));
    r.renderPage(1);
    EXPECT_EQ(r.pageCount(), 1);
    EXPECT_EQ(r.record().count("Detail"), 1);
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(details, 2) << "one failed run, then one run for every output";
    r.reset();
    r.prepare();
    EXPECT_EQ(details, 3);
}

// ---- Value formats ----

TEST(ReportFormat, NumbersFollowTheLayoutPatternsInPortuguese) {
    using ReportFormat::number;
    EXPECT_EQ(number(0, "###,###,#0.00"), "0,00");
    EXPECT_EQ(number(1234.5, "###,###,#0.00"), "1.234,50");
    EXPECT_EQ(number(1234567.891, "###,###,#0.00"), "1.234.567,89");
    EXPECT_EQ(number(-1234.5, "###,###,#0.00"), "-1.234,50");
    EXPECT_EQ(number(-0.001, "0.00"), "0,00") << "no sign on a value that shows as zero";
    EXPECT_EQ(number(2.675, "0.00"), "2,68") << "half up on the decimal value";
    EXPECT_EQ(number(1234.5, "###0.00"), "1234,50");
    EXPECT_EQ(number(1234, "###,##0"), "1.234");
    EXPECT_EQ(number(0, "#,###,##0"), "0");
    EXPECT_EQ(number(1234567, "#,###,##0"), "1.234.567");
    EXPECT_EQ(number(0.5, "#.##"), ",5");
    EXPECT_EQ(number(7, "000"), "007");
    EXPECT_EQ(number(12.3456, "0.0##"), "12,346");
    EXPECT_EQ(number(12.3, "0.0##"), "12,3");
    EXPECT_EQ(number(-2, "0.00;(0.00);zero"), "(2,00)");
    EXPECT_EQ(number(0, "0.00;(0.00);zero"), "zero");
    EXPECT_EQ(number(5, "\"R$ \"#,##0.00"), "R$ 5,00");
    EXPECT_EQ(number(3, "0 'kg'"), "3 kg");
}

TEST(ReportFormat, DatesTimesAndValuesWithoutAFormat) {
    using ReportFormat::format;
    EXPECT_EQ(format(QDate(2024, 3, 5), "dd/mm/yyyy"), "05/03/2024");
    EXPECT_EQ(format(QDate(2024, 3, 5), "DD/MM/YYYY"), "05/03/2024");
    EXPECT_EQ(format(QDate(2024, 3, 5), "dd/mm/yy"), "05/03/24");
    EXPECT_EQ(format(QTime(14, 7, 9), "hh:nn"), "14:07");
    EXPECT_EQ(format(QTime(14, 7, 9), "hh:mm"), "14:07") << "mm after hh is minutes";
    EXPECT_EQ(format(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 1)), "dd/mm/yyyy hh:nn:ss"),
              "31/12/2024 23:59:01");
    EXPECT_EQ(format(QVariant(), "0.00"), "");
    EXPECT_EQ(format(QString("1234.5"), "###,##0.00"), "1.234,50") << "an exact decimal kept as text";
    EXPECT_EQ(format(QString("abc"), "0.00"), "abc");
    EXPECT_EQ(format(42, "0.0"), "42,0");

    using ReportFormat::text;
    EXPECT_EQ(text(QVariant()), "");
    EXPECT_EQ(text(3), "3");
    EXPECT_EQ(text(qlonglong(12345678901)), "12345678901");
    EXPECT_EQ(text(1234.5), "1234,5");
    EXPECT_EQ(text(0.1 + 0.2), "0,3");
    EXPECT_EQ(text(QDate(2024, 1, 2)), "02/01/2024");
    EXPECT_EQ(text(QDateTime(QDate(2024, 1, 2), QTime(0, 0))), "02/01/2024");
    EXPECT_EQ(text(QDateTime(QDate(2024, 1, 2), QTime(8, 1, 2))), "02/01/2024 08:01:02");
}

TEST(ReportTableSource, FieldsAreCaseInsensitiveAndUnknownOnesFail) {
    ReportTableSource t({"ID", "Nome"});
    t.addRow({1});
    t.addRow({2, "dois", "ignorado"});
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_TRUE(t.value(0, "nome").isNull());
    EXPECT_EQ(t.value(1, "NOME").toString(), "dois");
    EXPECT_TRUE(t.value(5, "ID").isNull()) << "a row beyond the end is empty";
    t.setValue(0, "Nome", "um");
    EXPECT_EQ(t.text(0, "nome"), "um");
    EXPECT_THROW(t.value(0, "OUTRO"), std::out_of_range);
}

} // namespace
