// The preview seam and the preview window: the scripted double records each preview and writes
// its pages to PDF; the real window is built (not shown) maximised at 100 % with the report's
// pages, Portuguese texts and the PDF button; printing honours the printer's page ranges.
#include "platform/report/ReportPreview.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/QtTranslations.h"
#include "platform/report/ReportEngine.h"

#include "QtPrinters.h"
#include "ReportReadBack.h"
#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QToolBar>

#include <gtest/gtest.h>
#include <memory>

using namespace reporttest;

namespace {

// Three pages, one row each, the page number in the header.
struct ThreePages {
    ReportTableSource rows{{"NOME"}};
    ReportEngine report{QStringLiteral("Relatório de Correio Interno")};
    ThreePages() {
        rows.addRow({"Primeira página"});
        rows.addRow({"Segunda página"});
        rows.addRow({"Terceira página"});
        report.setSource(&rows);
        report.addPageHeader("Header", 10)
            .addSystemText("p", {0, 0, 50, 5}, ReportSystemText::Data::PageNumber, "Página ");
        ReportBand& d = report.addDetail("Detail", 10);
        d.setForceNewPage(true);
        d.addField("nome", {0, 0, 100, 5}, "NOME");
    }
};

class ReportPreviewTest : public ::testing::Test {
protected:
    FixedClock clock;
    ScopedClock useClock{clock};
    QTemporaryDir dir;
};

TEST_F(ReportPreviewTest, ScriptedPreviewRecordsEachCallAndWritesItsPdf) {
    ScriptedReportPreview preview;
    ScopedReportPreview use(preview);
    preview.setPdfPath(dir.filePath("previa-%1.pdf"));
    ThreePages a;
    a.report.preview();
    ThreePages b;
    b.report.setCaption("Outro");
    b.report.preview();

    ASSERT_EQ(preview.count(), 2);
    EXPECT_EQ(preview.calls()[0].caption, "Relatório de Correio Interno");
    EXPECT_EQ(preview.calls()[0].pageCount, 3);
    EXPECT_EQ(preview.calls()[0].record.texts("Detail", "nome"),
              (QStringList{"Primeira página", "Segunda página", "Terceira página"}));
    EXPECT_EQ(preview.last().caption, "Outro");
    EXPECT_EQ(preview.last().pdfPath, dir.filePath("previa-2.pdf"));
    EXPECT_EQ(pdfPages(dir.filePath("previa-1.pdf")), 3);
    EXPECT_TRUE(pdfWords(dir.filePath("previa-2.pdf"), 2).contains("Página 2 Segunda página"));
}

TEST_F(ReportPreviewTest, ScriptedPreviewWritesTheAskedPageAsPng) {
    ScriptedReportPreview preview;
    ScopedReportPreview use(preview);
    preview.setPngPath(dir.filePath("pagina-%1.png"), 2, 50);
    ThreePages a;
    a.report.preview();
    ASSERT_EQ(preview.count(), 1);
    EXPECT_EQ(preview.last().pngPath, dir.filePath("pagina-1.png"));
    EXPECT_TRUE(preview.last().pdfPath.isEmpty());
    const QImage png(preview.last().pngPath);
    EXPECT_EQ(png.width(), qRound(210 / 25.4 * 50));
    EXPECT_EQ(png, a.report.renderPage(2, 50).convertToFormat(png.format()));
}

TEST_F(ReportPreviewTest, PreviewWindowIsMaximisedAtFullSizeInPortugueseWithThePages) {
    ASSERT_TRUE(installPortugueseQtTranslations()) << "qt6-translations-l10n is missing";
    ThreePages t;
    QPrinter printer(QPrinter::HighResolution);
    std::unique_ptr<QPrintPreviewDialog> dlg(createReportPreviewDialog(t.report, printer));
    EXPECT_EQ(dlg->windowTitle(), "Relatório de Correio Interno");
    EXPECT_TRUE(dlg->windowState() & Qt::WindowMaximized);
    auto* view = dlg->findChild<QPrintPreviewWidget*>();
    ASSERT_TRUE(view);
    EXPECT_EQ(view->zoomMode(), QPrintPreviewWidget::CustomZoom);
    EXPECT_DOUBLE_EQ(view->zoomFactor(), 1.0);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_TRUE(printer.fullPage());

    QStringList texts;
    QAction* save = nullptr;
    for (QAction* a : dlg->findChild<QToolBar*>()->actions()) {
        texts << a->text();
        if (a->objectName() == "actSalvarPdf") save = a;
    }
    ASSERT_TRUE(save);
    EXPECT_EQ(save->text(), "Salvar como PDF");
    EXPECT_TRUE(texts.contains("Imprimir")) << texts.join(" | ").toStdString();

    // The preview asks the report for its pages.
    view->updatePreview();
    EXPECT_EQ(view->pageCount(), 3);
}

TEST_F(ReportPreviewTest, PrintingHonoursThePrintersPageRanges) {
    ThreePages t;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir.filePath("impresso.pdf");
    printer.setOutputFileName(pdf);
    QPageRanges ranges;
    ranges.addRange(2, 3);
    printer.setPageRanges(ranges);
    t.report.print(printer);
    EXPECT_EQ(pdfPages(pdf), 2);
    EXPECT_TRUE(pdfWords(pdf, 1).contains("Página 2 Segunda página"));
    EXPECT_TRUE(pdfWords(pdf, 2).contains("Página 3 Terceira página"));
}

TEST_F(ReportPreviewTest, PagesRenderToPngAtTheAskedResolution) {
    ThreePages t;
    const QString png = dir.filePath("p2.png");
    t.report.writePng(png, 2, 50);
    const QImage img(png);
    EXPECT_EQ(img.size(), QSize(qRound(210 / 25.4 * 50), qRound(297 / 25.4 * 50)));
    EXPECT_THROW(t.report.writePng(dir.filePath("nao/existe/p.png"), 1), AppError);
}

} // namespace
