// The layout of a report's bands in one pass: measured heights, page breaks, bands that split
// across pages, repeated headings and the page numbers known only at the end.
#include "platform/report/ReportPage.h"

#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/RtfCodec.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QPageSize>
#include <QTextBlock>
#include <algorithm>
#include <cmath>

namespace reportlayout {

QPaintDevice* layoutDevice() {
    static QImage device = [] {
        QImage i(4, 4, QImage::Format_ARGB32_Premultiplied);
        i.setDotsPerMeterX(3780); // 96 dpi
        i.setDotsPerMeterY(3780);
        return i;
    }();
    return &device;
}

void ensureReportFonts() {
    static bool checked = false;
    if (checked) return;
    if (QFontDatabase::families().isEmpty())
        throw AppError(
            QStringLiteral("Nenhuma fonte está instalada neste computador, e um relatório sem fontes "
                           "sairia sem texto. Instale as fontes Liberation (pacote fonts-liberation2)."));
    const struct {
        const char* family;
        QStringList twins;
    } twins[] = {
        {"Arial", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
        {"Times New Roman", {"Liberation Serif", "Tinos", "DejaVu Serif"}},
        {"Courier New", {"Liberation Mono", "Cousine", "DejaVu Sans Mono"}},
        {"MS Sans Serif", {"Liberation Sans", "DejaVu Sans"}},
        {"Tahoma", {"DejaVu Sans", "Liberation Sans"}},
    };
    for (const auto& t : twins)
        if (!QFontDatabase::hasFamily(QLatin1String(t.family)))
            QFont::insertSubstitutions(QLatin1String(t.family), t.twins);
    checked = true;
}

QFont layoutFont(QFont f) {
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(true);
    return f;
}

QString withLineSeparators(QString s) {
    s.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    s.replace(QLatin1Char('\n'), QChar::LineSeparator);
    s.replace(QLatin1Char('\r'), QChar::LineSeparator);
    return s;
}

std::shared_ptr<QTextLayout> makeLayout(const QString& text, const QFont& font, Qt::Alignment align,
                                        bool wrap, double width) {
    auto layout = std::make_shared<QTextLayout>(withLineSeparators(text), font, layoutDevice());
    QTextOption opt;
    opt.setAlignment(align & Qt::AlignHorizontal_Mask);
    opt.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    opt.setUseDesignMetrics(true);
    layout->setTextOption(opt);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    double y = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(std::max(width, 1.0));
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    return layout;
}

double layoutHeight(const QTextLayout& l) {
    return l.lineCount() == 0 ? 0 : l.lineAt(l.lineCount() - 1).rect().bottom();
}

} // namespace reportlayout

using namespace reportlayout;

namespace {

struct Measured {
    ReportElement* element = nullptr;
    QRectF box; // band coordinates, layout units
    double growth = 0;
    bool splittable = false;
    std::vector<double> breaks; // band coordinates where the element may be cut
    // text
    std::shared_ptr<QTextLayout> layout;
    QPointF textOrigin; // band coordinates
    QString text;
    QColor color;
    // deferred page count
    bool deferred = false;
    // rich text
    std::shared_ptr<QTextDocument> doc;
};

struct MeasuredBand {
    ReportBand* band = nullptr;
    double height = 0;
    std::vector<Measured> items;
    bool splittable = false;
};

enum class Flow {
    PageTop, // page header chain: stacked at the top of the page, never moved
    Heading, // title and column header: moved to a new page when they do not fit
    Body,    // groups, details, summary
};

} // namespace

class ReportLayouter {
public:
    explicit ReportLayouter(ReportEngine& r) : m_r(r) {}

