#pragma once
// The banded report engine. A report is defined as bands holding elements (millimetres on an A4
// page, portrait or landscape, within margins), fed by a ReportSource, with before-print events
// per band. prepare() runs the report once: it lays the pages out in one pass with measured band
// heights (memos and rich text grow their band and split across pages) and keeps the pages as
// drawing lists, with a record of what printed. The same pages then go to the preview, a printer,
// a PDF file or PNG images.
//
// Usage:
//   ReportEngine r(QStringLiteral("Relatório de Correio Interno"));
//   r.setSource(&rows);
//   ReportBand& head = r.addPageHeader("PageHeader", 20);
//   head.addText("lbTitulo", {0, 2, 120, 6}, "Correio Interno").setFont(reportFont(14, true));
//   ReportBand& det = r.addDetail("Detail", 6);
//   det.addField("qrNome", {0, 0, 80, 5}, "NM_PESSOA");
//   det.setBeforePrint([](ReportBandEvent& e) { e.print = !e.value("NM_PESSOA").isNull(); });
//   r.preview();                    // modal, through the ReportPreview seam
//   r.writePdf("/tmp/x.pdf");       // or a file
#include "platform/report/ReportBand.h"
#include "platform/report/ReportRecord.h"
#include "platform/report/ReportSource.h"

#include <QDateTime>
#include <QMarginsF>
#include <QPageLayout>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;
class QPagedPaintDevice;

// The report font: Arial (Liberation Sans, its metric twin, where Arial is not installed).
QFont reportFont(double pointSize = 10, bool bold = false, bool italic = false);

class ReportEngine {
public:
    explicit ReportEngine(const QString& caption = {});
    ~ReportEngine();
    ReportEngine(const ReportEngine&) = delete;
    ReportEngine& operator=(const ReportEngine&) = delete;

    // ---- Definition ----
    // The preview's window title and the PDF's title.
    const QString& caption() const { return m_caption; }
    void setCaption(const QString& c) { m_caption = c; }
    // A4 in the given orientation; margins in millimetres (10 on every side unless set).
    void setPage(QPageLayout::Orientation orientation,
                 const QMarginsF& marginsMm = QMarginsF(10, 10, 10, 10));
    QPageLayout::Orientation orientation() const { return m_orientation; }
    const QMarginsF& marginsMm() const { return m_margins; }
    QSizeF paperSizeMm() const;
    // The width between the margins.
    double printableWidthMm() const;
    // Font of elements that set none (Arial 10 unless set).
    const QFont& font() const { return m_font; }
    void setFont(const QFont& f) { m_font = f; }
    // The main rows; null prints the detail once without a row.
    void setSource(ReportSource* s) { m_source = s; }
    ReportSource* source() const { return m_source; }

    ReportBand& addPageHeader(const QString& name, double heightMm);
    ReportBand& addTitle(const QString& name, double heightMm);
    ReportBand& addColumnHeader(const QString& name, double heightMm);
    // Groups nest in the order they are added (the first is the outermost). A group on a new
    // page: its header's setForceNewPage(true).
    ReportGroup& addGroup(const QString& name, const QString& field);
    ReportGroup& addGroup(const QString& name, ReportGroup::Expression expression);
    ReportBand& addDetail(const QString& name, double heightMm);
    ReportSubDetail& addSubDetail(const QString& name, ReportSource* source, double heightMm);
    ReportBand& addSummary(const QString& name, double heightMm);
    ReportBand& addPageFooter(const QString& name, double heightMm);
    // Whether the page header prints on the first page and the page footer on the last page.
    void setPageHeaderOnFirstPage(bool p) { m_headerOnFirst = p; }
    void setPageFooterOnLastPage(bool p) { m_footerOnLast = p; }

    // A picture drawn on every page in a rectangle given in millimetres from the paper's
    // top-left corner, combined with the page by a bitwise AND of the colours, so it shows as a
    // background without hiding anything. Devices without raster operations (PDF) get it drawn
    // underneath the page content, which looks the same. A null image draws nothing.
    void setBackground(const QImage& image, const QRectF& paperRectMm);
    const QImage& background() const { return m_background; }

    // Report-level events: before the run (after the clock is read) and at the start of each
    // page, before its page header.
    void setOnStart(std::function<void(ReportEngine&)> e) { m_onStart = std::move(e); }
    void setOnStartPage(std::function<void(ReportEngine&, int page)> e) { m_onStartPage = std::move(e); }

    // Every band (children and group and sub-detail bands included), in print order of kinds.
    std::vector<ReportBand*> bands() const;
    // The named band or element anywhere in the report; throws std::logic_error when missing.
    ReportBand& band(const QString& name) const;
    template <class T> T& element(const QString& name) const {
        for (ReportBand* b : bands())
            if (T* t = dynamic_cast<T*>(b->find(name))) return *t;
        throw std::logic_error("Elemento '" + name.toStdString() + "' não existe no relatório");
    }
    ReportText& text(const QString& name) const { return element<ReportText>(name); }
    ReportImage& image(const QString& name) const { return element<ReportImage>(name); }
    ReportRichText& richText(const QString& name) const { return element<ReportRichText>(name); }

    // ---- Running ----
    // Runs the report once (events included) unless it ran already. Throws AppError when no
    // font is installed (a PDF would silently have no text) and lets event exceptions through.
    void prepare();
    // Forgets the pages so the next prepare() runs the report again.
    void reset();
    bool prepared() const { return m_prepared; }
    int pageCount();
    const ReportRecord& record();
    // The moment the run started (the clock seam's now()); the print date and time show it.
    const QDateTime& printedAt() const { return m_printedAt; }

    // ---- Output ----
    // Draws a page (1-based) with the painter at the paper's top-left corner, the painter's
    // device resolution giving the scale.
    void paintPage(QPainter& painter, int page);
    // Every page to a PDF file; throws AppError when the file cannot be written.
    void writePdf(const QString& path);
    // A page as an image at a resolution in dots per inch.
    QImage renderPage(int page, int dpi = 96);
    // A page to a PNG file; throws AppError when the file cannot be written.
    void writePng(const QString& path, int page, int dpi = 96);
    // Every page (or the printer's page ranges) to a printer, paper-relative (full page).
    void print(QPrinter& printer);
    // The modal preview through the ReportPreview seam.
    void preview();

private:
    friend class ReportLayouter;
    struct Page; // a laid-out page: its drawing list

    QString m_caption;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QMarginsF m_margins{10, 10, 10, 10};
    QFont m_font;
    ReportSource* m_source = nullptr;
    std::unique_ptr<ReportBand> m_pageHeader, m_title, m_columnHeader, m_detail, m_summary, m_pageFooter;
    std::vector<std::unique_ptr<ReportGroup>> m_groups;
    std::vector<std::unique_ptr<ReportSubDetail>> m_subDetails;
    bool m_headerOnFirst = true, m_footerOnLast = true;
    QImage m_background;
    QRectF m_backgroundRect;
    std::function<void(ReportEngine&)> m_onStart;
    std::function<void(ReportEngine&, int)> m_onStartPage;

    bool m_prepared = false;
    QDateTime m_printedAt;
    std::vector<std::unique_ptr<Page>> m_pages;
    ReportRecord m_record;
};
