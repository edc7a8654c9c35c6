#include "platform/Fonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>

#include <cstdlib>

int loadCompatibleFonts(const QString& folder) {
    int loaded = 0;
    const QDir dir(folder);
    for (const QString& file : dir.entryList(
             {QStringLiteral("tahoma*.ttf"), QStringLiteral("ms_sans_serif.ttf")}, QDir::Files, QDir::Name))
        if (QFontDatabase::addApplicationFont(dir.filePath(file)) >= 0) ++loaded;
    return loaded;
}

QFont fontForDialog(const QFont& current) {
    const QFontInfo shown(current);
    const QString family = QFontDatabase::hasFamily(current.family()) ? current.family() : shown.family();
    const bool italic = current.italic();
    const int weight = current.weight();
    QString best;
    int bestScore = 0;
    for (const QString& style : QFontDatabase::styles(family)) {
        // Oblique faces are slanted too, though the database does not call them italic.
        const bool styleItalic = QFontDatabase::italic(family, style) ||
                                 QFontDatabase::font(family, style, 10).style() != QFont::StyleNormal ||
                                 style.contains(QLatin1String("Oblique"), Qt::CaseInsensitive) ||
                                 style.contains(QLatin1String("Italic"), Qt::CaseInsensitive);
        const int styleWeight = QFontDatabase::weight(family, style);
        // The slant must match; then the closest weight, the plain face before a condensed one.
        int score = (styleItalic == italic ? 100000 : 0) - std::abs(styleWeight - weight) * 10;
        if (style.contains(QLatin1String("Condensed"), Qt::CaseInsensitive)) score -= 5;
        if (best.isEmpty() || score > bestScore) {
            best = style;
            bestScore = score;
        }
    }
    QFont font = current;
    font.setFamily(family);
    if (!best.isEmpty()) font.setStyleName(best);
    return font;
}
