#pragma once
// Bands of a report: a horizontal strip of the page with its elements, printed at a moment of
// the run given by its kind (page header, title, column header, group header, detail, sub-detail,
// group footer, summary, page footer), with chained child bands printed right after it.
#include "platform/report/ReportElements.h"

#include <QString>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class ReportEngine;
class ReportBand;
class ReportSource;

enum class ReportBandKind {
    PageHeader,
    Title,
    ColumnHeader,
    GroupHeader,
    Detail,
    SubDetailHeader,
    SubDetail,
    SubDetailFooter,
    GroupFooter,
    Summary,
    PageFooter,
    Child,
};

// What a band's before-print event sees. Setting print to false suppresses the band this time;
// its child bands still get their own turn. The event may change the band's elements (texts,
// images, visibility) and enable or disable other bands.
struct ReportBandEvent {
    ReportEngine& report;
    ReportBand& band;
    const ReportSource* source; // the rows the band prints from; null for none
    int row;                    // -1 when the band is not on a row
    int page;                   // 1 for the first page
    bool print = true;

    // The row's value of a field; null without a row.
    QVariant value(const QString& field) const;
};

class ReportBand {
public:
    using BeforePrint = std::function<void(ReportBandEvent&)>;

    ReportBand(ReportBandKind kind, const QString& name, double heightMm)
        : m_kind(kind), m_name(name), m_height(heightMm) {}
    ReportBand(const ReportBand&) = delete;
    ReportBand& operator=(const ReportBand&) = delete;

    ReportBandKind kind() const { return m_kind; }
    const QString& name() const { return m_name; }
    double heightMm() const { return m_height; }
    void setHeightMm(double h) { m_height = h; }
    // A disabled band does not print (its children still have their turn).
    bool enabled() const { return m_enabled; }
    void setEnabled(bool e) { m_enabled = e; }
    // Body bands: start a new page first unless nothing but headers is on the current page.
    bool forceNewPage() const { return m_newPage; }
    void setForceNewPage(bool n) { m_newPage = n; }
    // Body bands: start a new page first when the band and this much room below it do not fit
    // on the rest of the page, so a heading is not left alone at the foot of a page (the room of
    // the bands that must follow it: column headings and a first row).
    double keepWithNextMm() const { return m_keepWithNext; }
    void setKeepWithNextMm(double mm) { m_keepWithNext = mm; }
    // A band that grows (memos, rich text) moves whole to the next page rather than split,
    // unless it is taller than a page (a grid row whose text wraps stays one row).
    bool keepTogether() const { return m_keepTogether; }
    void setKeepTogether(bool k) { m_keepTogether = k; }
    // Group header bands (the header or one of its children): printed again at the top of
    // every page on which the group's rows continue, under the page header and the column
    // header, as it printed when the group began (fields refilled from the row, its event not
    // run again). A page that the group reaches only with its footer gets no repeat.
    bool repeatOnNewPage() const { return m_repeat; }
    void setRepeatOnNewPage(bool r) { m_repeat = r; }
    const ReportFrame& frame() const { return m_frame; }
    void setFrame(const ReportFrame& f) { m_frame = f; }
    // Invalid: transparent.
    QColor background() const { return m_background; }
    void setBackground(const QColor& c) { m_background = c; }
    void setBeforePrint(BeforePrint e) { m_beforePrint = std::move(e); }
    const BeforePrint& beforePrint() const { return m_beforePrint; }

    // Elements, drawn in the order they were added. Geometry in millimetres within the band.
    ReportText& addText(const QString& name, const QRectF& mm, const QString& text = {});
    // A text bound to a field of the band's source.
    ReportText& addField(const QString& name, const QRectF& mm, const QString& field,
                         const QString& displayFormat = {});
    // A word-wrapped text that grows with its content and may split across pages.
    ReportText& addMemo(const QString& name, const QRectF& mm, const QString& text = {});
    ReportSystemText& addSystemText(const QString& name, const QRectF& mm, ReportSystemText::Data data,
                                    const QString& caption = {});
    ReportRichText& addRichText(const QString& name, const QRectF& mm);
    ReportImage& addImage(const QString& name, const QRectF& mm);
    // A horizontal rule at (x, y), width long; a vertical one at (x, y), height long.
    ReportLine& addHLine(double xMm, double yMm, double widthMm, double thicknessMm = kReportPixelMm,
                         const QColor& color = Qt::black);
    ReportLine& addVLine(double xMm, double yMm, double heightMm, double thicknessMm = kReportPixelMm,
                         const QColor& color = Qt::black);
    ReportShape& addRect(const QString& name, const QRectF& mm, const QColor& fill,
                         const ReportFrame& frame = ReportFrame{});

