// A laid-out report's pages drawn on a device: the preview, PDF and PNG files, a printer.
#include "platform/report/ReportPage.h"

#include "platform/Errors.h"
#include "platform/report/ReportPreview.h"

#include <QAbstractTextDocumentLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextBlock>
#include <algorithm>

using namespace reportlayout;

namespace {

// Draws the lines of a rich-text document that lie within a slice (document coordinates) and
// nothing else: a line drawn outside the slice, even clipped away, would still be text in a
// PDF, found twice by a search or a copy. Qt's layout, given a clip, draws from the last line
// above it, so a paragraph cut at the top of the slice has its remaining lines drawn one by
// one here, and the document's layout draws from below that paragraph on. Lines that only
// touch a slice's edge belong to the neighbouring slice.
void drawRichSlice(QPainter& p, QTextDocument& doc, const QRectF& slice) {
    QAbstractTextDocumentLayout* dl = doc.documentLayout();
    double restTop = slice.top();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QRectF br = dl->blockBoundingRect(b);
        if (br.bottom() <= slice.top() + kEps) continue;
        if (br.top() >= slice.top() - kEps) break;
        const QTextLayout* bl = b.layout();
        p.setPen(Qt::black);
        for (int i = 0; bl && i < bl->lineCount(); ++i) {
            const QTextLine line = bl->lineAt(i);
            const double middle = br.y() + line.rect().center().y();
            if (middle > slice.top() && middle < slice.bottom()) line.draw(&p, br.topLeft());
        }
        restTop = br.bottom();
        break;
    }
    const QRectF rest =
        QRectF(slice.left(), restTop, slice.width(), slice.bottom() - restTop).adjusted(0, 0.5, 0, -0.5);
    if (rest.height() <= 0) return;
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = rest;
    ctx.palette.setColor(QPalette::Text, Qt::black);
    dl->draw(&p, ctx);
}

} // namespace

void ReportEngine::paintPage(QPainter& p, int page) {
    prepare();
    if (page < 1 || page > static_cast<int>(m_pages.size())) return;
    const Page& pg = *m_pages[static_cast<size_t>(page - 1)];
    QPaintDevice* dev = p.device();
    p.save();
    p.scale(dev->logicalDpiX() / 96.0, dev->logicalDpiY() / 96.0);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    // Only the raster engine really combines colours with raster operations; the PDF engine
    // claims the feature but paints the picture over the page, so it gets the picture first.
    const QPaintEngine* engine = p.paintEngine();
    const bool rasterOps =
        engine && engine->type() == QPaintEngine::Raster && engine->hasFeature(QPaintEngine::RasterOpModes);
    const QRectF bgRect = units(m_backgroundRect);
    if (!m_background.isNull() && !rasterOps) p.drawImage(bgRect, m_background);

    for (const PageItem& it : pg.items) {
        const bool clipped = !it.clip.isNull();
        if (clipped) {
            p.save();
            p.setClipRect(it.clip, Qt::IntersectClip);
        }
        switch (it.kind) {
        case PageItem::Kind::Fill:
            p.fillRect(it.rect, it.color);
            break;
        case PageItem::Kind::Frame: {
            const QRectF& r = it.rect;
            const double w = std::min({it.lineWidth, r.width(), r.height() > 0 ? r.height() : it.lineWidth});
            if (it.sides & ReportFrame::Top) p.fillRect(QRectF(r.left(), r.top(), r.width(), w), it.color);
            if (it.sides & ReportFrame::Bottom)
                p.fillRect(QRectF(r.left(), r.bottom() - w, r.width(), w), it.color);
            if (it.sides & ReportFrame::Left) p.fillRect(QRectF(r.left(), r.top(), w, r.height()), it.color);
            if (it.sides & ReportFrame::Right)
                p.fillRect(QRectF(r.right() - w, r.top(), w, r.height()), it.color);
            break;
        }
        case PageItem::Kind::Text:
            p.setPen(it.color);
            for (int i = it.firstLine; i < it.endLine; ++i)
                it.layout->lineAt(i).draw(&p, it.origin);
            break;
        case PageItem::Kind::Rich: {
            p.save();
            p.translate(it.origin);
            const QRectF clip = it.clip.translated(-it.origin);
            p.setClipRect(clip, Qt::IntersectClip);
            drawRichSlice(p, *it.doc, clip);
            p.restore();
            break;
        }
        case PageItem::Kind::Image:
            p.drawImage(it.rect, it.image);
            break;
        }
        if (clipped) p.restore();
    }

    if (!m_background.isNull() && rasterOps) {
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(bgRect, m_background);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    p.restore();
}

void ReportEngine::writePdf(const QString& path) {
    prepare();
    QPdfWriter writer(path);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), m_orientation, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(m_caption);
    writer.setCreator(QStringLiteral("Nexmoro Cortivandela"));
    QPainter p;
    if (!p.begin(&writer))
        throw AppError(QStringLiteral("Não foi possível gravar o arquivo \"%1\".").arg(path));
    for (int i = 1; i <= pageCount(); ++i) {
        if (i > 1) writer.newPage();
        paintPage(p, i);
    }
    if (!p.end()) throw AppError(QStringLiteral("Não foi possível gravar o arquivo \"%1\".").arg(path));
}

QImage ReportEngine::renderPage(int page, int dpi) {
    prepare();
    const QSizeF mm = paperSizeMm();
    QImage img(qRound(mm.width() / 25.4 * dpi), qRound(mm.height() / 25.4 * dpi), QImage::Format_RGB32);
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    img.fill(Qt::white);
    QPainter p(&img);
    paintPage(p, page);
    return img;
}

void ReportEngine::writePng(const QString& path, int page, int dpi) {
    if (!renderPage(page, dpi).save(path, "PNG"))
        throw AppError(QStringLiteral("Não foi possível gravar o arquivo \"%1\".").arg(path));
}

void ReportEngine::print(QPrinter& printer) {
    prepare();
    // The layout first: setting a layout ends full-page mode, and the pages are paper-relative.
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), m_orientation, QMarginsF(0, 0, 0, 0)));
    printer.setFullPage(true);
    QPainter p;
    if (!p.begin(&printer)) throw AppError(QStringLiteral("Não foi possível iniciar a impressão."));
    const QPageRanges ranges = printer.pageRanges();
    bool first = true;
    for (int i = 1; i <= pageCount(); ++i) {
        if (!ranges.isEmpty() && !ranges.contains(i)) continue;
        if (!first) printer.newPage();
        first = false;
        paintPage(p, i);
    }
    p.end();
}

void ReportEngine::preview() {
    prepare();
    reportPreview().show(*this);
}