    void run() {
        const QSizeF paper = m_r.paperSizeMm();
        m_left = units(m_r.m_margins.left());
        m_width = units(m_r.printableWidthMm());
        m_top = units(m_r.m_margins.top());
        m_bottom = units(paper.height() - m_r.m_margins.bottom());

        ReportSource* src = m_r.m_source;
        // Bands outside the rows (page header, title) show the first row until rows print.
        m_row = src && src->rowCount() > 0 ? 0 : -1;
        startPage(true);
        if (m_r.m_title) printChain(*m_r.m_title, src, m_row, Flow::Heading);
        if (m_r.m_columnHeader) printChain(*m_r.m_columnHeader, src, m_row, Flow::Heading);
        m_contentTop = m_y;

        const int rows = src ? src->rowCount() : 1;
        const auto& groups = m_r.m_groups;
        m_repeats.assign(groups.size(), {});
        for (int row = 0; row < rows; ++row) {
            m_row = src ? row : -1;
            // The outermost group whose value changed opens again with all groups inside it.
            size_t changed = groups.size();
            for (size_t g = 0; g < groups.size(); ++g)
                if (row == 0 || groups[g]->valueAt(*src, row) != groups[g]->valueAt(*src, row - 1)) {
                    changed = g;
                    break;
                }
            for (size_t g = changed; g < groups.size(); ++g)
                m_repeats[g].clear();
            // A page begun while a group opens continues the groups around it (and what of
            // its own heading printed already); one begun while a row prints continues them all.
            for (size_t g = changed; g < groups.size(); ++g) {
                if (!groups[g]->header()) continue;
                m_repeatGroups = g + 1;
                m_opening = &m_repeats[g];
                printChain(*groups[g]->header(), src, m_row, Flow::Body);
                m_opening = nullptr;
            }
            m_repeatGroups = groups.size();
            if (m_r.m_detail) printChain(*m_r.m_detail, src, m_row, Flow::Body);
            for (const auto& sd : m_r.m_subDetails)
                printSubDetail(*sd);
            // Groups that end with this row close from the innermost outwards.
            size_t closing = groups.size();
            for (size_t g = 0; g < groups.size(); ++g)
                if (row + 1 == rows || groups[g]->valueAt(*src, row + 1) != groups[g]->valueAt(*src, row)) {
                    closing = g;
                    break;
                }
            // Footers continue only the groups that go on after them.
            m_repeatGroups = closing;
            for (size_t g = groups.size(); g-- > closing;) {
                m_repeats[g].clear();
                if (groups[g]->footer()) printChain(*groups[g]->footer(), src, m_row, Flow::Body);
            }
            m_repeatGroups = 0;
        }
        if (m_r.m_summary) printChain(*m_r.m_summary, src, m_row, Flow::Body);
        finishPage(true);
        resolveDeferred();
        m_r.m_record.setPageCount(static_cast<int>(m_r.m_pages.size()));
    }

private:
    // ---- pages ----

    void startPage(bool first) {
        ++m_page;
        m_r.m_pages.push_back(std::make_unique<ReportEngine::Page>());
        m_y = m_top;
        m_bodyOnPage = false;
        // Room for the page footer chain as designed.
        double reserve = 0;
        for (ReportBand* b = m_r.m_pageFooter.get(); b; b = b->child())
            if (b->enabled()) reserve += units(b->heightMm());
        m_limit = m_bottom - reserve;
        if (m_r.m_onStartPage) m_r.m_onStartPage(m_r, m_page);
        if (m_r.m_pageHeader && (!first || m_r.m_headerOnFirst))
            printChain(*m_r.m_pageHeader, m_r.m_source, m_row, Flow::PageTop);
        // Headings that do not fit under the page header print anyway: a new page would not help.
        m_contentTop = m_y;
        if (!first && m_r.m_columnHeader) printChain(*m_r.m_columnHeader, m_r.m_source, m_row, Flow::Heading);
        m_contentTop = m_y;
    }

    void finishPage(bool last) {
        if (!m_r.m_pageFooter || (last && !m_r.m_footerOnLast)) return;
        // The footer chain sits on the bottom margin: measure first, then place upwards.
        std::vector<MeasuredBand> chain;
        for (ReportBand* b = m_r.m_pageFooter.get(); b; b = b->child()) {
            if (!prepareBand(*b, m_r.m_source, m_row)) continue;
            chain.push_back(measure(*b, m_r.m_source, m_row));
        }
        double total = 0;
        for (const MeasuredBand& mb : chain)
            total += mb.height;
        double y = m_bottom - total;
        for (MeasuredBand& mb : chain) {
            emitSlice(mb, 0, mb.height, y, m_row, true);
            y += mb.height;
        }
    }