    const std::vector<std::unique_ptr<ReportElement>>& elements() const { return m_elements; }
    // The named element, null when the band has none; element<T>() throws std::logic_error then.
    ReportElement* find(const QString& name) const;
    template <class T> T& element(const QString& name) const {
        T* e = dynamic_cast<T*>(find(name));
        if (!e)
            throw std::logic_error("Elemento '" + name.toStdString() + "' não existe na faixa " +
                                   m_name.toStdString());
        return *e;
    }
    ReportText& text(const QString& name) const { return element<ReportText>(name); }
    ReportImage& image(const QString& name) const { return element<ReportImage>(name); }
    ReportRichText& richText(const QString& name) const { return element<ReportRichText>(name); }

    // The next band of the chain, printed right after this one.
    ReportBand& addChild(const QString& name, double heightMm);
    ReportBand* child() const { return m_child.get(); }

private:
    template <class T, class... A> T& add(A&&... args) {
        auto e = std::make_unique<T>(std::forward<A>(args)...);
        T& ref = *e;
        m_elements.push_back(std::move(e));
        return ref;
    }

    ReportBandKind m_kind;
    QString m_name;
    double m_height;
    bool m_enabled = true;
    bool m_newPage = false;
    double m_keepWithNext = 0;
    bool m_keepTogether = false;
    bool m_repeat = false;
    ReportFrame m_frame;
    QColor m_background;
    BeforePrint m_beforePrint;
    std::vector<std::unique_ptr<ReportElement>> m_elements;
    std::unique_ptr<ReportBand> m_child;
};

// Rows grouped by the value of a field (or an expression on the row): the header prints before
// the first row of each group, the footer after its last row.
class ReportGroup {
public:
    using Expression = std::function<QVariant(const ReportSource&, int row)>;

    ReportGroup(const QString& name, Expression expression)
        : m_name(name), m_expression(std::move(expression)) {}
    const QString& name() const { return m_name; }
    QVariant valueAt(const ReportSource& source, int row) const { return m_expression(source, row); }

    ReportBand& addHeader(const QString& name, double heightMm);
    ReportBand& addFooter(const QString& name, double heightMm);
    ReportBand* header() const { return m_header.get(); }
    ReportBand* footer() const { return m_footer.get(); }

private:
    QString m_name;
    Expression m_expression;
    std::unique_ptr<ReportBand> m_header, m_footer;
};

// Rows of a second source printed under each row of the report's detail (the equipment of each
// client). The source is asked for its rows when the master row has printed, so the master's
// event can refill it.
class ReportSubDetail {
public:
    ReportSubDetail(const QString& name, ReportSource* source, double heightMm);
    ReportSource* source() const { return m_source; }
    void setSource(ReportSource* s) { m_source = s; }
    ReportBand& band() const { return *m_band; }
    ReportBand& addHeader(const QString& name, double heightMm);
    ReportBand& addFooter(const QString& name, double heightMm);
    ReportBand* header() const { return m_header.get(); }
    ReportBand* footer() const { return m_footer.get(); }
    // Without rows: header and footer still print, and the band prints once with empty fields.
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool p) { m_printIfEmpty = p; }
    // Without rows: header and footer still print (the band does not).
    bool headersIfEmpty() const { return m_headersIfEmpty; }
    void setHeadersIfEmpty(bool h) { m_headersIfEmpty = h; }

private:
    ReportSource* m_source;
    std::unique_ptr<ReportBand> m_band, m_header, m_footer;
    bool m_printIfEmpty = false;
    bool m_headersIfEmpty = false;
};
