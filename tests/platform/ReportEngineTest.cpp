// The banded report engine, read back independently: a demonstration report (page header and
// footer with page numbers, groups on new pages, rows from a row source, a memo split across
// pages, rich text, images and the background picture) written to PDF and read with pdftotext and
// pdfinfo, and the engine's record of which bands printed with which texts.
#include "platform/report/ReportEngine.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/RtfCodec.h"
#include "platform/report/ReportPreview.h"

#include "QtPrinters.h"
#include "ReportReadBack.h"
#include <QElapsedTimer>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace reporttest;

namespace {

const QDateTime kPrintTime(QDate(2024, 3, 15), QTime(10, 30, 0));

QImage solidImage(int w, int h, const QColor& c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

QString longObservation(int lines) {
    QStringList out;
    for (int i = 1; i <= lines; ++i)
        out << QStringLiteral("Linha %1 da observação técnica sobre a amostra.")
                   .arg(i, 3, 10, QLatin1Char('0'));
    return out.join('\n');
}

// The demonstration report: what the laboratory's reports need, in one.
struct DemoReport {
    ReportTableSource rows{{"CLIENTE", "CIDADE", "EQUIPAMENTO", "VALOR"}};
    ReportEngine report{QStringLiteral("Relatório de Demonstração")};
    QMap<QString, QString> observations; // per client, printed under its group
    int groupRows = 0;
    QTemporaryDir dir;

    DemoReport() {
        auto add = [this](const QString& client, const QString& city, int n) {
            for (int i = 1; i <= n; ++i)
                rows.addRow({client, city, QStringLiteral("Caldeira %1 — ação").arg(i), 1000.5 * i + 234});
        };
        add("Águas Claras Indústria", "São Paulo - SP", 60);
        add("Conceição & Filhos", "Belém - PA", 4);
        rows.addRow({"Conceição & Filhos", "Belém - PA", "Equipamento sem resultado", QVariant()});
        rows.addRow({"Conceição & Filhos", "Belém - PA", "Torre zerada", 0.0});
        add("Ômega Têxtil", "Joinville - SC", 10);
        observations["Conceição & Filhos"] = longObservation(90);
        observations["Ômega Têxtil"] = "   ";

        // Images as the report folder holds them: JPEG logo, PNG signature, BMP background.
        solidImage(300, 90, QColor(20, 60, 160)).save(dir.filePath("Logo.jpg"), "JPEG");
        solidImage(200, 60, QColor(40, 40, 40)).save(dir.filePath("Ass.png"), "PNG");
        solidImage(64, 64, QColor(200, 255, 255)).save(dir.filePath("Fundo.bmp"), "BMP");

        report.setSource(&rows);
        ReportBand& head = report.addPageHeader("PageHeader", 20);
        head.addImage("imgLogo", {0, 0, 50, 15});
        head.addText("qrlTitulo", {55, 2, 95, 7}, "Relatório de Demonstração").setFont(reportFont(14, true));
        ReportSystemText& pg =
            head.addSystemText("qrsPagina", {150, 10, 40, 5}, ReportSystemText::Data::PageOfPages, "Página ");
        pg.setAlignment(Qt::AlignRight);
        head.addHLine(0, 18, 190, 0.5);

        report.addTitle("Title", 8)
            .addText("qrlAmostras", {0, 1, 100, 6}, "Amostras de água:")
            .setFont(reportFont(10, true));

        ReportGroup& group = report.addGroup("QRGroup1", "CLIENTE");
        ReportBand& gh = group.addHeader("GroupHeader", 12);
        gh.setForceNewPage(true);
        gh.addText("lbCliente", {0, 1, 20, 5}, "Cliente:").setFont(reportFont(10, true));
        gh.addField("qrCliente", {20, 1, 120, 5}, "CLIENTE").setFont(reportFont(10, true));
        gh.addText("lbCidade", {0, 6, 20, 5}, "Cidade:");
        gh.addField("qrCidade", {20, 6, 120, 5}, "CIDADE");
        gh.setBeforePrint([this](ReportBandEvent&) { groupRows = 0; });

        ReportBand& detail = report.addDetail("Detail", 5.6);
        detail.addField("qrEquipamento", {1, 0.5, 120, 4.5}, "EQUIPAMENTO").setFont(reportFont(8));
        ReportText& value = detail.addField("qrValor", {130, 0.5, 40, 4.5}, "VALOR", "###,###,#0.00");
        value.setFont(reportFont(8));
        value.setAlignment(Qt::AlignRight);
        detail.addVLine(0, 0, 5.6).setStretchToBand(true);
        detail.addVLine(125, 0, 5.6).setStretchToBand(true);
        detail.addVLine(175, 0, 5.6).setStretchToBand(true);
        detail.addHLine(0, 5.4, 175);
        // Rows without a value do not print.
        detail.setBeforePrint([this](ReportBandEvent& e) {
            e.print = !e.value("VALOR").isNull();
            if (e.print) ++groupRows;
        });

        ReportBand& gf = group.addFooter("GroupFooter", 6);
        gf.addText("lbTotal", {100, 1, 20, 5}, "Total:").setFont(reportFont(10, true));
        ReportText& total = gf.addText("qrlTotal", {120, 1, 20, 5});
        total.setAlignment(Qt::AlignRight);
        gf.setBeforePrint([this](ReportBandEvent& e) {
            e.band.text("qrlTotal").setText(ReportFormat::number(groupRows, "###,##0"));
        });
        ReportBand& obs = gf.addChild("ChildObs", 6);
        obs.addText("lbObs", {0, 0.5, 5, 5}, "1)");
        obs.addMemo("qrmObs", {6, 0.5, 180, 5});
        obs.setBeforePrint([this](ReportBandEvent& e) {
            const QString text = observations.value(e.value("CLIENTE").toString());
            e.band.text("qrmObs").setText(text);
            e.print = !text.trimmed().isEmpty();
        });

        ReportBand& summary = report.addSummary("Summary", 40);
        ReportRichText& rich = summary.addRichText("qrrTexto", {0, 2, 186.5, 6});
        rich.setRtf("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\pard\\f0\\fs20 "
                    "\\b Recomenda\\'e7\\'f5es\\b0  do laborat\\'f3rio:\\par"
                    "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\fi-360\\li360 manter o pH\\par"
                    "{\\pntext\\'b7\\tab}purgar diariamente\\par}");
        ReportImage& sig = summary.addImage("imgAssinatura", {87, 14, 40, 15});
        sig.setFit(ReportImage::Fit::KeepAspect);
        sig.setShiftWith(&rich);
        summary.addText("qrlTecnico", {80, 30, 60, 5}, "Fulana de Tal").setAlignment(Qt::AlignHCenter);
        summary.text("qrlTecnico").setShiftWith(&rich);

        ReportBand& foot = report.addPageFooter("PageFooter", 12);
        foot.addHLine(0, 1, 190);
        foot.addText("lbSistema", {70, 3, 50, 5}, "Nexmoro Cortivandela").setAlignment(Qt::AlignHCenter);
        foot.addSystemText("qrsData", {130, 3, 30, 5}, ReportSystemText::Data::Date, "Data: ");
        foot.addSystemText("qrsHora", {160, 3, 12, 5}, ReportSystemText::Data::Time);
        foot.addSystemText("qrsNumero", {172, 3, 18, 5}, ReportSystemText::Data::PageNumber, "Pág. ");

        report.setOnStart([this](ReportEngine& r) {
            r.image("imgLogo").loadFile(dir.filePath("Logo.jpg"));
            r.image("imgAssinatura").loadFile(dir.filePath("Ass.png"));
            QImage bg(dir.filePath("Fundo.bmp"));
            const QSizeF paper = r.paperSizeMm();
            r.setBackground(bg, QRectF(QPointF(paper.width() / 4, 2 * (paper.height() / 6)),
                                       QPointF(3 * (paper.width() / 4), 4 * (paper.height() / 6))));
        });
    }
};

class ReportEngineTest : public ::testing::Test {
protected:
    FixedClock clock{kPrintTime};
    ScopedClock useClock{clock};
};

TEST_F(ReportEngineTest, DemonstrationReportReadsBackFromThePdf) {
    DemoReport demo;
    const QString pdf = demo.dir.filePath("demo.pdf");
    demo.report.writePdf(pdf);
    keep(pdf, "demonstracao.pdf");
    const int pages = demo.report.pageCount();
    const ReportRecord& rec = demo.report.record();
    SCOPED_TRACE(rec.dump().toStdString());

    EXPECT_EQ(pdfPages(pdf), pages);
    EXPECT_EQ(rec.pageCount(), pages);
    ASSERT_GE(pages, 5);

    // Page header and footer on every page, with the page number and count.
    for (int p = 1; p <= pages; ++p) {
        const QString words = pdfWords(pdf, p);
        EXPECT_TRUE(words.contains("Relatório de Demonstração")) << p;
        EXPECT_TRUE(words.contains(QStringLiteral("Página %1 de %2").arg(p).arg(pages))) << p;
        EXPECT_TRUE(words.contains(QStringLiteral("Pág. %1").arg(p))) << words.toStdString();
        EXPECT_TRUE(words.contains("Data: 15/03/2024 10:30")) << words.toStdString();
        EXPECT_TRUE(words.contains("Nexmoro Cortivandela"));
    }
    EXPECT_EQ(rec.texts("PageHeader", "qrsPagina").first(), QStringLiteral("Página 1 de %1").arg(pages));
    EXPECT_EQ(rec.count("PageHeader"), pages);
    EXPECT_EQ(rec.count("PageFooter"), pages);

    // Title once, on the first page, and the first group right under it (no empty first page).
    ASSERT_EQ(rec.count("Title"), 1);
    EXPECT_EQ(rec.of("Title")[0]->page, 1);
    EXPECT_TRUE(
        pdfWords(pdf, 1).contains("Amostras de água: Cliente: Águas Claras Indústria Cidade: São Paulo - SP"))
        << pdfWords(pdf, 1).toStdString();

    // Each group starts a page; rows and totals per group.
    const auto headers = rec.of("GroupHeader");
    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(rec.texts("GroupHeader", "qrCliente"),
              (QStringList{"Águas Claras Indústria", "Conceição & Filhos", "Ômega Têxtil"}));
    EXPECT_EQ(headers[0]->page, 1);
    const auto footers = rec.of("GroupFooter");
    ASSERT_EQ(footers.size(), 3u);
    EXPECT_EQ(headers[1]->page, footers[0]->page + 1);
    EXPECT_EQ(rec.texts("GroupFooter", "qrlTotal"), (QStringList{"60", "5", "10"}));
    EXPECT_TRUE(pdfWords(pdf).contains("Total: 60"));
    EXPECT_EQ(rec.count("Detail"), 75) << "the row without a value is left out";
    EXPECT_FALSE(pdfText(pdf).contains("Equipamento sem resultado"));
    EXPECT_EQ(rec.texts("Detail", "qrValor").first(), "1.234,50");
    EXPECT_TRUE(rec.texts("Detail", "qrValor").contains("0,00"));
    EXPECT_TRUE(pdfWords(pdf).contains("Caldeira 1 — ação 1.234,50"));
    EXPECT_TRUE(pdfWords(pdf).contains("60.264,00"));

    // The observation memo grows across pages; no line is lost or repeated; the blank one of the
    // last group does not print; the next group starts on a new page after it.
    const auto memos = rec.of("ChildObs");
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_GT(memos[0]->lastPage, memos[0]->page);
    EXPECT_GT(memos[0]->heightMm, 300.0);
    EXPECT_EQ(memos[0]->text("qrmObs"), longObservation(90));
    const QString all = pdfText(pdf);
    for (int i = 1; i <= 90; ++i) {
        const QString line = QStringLiteral("Linha %1 da observação").arg(i, 3, 10, QLatin1Char('0'));
        EXPECT_EQ(all.count(line), 1) << line.toStdString();
    }
    EXPECT_TRUE(pdfText(pdf, memos[0]->page).contains("Linha 001"));
    EXPECT_FALSE(pdfText(pdf, memos[0]->page).contains("Linha 090"));
    EXPECT_TRUE(pdfText(pdf, memos[0]->lastPage).contains("Linha 090"));
    EXPECT_EQ(headers[2]->page, memos[0]->lastPage + 1);

    // Summary: rich text with its bullets' words, the signature under it, on the last page.
    ASSERT_EQ(rec.count("Summary"), 1);
    const ReportPrintedBand& summary = *rec.of("Summary")[0];
    EXPECT_EQ(summary.lastPage, pages);
    EXPECT_EQ(summary.text("qrrTexto"), "Recomendações do laboratório:\nmanter o pH\npurgar diariamente");
    EXPECT_EQ(summary.text("imgAssinatura"), "[imagem]");
    const QString last = pdfWords(pdf, pages);
    EXPECT_TRUE(last.contains("Recomendações do laboratório:"));
    EXPECT_TRUE(last.contains("manter o pH"));
    EXPECT_TRUE(last.contains("Fulana de Tal"));
    EXPECT_EQ(rec.texts("PageHeader", "imgLogo").first(), "[imagem]");
}

TEST_F(ReportEngineTest, BackgroundIsAndedWhereTheDeviceCanAndUnderneathInAPdf) {
    ReportEngine r;
    ReportBand& d = r.addDetail("Detail", 50);
    // A red square over part of the cyan background.
    d.addRect("quadrado", {40, 40, 30, 30}, QColor(255, 0, 0));
    r.setBackground(solidImage(16, 16, QColor(0, 255, 255)), QRectF(60, 60, 40, 40));
    QTemporaryDir dir;

    // Raster image: colours ANDed, red & cyan = black; cyan stays where nothing is drawn.
    const QImage png = r.renderPage(1, 254); // 10 pixels a millimetre
    auto at = [](const QImage& img, double xMm, double yMm) {
        return QColor(img.pixel(qRound(xMm * img.width() / 210.0), qRound(yMm * img.height() / 297.0)));
    };
    EXPECT_EQ(at(png, 75, 75), QColor(0, 0, 0)) << "red AND cyan";
    EXPECT_EQ(at(png, 90, 90), QColor(0, 255, 255)) << "white AND cyan";
    EXPECT_EQ(at(png, 52, 52), QColor(255, 0, 0)) << "outside the background";

    // PDF: no raster operations; the background goes underneath, the square covers it.
    const QString pdf = dir.filePath("bg.pdf");
    r.writePdf(pdf);
    const QImage fromPdf = pdfPageImage(pdf, 1, 50, dir.path());
    ASSERT_FALSE(fromPdf.isNull());
    EXPECT_EQ(at(fromPdf, 75, 75), QColor(255, 0, 0));
    EXPECT_EQ(at(fromPdf, 90, 90), QColor(0, 255, 255));
}

TEST_F(ReportEngineTest, GeometryIsInMillimetresWithinTheMarginsOnPortraitAndLandscape) {
    for (auto orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        ReportEngine r;
        r.setPage(orientation, QMarginsF(15, 20, 10, 10));
        ReportBand& d = r.addDetail("Detail", 30);
        d.addRect("a", {10, 5, 20, 10}, Qt::black);
        const QImage img = r.renderPage(1, 254);
        const QSizeF paper = r.paperSizeMm();
        EXPECT_EQ(img.width(), qRound(paper.width() * 10));
        EXPECT_EQ(img.height(), qRound(paper.height() * 10));
        EXPECT_DOUBLE_EQ(r.printableWidthMm(), paper.width() - 25);
        // The square spans 25-45 mm across and 25-35 mm down the paper.
        EXPECT_EQ(QColor(img.pixel(260, 260)), QColor(Qt::black));
        EXPECT_EQ(QColor(img.pixel(440, 340)), QColor(Qt::black));
        EXPECT_EQ(QColor(img.pixel(240, 260)), QColor(Qt::white));
        EXPECT_EQ(QColor(img.pixel(460, 260)), QColor(Qt::white));
        EXPECT_EQ(QColor(img.pixel(300, 245)), QColor(Qt::white));
        EXPECT_EQ(QColor(img.pixel(300, 355)), QColor(Qt::white));
    }
}

TEST_F(ReportEngineTest, TextInAMissingFontStillReachesThePdf) {
    ReportEngine r;
    QFont missing(QStringLiteral("Fonte Que Não Existe"), 12);
    r.setFont(missing);
    ReportBand& d = r.addDetail("Detail", 20);
    d.addText("a", {0, 0, 150, 8}, "Acentuação: ÇÃÕÉÍÓÚ çãõéíóú € “aspas”");
    d.addText("b", {0, 8, 150, 8}, "Arial pedido").setFont(reportFont(12));
    QTemporaryDir dir;
    const QString pdf = dir.filePath("fonts.pdf");
    r.writePdf(pdf);
    const QString text = pdfWords(pdf);
    EXPECT_TRUE(text.contains("Acentuação: ÇÃÕÉÍÓÚ çãõéíóú € “aspas”")) << text.toStdString();
    EXPECT_TRUE(text.contains("Arial pedido"));
    EXPECT_EQ(QFontInfo(reportFont()).family(), QFontInfo(QFont("Arial")).family());
}

TEST_F(ReportEngineTest, FortyPagesRenderToPdfQuickly) {
    ReportTableSource rows({"NOME", "VALOR", "DATA"});
    for (int i = 0; i < 40 * 50; ++i)
        rows.addRow({QStringLiteral("Cliente número %1 da lista de coleta").arg(i), i * 3.25,
                     QDate(2024, 1, 1).addDays(i)});
    ReportEngine r;
    r.setSource(&rows);
    ReportBand& head = r.addPageHeader("PageHeader", 15);
    head.addText("t", {0, 2, 150, 8}, "Relatório de Análises Coletadas").setFont(reportFont(14, true));
    head.addSystemText("p", {160, 2, 30, 5}, ReportSystemText::Data::PageNumber, "Página ");
    ReportBand& d = r.addDetail("Detail", 5);
    d.addField("n", {0, 0, 100, 5}, "NOME");
    d.addField("v", {100, 0, 40, 5}, "VALOR", "###,###,#0.00").setAlignment(Qt::AlignRight);
    d.addField("d", {150, 0, 30, 5}, "DATA");
    d.addHLine(0, 4.8, 190);
    r.addPageFooter("PageFooter", 10).addSystemText("dt", {0, 2, 50, 5}, ReportSystemText::Data::DateTime);
    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    r.writePdf(dir.filePath("big.pdf"));
    const qint64 ms = timer.elapsed();
    EXPECT_GE(r.pageCount(), 40);
    EXPECT_LT(ms, 2000) << "40 pages took " << ms << " ms";
    std::printf("[ info ] %d pages in %lld ms\n", r.pageCount(), static_cast<long long>(ms));
    EXPECT_EQ(pdfPages(dir.filePath("big.pdf")), r.pageCount());
}

TEST_F(ReportEngineTest, UnwritablePdfIsAClearError) {
    ReportEngine r;
    r.addDetail("Detail", 10).addText("a", {0, 0, 10, 5}, "x");
    try {
        r.writePdf("/nao/existe/pasta/x.pdf");
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "Não foi possível gravar o arquivo \"/nao/existe/pasta/x.pdf\".");
    }
}

} // namespace