    void newPage() {
        finishPage(false);
        startPage(false);
        if (!m_repeating) printRepeats();
    }

    // The headings that repeat of the groups whose rows continue on this page, outermost
    // group first.
    void printRepeats() {
        FlagGuard repeating(m_repeating);
        for (size_t g = 0; g < m_repeatGroups && g < m_repeats.size(); ++g)
            for (ReportBand* b : m_repeats[g]) {
                if (!b->enabled()) continue;
                fillBound(*b, m_r.m_source, m_row);
                MeasuredBand mb = measure(*b, m_r.m_source, m_row);
                place(mb, m_row, Flow::Body);
            }
        m_contentTop = m_y;
    }

    struct FlagGuard {
        bool& flag;
        explicit FlagGuard(bool& f) : flag(f) { flag = true; }
        ~FlagGuard() { flag = false; }
    };

    // ---- bands ----

    void printChain(ReportBand& first, const ReportSource* src, int row, Flow flow) {
        for (ReportBand* b = &first; b; b = b->child()) {
            if (!prepareBand(*b, src, row)) continue;
            if (flow == Flow::Body && b->forceNewPage() && m_bodyOnPage) newPage();
            MeasuredBand mb = measure(*b, src, row);
            // A page that holds only headers would not do better: the band prints there.
            if (flow == Flow::Body && b->keepWithNextMm() > 0 && m_y > m_contentTop + kEps &&
                m_y + mb.height + units(b->keepWithNextMm()) > m_limit + kEps)
                newPage();
            place(mb, row, flow);
            if (m_opening && b->repeatOnNewPage()) m_opening->push_back(b);
        }
    }

    void printSubDetail(ReportSubDetail& sd) {
        const ReportSource* src = sd.source();
        const int rows = src ? src->rowCount() : 0;
        const bool headers = rows > 0 || sd.printIfEmpty() || sd.headersIfEmpty();
        if (headers && sd.header()) printChain(*sd.header(), src, rows > 0 ? 0 : -1, Flow::Body);
        if (rows == 0 && sd.printIfEmpty()) printChain(sd.band(), src, -1, Flow::Body);
        for (int r = 0; r < rows; ++r)
            printChain(sd.band(), src, r, Flow::Body);
        if (headers && sd.footer()) printChain(*sd.footer(), src, rows > 0 ? rows - 1 : -1, Flow::Body);
    }

    // Fills bound elements and runs the band's event; false when the band does not print.
    bool prepareBand(ReportBand& band, const ReportSource* src, int row) {
        if (!band.enabled()) return false;
        fillBound(band, src, row);
        if (band.beforePrint()) {
            ReportBandEvent ev{m_r, band, src, row, m_page};
            band.beforePrint()(ev);
            if (!ev.print) return false;
        }
        return band.enabled();
    }

    // Puts the row's values into the elements bound to fields.
    void fillBound(ReportBand& band, const ReportSource* src, int row) {
        for (const auto& e : band.elements()) {
            if (auto* t = dynamic_cast<ReportText*>(e.get()); t && !t->field().isEmpty()) {
                if (!src || row < 0) {
                    t->setText(QString());
                } else if (t->formatter()) {
                    t->setText(t->formatter()(src->value(row, t->field())));
                } else if (!t->displayFormat().isEmpty()) {
                    t->setText(ReportFormat::format(src->value(row, t->field()), t->displayFormat()));
                } else {
                    t->setText(src->text(row, t->field()));
                }
            } else if (auto* rt = dynamic_cast<ReportRichText*>(e.get()); rt && !rt->field().isEmpty()) {
                rt->setRtf(src && row >= 0 ? src->value(row, rt->field()).toString() : QString());
            }
        }
    }

