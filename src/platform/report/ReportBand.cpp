#include "platform/report/ReportBand.h"
#include "platform/report/ReportRecord.h"
#include "platform/report/ReportSource.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

QVariant ReportBandEvent::value(const QString& field) const {
    if (!source || row < 0) return QVariant();
    return source->value(row, field);
}

// ---- Elements ----

bool ReportImage::loadFile(const QString& path) {
    m_image = QImage();
    if (path.isEmpty() || !QFile::exists(path)) return false;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    m_image = reader.read();
    return !m_image.isNull();
}

bool ReportImage::loadData(const QByteArray& bytes) {
    m_image = QImage();
    if (bytes.isEmpty()) return false;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    m_image = reader.read();
    return !m_image.isNull();
}

// ---- Band ----

ReportText& ReportBand::addText(const QString& name, const QRectF& mm, const QString& text) {
    return add<ReportText>(name, mm, text);
}

ReportText& ReportBand::addField(const QString& name, const QRectF& mm, const QString& field,
                                 const QString& displayFormat) {
    ReportText& t = add<ReportText>(name, mm);
    t.setField(field);
    t.setDisplayFormat(displayFormat);
    return t;
}

ReportText& ReportBand::addMemo(const QString& name, const QRectF& mm, const QString& text) {
    ReportText& t = add<ReportText>(name, mm, text);
    t.setWordWrap(true);
    t.setAutoStretch(true);
    return t;
}

ReportSystemText& ReportBand::addSystemText(const QString& name, const QRectF& mm,
                                            ReportSystemText::Data data, const QString& caption) {
    return add<ReportSystemText>(name, mm, data, caption);
}

ReportRichText& ReportBand::addRichText(const QString& name, const QRectF& mm) {
    return add<ReportRichText>(name, mm);
}

ReportImage& ReportBand::addImage(const QString& name, const QRectF& mm) {
    return add<ReportImage>(name, mm);
}

ReportLine& ReportBand::addHLine(double xMm, double yMm, double widthMm, double thicknessMm,
                                 const QColor& color) {
    return add<ReportLine>(QString(), QRectF(xMm, yMm, widthMm, thicknessMm), Qt::Horizontal, thicknessMm,
                           color);
}

ReportLine& ReportBand::addVLine(double xMm, double yMm, double heightMm, double thicknessMm,
                                 const QColor& color) {
    return add<ReportLine>(QString(), QRectF(xMm, yMm, thicknessMm, heightMm), Qt::Vertical, thicknessMm,
                           color);
}

ReportShape& ReportBand::addRect(const QString& name, const QRectF& mm, const QColor& fill,
                                 const ReportFrame& frame) {
    return add<ReportShape>(name, mm, fill, frame);
}

ReportElement* ReportBand::find(const QString& name) const {
    for (const auto& e : m_elements)
        if (!name.isEmpty() && e->name() == name) return e.get();
    return nullptr;
}

ReportBand& ReportBand::addChild(const QString& name, double heightMm) {
    ReportBand* last = this;
    while (last->m_child)
        last = last->m_child.get();
    last->m_child = std::make_unique<ReportBand>(ReportBandKind::Child, name, heightMm);
    return *last->m_child;
}

// ---- Groups and sub-details ----

ReportBand& ReportGroup::addHeader(const QString& name, double heightMm) {
    m_header = std::make_unique<ReportBand>(ReportBandKind::GroupHeader, name, heightMm);
    return *m_header;
}

ReportBand& ReportGroup::addFooter(const QString& name, double heightMm) {
    m_footer = std::make_unique<ReportBand>(ReportBandKind::GroupFooter, name, heightMm);
    return *m_footer;
}

ReportSubDetail::ReportSubDetail(const QString& name, ReportSource* source, double heightMm)
    : m_source(source), m_band(std::make_unique<ReportBand>(ReportBandKind::SubDetail, name, heightMm)) {}

ReportBand& ReportSubDetail::addHeader(const QString& name, double heightMm) {
    m_header = std::make_unique<ReportBand>(ReportBandKind::SubDetailHeader, name, heightMm);
    return *m_header;
}

ReportBand& ReportSubDetail::addFooter(const QString& name, double heightMm) {
    m_footer = std::make_unique<ReportBand>(ReportBandKind::SubDetailFooter, name, heightMm);
    return *m_footer;
}

// ---- Record ----

bool ReportPrintedBand::has(const QString& element) const {
    for (const auto& [name, text] : texts)
        if (name == element) return true;
    return false;
}

QString ReportPrintedBand::text(const QString& element) const {
    for (const auto& [name, text] : texts)
        if (name == element) return text;
    return QString();
}

std::vector<const ReportPrintedBand*> ReportRecord::of(const QString& band) const {
    std::vector<const ReportPrintedBand*> out;
    for (const ReportPrintedBand& b : m_bands)
        if (b.band == band) out.push_back(&b);
    return out;
}

int ReportRecord::count(const QString& band) const {
    return static_cast<int>(of(band).size());
}

QStringList ReportRecord::texts(const QString& band, const QString& element) const {
    QStringList out;
    for (const ReportPrintedBand* b : of(band))
        out << b->text(element);
    return out;
}

QStringList ReportRecord::bandsOnPage(int page) const {
    QStringList out;
    for (const ReportPrintedBand& b : m_bands)
        if (b.page == page) out << b.band;
    return out;
}

QString ReportRecord::dump() const {
    QString out;
    for (const ReportPrintedBand& b : m_bands) {
        out += QStringLiteral("p%1-%2 %3%4 row %5 y %6 h %7:")
                   .arg(b.page)
                   .arg(b.lastPage)
                   .arg(b.band, b.repeated ? QStringLiteral(" (repetida)") : QString())
                   .arg(b.row)
                   .arg(b.topMm, 0, 'f', 1)
                   .arg(b.heightMm, 0, 'f', 1);
        for (const auto& [name, text] : b.texts)
            out += QStringLiteral(" %1=[%2]").arg(name, text.left(40));
        out += '\n';
    }
    return out;
}
