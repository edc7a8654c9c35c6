#pragma once
// What the parts of the report engine share: the unit pages are laid out in, the text layouts
// measured on one device, and the drawing list of a laid-out page.
#include "platform/report/ReportEngine.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QTextDocument>
#include <QTextLayout>
#include <memory>
#include <vector>

class QPaintDevice;

namespace reportlayout {

// Pages are laid out in pixels of a 96 dpi device (the unit the rich-text documents use too) and
// scaled to each output device when drawn.
constexpr double kUnitsPerMm = 96.0 / 25.4;
constexpr double kEps = 0.01;

inline double units(double mm) {
    return mm * kUnitsPerMm;
}
inline double mmOf(double u) {
    return u / kUnitsPerMm;
}
inline QRectF units(const QRectF& mm) {
    return QRectF(units(mm.x()), units(mm.y()), units(mm.width()), units(mm.height()));
}

// The device fonts are measured on: text drawn on any device keeps the line breaks and glyph
// positions found here, so the preview, the PDF and the printer show the same pages.
QPaintDevice* layoutDevice();
// Where a family the reports ask for is missing, its metric-compatible free twin stands in.
void ensureReportFonts();
QFont layoutFont(QFont f);
QString withLineSeparators(QString s);
std::shared_ptr<QTextLayout> makeLayout(const QString& text, const QFont& font, Qt::Alignment align,
                                        bool wrap, double width);
double layoutHeight(const QTextLayout& l);

} // namespace reportlayout

// One drawing of a laid-out page, in layout units.
struct PageItem {
    enum class Kind { Fill, Frame, Text, Rich, Image };
    PageItem(Kind k, const QRectF& r, const QRectF& c, const QColor& col)
        : kind(k), rect(r), clip(c), color(col) {}
    Kind kind;
    QRectF rect; // on the page, in layout units
    QRectF clip; // null: none
    QColor color;
    int sides = 0;
    double lineWidth = 0;
    std::shared_ptr<QTextLayout> layout;
    int firstLine = 0, endLine = 0;
    QPointF origin;
    std::shared_ptr<QTextDocument> doc;
    QImage image;
};

struct ReportEngine::Page {
    std::vector<PageItem> items;
};