    QString systemText(const ReportSystemText& s, int pageCount) const {
        const QString& f = s.valueFormat();
        QString value;
        switch (s.data()) {
        case ReportSystemText::Data::PageNumber:
            value = QString::number(m_page);
            break;
        case ReportSystemText::Data::PageCount:
            value = QString::number(pageCount);
            break;
        case ReportSystemText::Data::PageOfPages:
            value = (f.isEmpty() ? QStringLiteral("%1 de %2") : f).arg(m_page).arg(pageCount);
            break;
        case ReportSystemText::Data::Date:
            value = ReportFormat::dateTime(m_r.m_printedAt, f.isEmpty() ? QStringLiteral("dd/mm/yyyy") : f);
            break;
        case ReportSystemText::Data::Time:
            value = ReportFormat::dateTime(m_r.m_printedAt, f.isEmpty() ? QStringLiteral("hh:nn") : f);
            break;
        case ReportSystemText::Data::DateTime:
            value =
                ReportFormat::dateTime(m_r.m_printedAt, f.isEmpty() ? QStringLiteral("dd/mm/yyyy hh:nn") : f);
            break;
        }
        return s.text() + value;
    }

    void measureText(Measured& m, const ReportText& t, const QString& text) {
        m.text = text;
        m.color = t.color();
        const QFont font = layoutFont(t.font() ? *t.font() : m_r.m_font);
        m.layout = makeLayout(text, font, t.alignment(), t.wordWrap(), m.box.width());
        const double h = layoutHeight(*m.layout);
        if (t.autoStretch() && h > m.box.height()) m.box.setHeight(h);
        double dy = 0;
        if (t.alignment() & Qt::AlignVCenter) dy = (m.box.height() - h) / 2;
        if (t.alignment() & Qt::AlignBottom) dy = m.box.height() - h;
        m.textOrigin = QPointF(m.box.x(), m.box.y() + std::max(0.0, dy));
        if (t.autoStretch() && t.wordWrap()) {
            m.splittable = true;
            for (int i = 0; i < m.layout->lineCount(); ++i)
                m.breaks.push_back(m.textOrigin.y() + m.layout->lineAt(i).rect().bottom());
        }
    }

    void measureRich(Measured& m, const ReportRichText& r) {
        auto doc = std::make_shared<QTextDocument>();
        doc->setUndoRedoEnabled(false);
        doc->documentLayout()->setPaintDevice(layoutDevice());
        doc->setDefaultFont(layoutFont(r.font() ? *r.font() : m_r.m_font));
        doc->setDocumentMargin(0);
        doc->setUseDesignMetrics(true);
        RtfCodec::read(r.rtf(), *doc);
        doc->setTextWidth(m.box.width());
        const double h = doc->size().height();
        if (r.autoStretch() && h > m.box.height()) m.box.setHeight(h);
        m.text = doc->toPlainText();
        if (r.autoStretch()) {
            m.splittable = true;
            QAbstractTextDocumentLayout* dl = doc->documentLayout();
            for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
                const QRectF br = dl->blockBoundingRect(b);
                const QTextLayout* bl = b.layout();
                for (int i = 0; bl && i < bl->lineCount(); ++i)
                    m.breaks.push_back(m.box.y() + br.y() + bl->lineAt(i).rect().bottom());
                m.breaks.push_back(m.box.y() + br.bottom());
            }
        }
        m.doc = std::move(doc);
    }

    MeasuredBand measure(ReportBand& band, const ReportSource*, int) {
        MeasuredBand mb;
        mb.band = &band;
        double height = units(band.heightMm());
        for (const auto& e : band.elements()) {
            if (!e->visible()) continue;
            Measured m;
            m.element = e.get();
            m.box = units(e->rect());
            if (ReportElement* above = e->shiftWith()) {
                for (const Measured& prev : mb.items)
                    if (prev.element == above) m.box.translate(0, prev.growth);
            }
            const double designHeight = m.box.height();
            switch (e->kind()) {
            case ReportElement::Kind::Text:
                measureText(m, static_cast<ReportText&>(*e), static_cast<ReportText&>(*e).text());
                break;
            case ReportElement::Kind::System: {
                auto& s = static_cast<ReportSystemText&>(*e);
                m.deferred = s.needsPageCount();
                measureText(m, s, systemText(s, 999));
                break;
            }
            case ReportElement::Kind::RichText:
                measureRich(m, static_cast<ReportRichText&>(*e));
                break;
            case ReportElement::Kind::Image: {
                auto& img = static_cast<ReportImage&>(*e);
                m.text = img.image().isNull() ? QString() : QStringLiteral("[imagem]");
                break;
            }
            case ReportElement::Kind::Line:
            case ReportElement::Kind::Shape:
                break;
            }
            m.growth = m.box.height() - designHeight;
            mb.splittable = mb.splittable || m.splittable;
            if (!e->stretchToBand()) height = std::max(height, m.box.bottom());
            mb.items.push_back(std::move(m));
        }
        for (Measured& m : mb.items)
            if (m.element->stretchToBand()) m.box.setBottom(std::max(m.box.bottom(), height));
        mb.height = height;
        return mb;
    }

