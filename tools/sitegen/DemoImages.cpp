#include "sitegen/DemoImages.h"
#include "platform/Errors.h"
#include "sitegen/DemoCatalog.h"
#include <QBuffer>
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

// Sizes are in pixels at 10 pixels per millimetre, matching the boxes the reports print them in
// (the laboratory's logo 55.6 x 37.0 mm on the fill-in sheet, a company's header 189.4 x 20.9
// mm, footer 189.4 x 28.3 mm, signature 79.9 x 14.6 mm, background a quarter of an A4 page).

namespace {

const QColor kDeepBlue(11, 79, 138);
const QColor kTeal(26, 155, 184);
const QColor kGrey(90, 96, 104);
const QColor kMist(232, 244, 250);

QFont font(int pixels, bool bold = false, bool italic = false) {
    QFont f;
    f.setFamilies({"Arial", "Liberation Sans", "DejaVu Sans"});
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

// The largest font up to `pixels` in which `text` fits into `width`.
QFont fitted(const QString& text, int pixels, int width, bool bold = false, bool italic = false) {
    QFont f = font(pixels, bold, italic);
    while (pixels > 8 && QFontMetrics(f).horizontalAdvance(text) > width)
        f = font(--pixels, bold, italic);
    return f;
}

QImage canvas(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

// A water drop filling `r` (its width about two thirds of its height).
void drawDrop(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom) {
    const double cx = r.center().x(), w = r.width(), h = r.height(), x0 = r.left(), y0 = r.top();
    QPainterPath path;
    path.moveTo(cx, y0);
    path.cubicTo(cx + w * 0.12, y0 + h * 0.22, r.right(), y0 + h * 0.42, r.right(), y0 + h * 0.66);
    path.arcTo(QRectF(x0, y0 + h * 0.32, w, h * 0.68), 0, -180);
    path.cubicTo(x0, y0 + h * 0.42, cx - w * 0.12, y0 + h * 0.22, cx, y0);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
    // Highlight.
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawEllipse(QRectF(x0 + w * 0.22, y0 + h * 0.52, w * 0.18, h * 0.26));
}

void drawWaves(QPainter& p, const QRectF& r, const QColor& color, int count, double amplitude,
               double penWidth) {
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < count; ++k) {
        QPainterPath wave;
        const double y = r.top() + r.height() * (k + 1) / (count + 1);
        wave.moveTo(r.left(), y);
        for (double x = r.left(); x <= r.right(); x += 4)
            wave.lineTo(x, y + amplitude * std::sin((x - r.left()) / 90.0 + k * 0.9));
        QColor c = color;
        c.setAlpha(std::max(40, color.alpha() - k * 40));
        p.setPen(QPen(c, penWidth, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(wave);
    }
}

void save(const QImage& img, const QString& path, const char* format) {
    if (!img.save(path, format, 92))
        throw AppError("Não foi possível gravar a imagem " + QDir::toNativeSeparators(path) + ".");
}

struct Brand {
    QString nome;      // large title
    QString subtitulo; // under the title
    QString linha1;    // right-hand lines of the header
    QString linha2;
    QString rodape1; // footer lines
    QString rodape2;
};

Brand laboratoryBrand() {
    return {"HIDROLAB",
            "Análises de Águas e Fluidos",
            "Laboratório de análises físico-químicas e microbiológicas",
            "Campinas - SP   |   (19) 3251-4478",
            "Hidrolab Análises de Águas e Fluidos Ltda  -  Rua Barão de Mauá, 1450  -  Jardim Paulista  -  "
            "Campinas - SP  -  CEP 13070-120",
            "Fone (19) 3251-4478   -   laboratorio@hidrolab.com.br   -   www.hidrolab.com.br"};
}

Brand companyBrand(const QString& code) {
    for (const auto& e : demo::ownCompanies()) {
        if (code.trimmed() != e.codigo) continue;
        const auto& c = demo::cities()[e.cidade];
        return {e.razao,
                QString("Laudos técnicos de análises químicas  -  %1 - %2").arg(c.nome, c.uf),
                "Unidade " + code.trimmed(),
                QString("%1 - %2").arg(c.nome, c.uf),
                QString("%1  -  %2 - %3").arg(e.razao, c.nome, c.uf),
                "laboratorio@hidrolab.com.br   -   www.hidrolab.com.br"};
    }
    return {"Laboratório - Unidade " + code.trimmed(),
            "Análises de Águas e Fluidos",
            "Unidade " + code.trimmed(),
            "",
            "Laboratório de análises de águas e fluidos  -  Unidade " + code.trimmed(),
            ""};
}

QImage header(const Brand& b) {
    QImage img = canvas(1894, 209);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawWaves(p, QRectF(1100, 10, 794, 170), QColor(kMist.red(), kMist.green(), kMist.blue(), 255), 3, 12,
              10);
    drawDrop(p, QRectF(40, 14, 112, 170), kTeal, kDeepBlue);
    p.setPen(kDeepBlue);
    p.setFont(fitted(b.nome, 84, 1000, true));
    p.drawText(QRect(185, 10, 1000, 110), Qt::AlignLeft | Qt::AlignBottom, b.nome);
    p.setPen(kTeal);
    p.setFont(fitted(b.subtitulo, 38, 1000));
    p.drawText(QRect(188, 122, 1000, 60), Qt::AlignLeft | Qt::AlignVCenter, b.subtitulo);
    p.setPen(kGrey);
    p.setFont(fitted(b.linha1, 30, 640));
    p.drawText(QRect(1214, 40, 640, 50), Qt::AlignRight | Qt::AlignVCenter, b.linha1);
    p.setFont(fitted(b.linha2, 30, 640, true));
    p.drawText(QRect(1214, 100, 640, 50), Qt::AlignRight | Qt::AlignVCenter, b.linha2);
    QLinearGradient bar(0, 0, 1894, 0);
    bar.setColorAt(0, kDeepBlue);
    bar.setColorAt(1, kTeal);
    p.fillRect(QRect(0, 196, 1894, 9), bar);
    return img;
}

QImage footer(const Brand& b) {
    QImage img = canvas(1894, 283);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(QRect(0, 16, 1894, 4), kTeal);
    p.setPen(kGrey);
    p.setFont(fitted(b.rodape1, 30, 1800));
    p.drawText(QRect(47, 40, 1800, 50), Qt::AlignCenter, b.rodape1);
    p.setFont(fitted(b.rodape2, 30, 1800));
    p.drawText(QRect(47, 95, 1800, 50), Qt::AlignCenter, b.rodape2);
    const QString aviso = "Os resultados deste laudo referem-se somente às amostras analisadas.";
    p.setFont(fitted(aviso, 26, 1800, false, true));
    p.drawText(QRect(47, 150, 1800, 44), Qt::AlignCenter, aviso);
    p.setClipRect(QRect(0, 205, 1894, 78));
    drawWaves(p, QRectF(0, 195, 1894, 90), QColor(kTeal.red(), kTeal.green(), kTeal.blue(), 150), 2, 10, 8);
    return img;
}

QImage signature() {
    QImage img = canvas(799, 146);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 204, 210), 2));
    p.drawLine(80, 124, 719, 124);
    QPainterPath s;
    s.moveTo(190, 100);
    s.cubicTo(200, 20, 250, 15, 245, 70);
    s.cubicTo(240, 120, 215, 118, 230, 80);
    s.cubicTo(250, 30, 290, 40, 292, 92);
    s.cubicTo(296, 60, 320, 55, 330, 88);
    s.cubicTo(340, 110, 360, 70, 380, 75);
    s.cubicTo(400, 80, 395, 105, 420, 95);
    s.cubicTo(450, 82, 470, 40, 500, 60);
    s.cubicTo(520, 75, 505, 100, 540, 92);
    s.cubicTo(580, 82, 600, 70, 640, 78);
    QPainterPath flourish;
    flourish.moveTo(170, 112);
    flourish.cubicTo(300, 96, 480, 118, 660, 100);
    p.setPen(QPen(QColor(20, 40, 110), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(s);
    p.setPen(QPen(QColor(20, 40, 110), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(flourish);
    return img;
}

// Colours stay close to white: the page combines the background with the printed text by a
// bitwise AND, so anything darker would hide the text.
QImage background() {
    QImage img = canvas(1050, 990);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawWaves(p, QRectF(0, 640, 1050, 300), QColor(226, 240, 249), 3, 22, 28);
    drawDrop(p, QRectF(345, 120, 360, 540), QColor(241, 248, 253), QColor(224, 238, 248));
    p.setPen(QColor(228, 239, 247));
    p.setFont(font(120, true));
    p.drawText(QRect(0, 690, 1050, 200), Qt::AlignCenter, "HIDROLAB");
    return img;
}

QImage logo() {
    QImage img = canvas(556, 370);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawWaves(p, QRectF(20, 60, 516, 140), kMist, 3, 10, 10);
    drawDrop(p, QRectF(218, 18, 120, 180), kTeal, kDeepBlue);
    p.setPen(kDeepBlue);
    p.setFont(fitted("HIDROLAB", 86, 520, true));
    p.drawText(QRect(18, 200, 520, 100), Qt::AlignCenter, "HIDROLAB");
    p.setPen(kTeal);
    p.setFont(fitted("Análises de Águas e Fluidos", 32, 520));
    p.drawText(QRect(18, 296, 520, 50), Qt::AlignCenter, "Análises de Águas e Fluidos");
    return img;
}

} // namespace

void writeDemoImages(const QString& imagensDir, const QStringList& ownCompanyCodes) {
    QDir dir(imagensDir);
    if (!dir.mkpath("."))
        throw AppError("Não pode ser Criado o Diretório " + QDir::toNativeSeparators(imagensDir));
    const Brand lab = laboratoryBrand();
    save(logo(), dir.filePath("Logo_Cortivandela.jpg"), "JPG");
    save(footer(lab), dir.filePath("Rodape_Cortivandela.jpg"), "JPG");
    save(signature(), dir.filePath("Ass_Cortivandela.jpg"), "JPG");
    save(background(), dir.filePath("Fundo_Cortivandela.bmp"), "BMP");
    for (const QString& code : ownCompanyCodes) {
        const Brand b = companyBrand(code);
        save(header(b), dir.filePath("Cabeçalho-do-Laudo-" + code.trimmed() + ".jpg"), "JPG");
        save(footer(b), dir.filePath("Rodapé-do-Laudo-" + code.trimmed() + ".jpg"), "JPG");
    }
}

QByteArray demoLogoJpeg() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!logo().save(&buffer, "JPG", 92) || bytes.isEmpty())
        throw AppError("Não foi possível gerar o logotipo em JPEG (formato de imagem indisponível).");
    return bytes;
}
