#include "platform/report/ReportEngine.h"
#include "platform/report/ReportPage.h"

#include <QPageSize>
#include <stdexcept>

QFont reportFont(double pointSize, bool bold, bool italic) {
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

ReportEngine::ReportEngine(const QString& caption) : m_caption(caption), m_font(reportFont()) {}

ReportEngine::~ReportEngine() = default;

void ReportEngine::setPage(QPageLayout::Orientation orientation, const QMarginsF& marginsMm) {
    m_orientation = orientation;
    m_margins = marginsMm;
    reset();
}

QSizeF ReportEngine::paperSizeMm() const {
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    return m_orientation == QPageLayout::Landscape ? a4.transposed() : a4;
}

double ReportEngine::printableWidthMm() const {
    return paperSizeMm().width() - m_margins.left() - m_margins.right();
}

ReportBand& ReportEngine::addPageHeader(const QString& name, double heightMm) {
    m_pageHeader = std::make_unique<ReportBand>(ReportBandKind::PageHeader, name, heightMm);
    return *m_pageHeader;
}

ReportBand& ReportEngine::addTitle(const QString& name, double heightMm) {
    m_title = std::make_unique<ReportBand>(ReportBandKind::Title, name, heightMm);
    return *m_title;
}

ReportBand& ReportEngine::addColumnHeader(const QString& name, double heightMm) {
    m_columnHeader = std::make_unique<ReportBand>(ReportBandKind::ColumnHeader, name, heightMm);
    return *m_columnHeader;
}

ReportGroup& ReportEngine::addGroup(const QString& name, const QString& field) {
    return addGroup(name, [field](const ReportSource& s, int row) { return s.value(row, field); });
}

ReportGroup& ReportEngine::addGroup(const QString& name, ReportGroup::Expression expression) {
    m_groups.push_back(std::make_unique<ReportGroup>(name, std::move(expression)));
    return *m_groups.back();
}

ReportBand& ReportEngine::addDetail(const QString& name, double heightMm) {
    m_detail = std::make_unique<ReportBand>(ReportBandKind::Detail, name, heightMm);
    return *m_detail;
}

ReportSubDetail& ReportEngine::addSubDetail(const QString& name, ReportSource* source, double heightMm) {
    m_subDetails.push_back(std::make_unique<ReportSubDetail>(name, source, heightMm));
    return *m_subDetails.back();
}

ReportBand& ReportEngine::addSummary(const QString& name, double heightMm) {
    m_summary = std::make_unique<ReportBand>(ReportBandKind::Summary, name, heightMm);
    return *m_summary;
}

ReportBand& ReportEngine::addPageFooter(const QString& name, double heightMm) {
    m_pageFooter = std::make_unique<ReportBand>(ReportBandKind::PageFooter, name, heightMm);
    return *m_pageFooter;
}

void ReportEngine::setBackground(const QImage& image, const QRectF& paperRectMm) {
    m_background = image;
    m_backgroundRect = paperRectMm;
}

std::vector<ReportBand*> ReportEngine::bands() const {
    std::vector<ReportBand*> out;
    auto chain = [&out](ReportBand* b) {
        for (; b; b = b->child())
            out.push_back(b);
    };
    chain(m_pageHeader.get());
    chain(m_title.get());
    chain(m_columnHeader.get());
    for (const auto& g : m_groups)
        chain(g->header());
    chain(m_detail.get());
    for (const auto& sd : m_subDetails) {
        chain(sd->header());
        chain(&sd->band());
        chain(sd->footer());
    }
    for (auto it = m_groups.rbegin(); it != m_groups.rend(); ++it)
        chain((*it)->footer());
    chain(m_summary.get());
    chain(m_pageFooter.get());
    return out;
}

ReportBand& ReportEngine::band(const QString& name) const {
    for (ReportBand* b : bands())
        if (b->name() == name) return *b;
    throw std::logic_error("Faixa '" + name.toStdString() + "' não existe no relatório");
}

void ReportEngine::reset() {
    m_pages.clear();
    m_record.clear();
    m_prepared = false;
}

int ReportEngine::pageCount() {
    prepare();
    return static_cast<int>(m_pages.size());
}

const ReportRecord& ReportEngine::record() {
    prepare();
    return m_record;
}