    // The lowest cut at or above limit (band coordinates) that cuts no element but between the
    // lines of a splittable one; lo when there is none.
    double chooseCut(const MeasuredBand& mb, double lo, double limit) const {
        std::vector<double> candidates;
        for (const Measured& m : mb.items) {
            candidates.insert(candidates.end(), m.breaks.begin(), m.breaks.end());
            candidates.push_back(m.box.top());
            candidates.push_back(m.box.bottom());
        }
        double best = lo;
        for (double c : candidates) {
            if (c <= lo + kEps || c > limit + kEps || c <= best) continue;
            bool ok = true;
            for (const Measured& m : mb.items) {
                const auto kind = m.element->kind();
                if (kind == ReportElement::Kind::Line || kind == ReportElement::Kind::Shape) continue;
                if (!(m.box.top() + kEps < c && c < m.box.bottom() - kEps)) continue;
                const bool atBreak =
                    m.splittable && std::any_of(m.breaks.begin(), m.breaks.end(),
                                                [c](double b) { return std::fabs(b - c) <= kEps; });
                if (!atBreak) {
                    ok = false;
                    break;
                }
            }
            if (ok) best = c;
        }
        return best;
    }

    void place(MeasuredBand& mb, int row, Flow flow) {
        size_t recordIndex = 0;
        if (flow == Flow::PageTop) {
            recordIndex = emitSlice(mb, 0, mb.height, m_y, row, true);
            m_y += mb.height;
        } else if (m_y + mb.height <= m_limit + kEps) {
            recordIndex = emitSlice(mb, 0, mb.height, m_y, row, true);
            m_y += mb.height;
        } else if (!mb.splittable ||
                   (mb.band->keepTogether() && mb.height <= m_limit - m_contentTop + kEps)) {
            if (m_y > m_contentTop + kEps) newPage();
            recordIndex = emitSlice(mb, 0, mb.height, m_y, row, true);
            m_y += mb.height;
        } else {
            double offset = 0;
            bool firstSlice = true;
            while (true) {
                const double space = m_limit - m_y;
                if (mb.height - offset <= space + kEps) {
                    const size_t index = emitSlice(mb, offset, mb.height, m_y, row, firstSlice);
                    if (firstSlice) recordIndex = index;
                    m_y += mb.height - offset;
                    break;
                }
                double cut = chooseCut(mb, offset, offset + space);
                if (cut <= offset + kEps) {
                    if (m_y > m_contentTop + kEps) {
                        newPage();
                        continue;
                    }
                    // Not even one line fits an empty page: cut through rather than loop.
                    cut = space > kEps ? offset + space : mb.height;
                }
                const size_t index = emitSlice(mb, offset, cut, m_y, row, firstSlice);
                if (firstSlice) recordIndex = index;
                firstSlice = false;
                m_y += cut - offset;
                offset = cut;
                if (offset >= mb.height - kEps) break;
                newPage();
            }
        }
        if (flow == Flow::Body) m_bodyOnPage = true;
        // The first slice wrote the record entry; the band ends on this page.
        m_r.m_record.at(recordIndex).lastPage = m_page;
    }

