#include "platform/ScreenCapture.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace {
// True when every pixel has the same colour (what a platform without read-back returns).
bool uniform(const QImage& image) {
    if (image.isNull()) return true;
    const QRgb first = image.pixel(0, 0);
    const int stepX = std::max(1, image.width() / 64);
    const int stepY = std::max(1, image.height() / 64);
    for (int y = 0; y < image.height(); y += stepY)
        for (int x = 0; x < image.width(); x += stepX)
            if (image.pixel(x, y) != first) return false;
    return true;
}

QImage paintOwnWindows(const QRect& rect) {
    QImage image(rect.size(), QImage::Format_RGB32);
    image.fill(QColor(0x3a, 0x6e, 0xa5));
    QPainter painter(&image);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w->isMinimized()) continue;
        const QRect place = w->frameGeometry();
        if (!place.intersects(rect)) continue;
        painter.drawPixmap(w->geometry().topLeft() - rect.topLeft(), w->grab());
    }
    return image;
}
} // namespace

QImage captureScreenRect(const QRect& rect) {
    if (rect.isEmpty()) return {};
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect local = rect.translated(-screen->geometry().topLeft());
        QImage grabbed = screen->grabWindow(0, local.x(), local.y(), local.width(), local.height()).toImage();
        if (!uniform(grabbed)) return grabbed.convertToFormat(QImage::Format_RGB32);
    }
    return paintOwnWindows(rect);
}

QImage capturePrimaryScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    return captureScreenRect(area);
}