    // Draws the part [from, to) of a measured band at page position y. The first slice of a
    // band also writes its record entry and returns its index.
    size_t emitSlice(MeasuredBand& mb, double from, double to, double y, int row, bool first) {
        ReportEngine::Page& page = *m_r.m_pages.back();
        const bool whole = from <= kEps && to >= mb.height - kEps;
        const QRectF slice(m_left, y, m_width, to - from);
        const double dy = y - from;
        ReportBand& band = *mb.band;
        if (band.background().isValid()) page.items.push_back(fillItem(slice, band.background()));
        for (Measured& m : mb.items) {
            if (m.box.bottom() <= from + kEps || m.box.top() >= to - kEps) {
                if (!(m.box.height() <= kEps && m.box.top() >= from && m.box.top() < to)) continue;
            }
            const QRectF box = m.box.translated(m_left, dy);
            const QRectF clip = whole ? QRectF() : slice;
            addElementItems(page, m, box, clip, from, to, dy);
        }
        if (band.frame().any()) page.items.push_back(frameItem(slice, band.frame()));

        if (!first) return 0;
        ReportPrintedBand rec;
        rec.band = band.name();
        rec.kind = band.kind();
        rec.page = rec.lastPage = m_page;
        rec.row = row;
        rec.repeated = m_repeating;
        rec.topMm = mmOf(y);
        rec.heightMm = mmOf(mb.height);
        for (Measured& m : mb.items) {
            const auto kind = m.element->kind();
            if (kind == ReportElement::Kind::Line || kind == ReportElement::Kind::Shape) continue;
            if (m.deferred)
                m_deferredTexts.push_back({m_r.m_record.bands().size(), rec.texts.size(), m_page,
                                           static_cast<const ReportSystemText*>(m.element)});
            rec.texts.emplace_back(m.element->name(), m.text);
        }
        m_r.m_record.add(std::move(rec));
        return m_r.m_record.bands().size() - 1;
    }

    static PageItem fillItem(const QRectF& r, const QColor& c) {
        return PageItem(PageItem::Kind::Fill, r, QRectF(), c);
    }
    static PageItem frameItem(const QRectF& r, const ReportFrame& f) {
        PageItem it(PageItem::Kind::Frame, r, QRectF(), f.color);
        it.sides = f.sides;
        it.lineWidth = units(f.widthMm);
        return it;
    }

    void addElementItems(ReportEngine::Page& page, Measured& m, const QRectF& box, QRectF clip, double from,
                         double to, double dy) {
        ReportElement& e = *m.element;
        switch (e.kind()) {
        case ReportElement::Kind::Text:
        case ReportElement::Kind::System: {
            auto& t = static_cast<ReportText&>(e);
            if (t.background().isValid()) page.items.push_back(fillItem(box, t.background()));
            PageItem it(PageItem::Kind::Text, box, clip, m.color);
            if (t.clipping()) it.clip = it.clip.isNull() ? box : it.clip.intersected(box);
            it.layout = m.layout;
            it.origin = m.textOrigin + QPointF(m_left, dy);
            // Only the lines of this slice.
            it.firstLine = 0;
            it.endLine = m.layout->lineCount();
            if (clip.isValid()) {
                while (it.firstLine < it.endLine &&
                       m.textOrigin.y() + m.layout->lineAt(it.firstLine).rect().bottom() <= from + kEps)
                    ++it.firstLine;
                while (it.endLine > it.firstLine &&
                       m.textOrigin.y() + m.layout->lineAt(it.endLine - 1).rect().top() >= to - kEps)
                    --it.endLine;
            }
            if (m.deferred)
                m_deferredItems.push_back({m_r.m_pages.size() - 1, page.items.size(),
                                           static_cast<const ReportSystemText*>(m.element)});
            page.items.push_back(std::move(it));
            if (t.frame().any()) page.items.push_back(frameItem(box, t.frame()));
            break;
        }
        case ReportElement::Kind::RichText: {
            auto& r = static_cast<ReportRichText&>(e);
            PageItem it(PageItem::Kind::Rich, box, clip.isNull() ? box : clip.intersected(box), Qt::black);
            it.doc = m.doc;
            it.origin = box.topLeft();
            page.items.push_back(std::move(it));
            if (r.frame().any()) page.items.push_back(frameItem(box, r.frame()));
            break;
        }
        case ReportElement::Kind::Image: {
            auto& img = static_cast<ReportImage&>(e);
            if (!img.image().isNull()) {
                PageItem it(PageItem::Kind::Image, imageTarget(img, box), clip, Qt::black);
                if (img.fit() == ReportImage::Fit::Natural)
                    it.clip = clip.isNull() ? box : clip.intersected(box);
                it.image = img.image();
                page.items.push_back(std::move(it));
            }
            if (img.frame().any()) page.items.push_back(frameItem(box, img.frame()));
            break;
        }
        case ReportElement::Kind::Line: {
            auto& l = static_cast<ReportLine&>(e);
            page.items.emplace_back(PageItem::Kind::Fill, box, clip, l.color());
            break;
        }
        case ReportElement::Kind::Shape: {
            auto& s = static_cast<ReportShape&>(e);
            if (s.fill().isValid()) page.items.emplace_back(PageItem::Kind::Fill, box, clip, s.fill());
            if (s.frame().any()) {
                PageItem f = frameItem(box, s.frame());
                f.clip = clip;
                page.items.push_back(std::move(f));
            }
            break;
        }
        }
    }

    static QRectF imageTarget(const ReportImage& img, const QRectF& box) {
        const QSizeF size = img.image().size();
        switch (img.fit()) {
        case ReportImage::Fit::Stretch:
            return box;
        case ReportImage::Fit::KeepAspect: {
            const QSizeF s = size.scaled(box.size(), Qt::KeepAspectRatio);
            return QRectF(box.x() + (box.width() - s.width()) / 2, box.y() + (box.height() - s.height()) / 2,
                          s.width(), s.height());
        }
        case ReportImage::Fit::Natural: {
            const double dpmX = img.image().dotsPerMeterX() > 0 ? img.image().dotsPerMeterX() : 3780;
            const double dpmY = img.image().dotsPerMeterY() > 0 ? img.image().dotsPerMeterY() : 3780;
            return QRectF(box.topLeft(),
                          QSizeF(units(size.width() / dpmX * 1000), units(size.height() / dpmY * 1000)));
        }
        }
        return box;
    }

    // ---- page count, known only at the end ----

    // A page-count text drawn (item) or recorded (text) before the count was known.
    struct DeferredItem {
        size_t pageIndex, itemIndex;
        const ReportSystemText* element;
    };
    struct DeferredText {
        size_t recordIndex, textIndex;
        int page;
        const ReportSystemText* element;
    };

    void resolveDeferred() {
        const int count = static_cast<int>(m_r.m_pages.size());
        for (const DeferredItem& d : m_deferredItems) {
            PageItem& it = m_r.m_pages[d.pageIndex]->items[d.itemIndex];
            const ReportSystemText* s = d.element;
            m_page = static_cast<int>(d.pageIndex) + 1;
            const QString text = systemText(*s, count);
            it.layout = makeLayout(text, layoutFont(s->font() ? *s->font() : m_r.m_font), s->alignment(),
                                   s->wordWrap(), it.rect.width());
            it.firstLine = 0;
            it.endLine = it.layout->lineCount();
        }
        for (const DeferredText& d : m_deferredTexts) {
            m_page = d.page;
            m_r.m_record.at(d.recordIndex).texts[d.textIndex].second = systemText(*d.element, count);
        }
    }

    ReportEngine& m_r;
    double m_left = 0, m_width = 0, m_top = 0, m_bottom = 0;
    double m_y = 0, m_limit = 0, m_contentTop = 0;
    int m_page = 0;
    int m_row = -1;
    bool m_bodyOnPage = false;
    // Per group, the bands of its heading that repeat, as they printed when it opened; the
    // list being filled while a group opens.
    std::vector<std::vector<ReportBand*>> m_repeats;
    std::vector<ReportBand*>* m_opening = nullptr;
    size_t m_repeatGroups = 0; // the groups (outermost first) that continue on a new page
    bool m_repeating = false;
    std::vector<DeferredItem> m_deferredItems;
    std::vector<DeferredText> m_deferredTexts;
};

void ReportEngine::prepare() {
    if (m_prepared) return;
    ensureReportFonts();
    reset();
    m_printedAt = appClock().now();
    if (m_onStart) m_onStart(*this);
    ReportLayouter layouter(*this);
    try {
        layouter.run();
    } catch (...) {
        reset();
        throw;
    }
    m_prepared = true;
}
