// The font dialog opens on the style of the font it is given, also when the machine lacks the
// family (a substitute's first style can be "Oblique": confirming the dialog then turned the text
// italic), and Wine's Tahoma-compatible fonts are used when installed.
#include "platform/Fonts.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

QFont preselecionada(const QFont& atual) {
    QFontDialog d;
    d.setOption(QFontDialog::DontUseNativeDialog);
    d.setCurrentFont(fontForDialog(atual));
    return d.currentFont();
}

TEST(FontDialog, PreselectsTheWeightAndSlantOfTheCurrentFont) {
    const QString ausente = QStringLiteral("Familia Que Nao Existe");
    ASSERT_FALSE(QFontDatabase::hasFamily(ausente));
    const QFont normal = preselecionada(QFont(ausente, 10));
    EXPECT_FALSE(normal.italic()) << normal.styleName().toStdString();
    EXPECT_FALSE(normal.bold()) << normal.styleName().toStdString();
    EXPECT_EQ(normal.pointSize(), 10);
    const QFont negrito = preselecionada(QFont(ausente, 8, QFont::Bold));
    EXPECT_TRUE(negrito.bold());
    EXPECT_FALSE(negrito.italic());
    QFont inclinada(ausente, 12);
    inclinada.setItalic(true);
    EXPECT_TRUE(preselecionada(inclinada).italic());
    // A family the machine has keeps its name.
    const QFont dejavu = preselecionada(QFont("DejaVu Sans", 9));
    EXPECT_EQ(dejavu.family(), "DejaVu Sans");
    EXPECT_FALSE(dejavu.italic());
}

// Loading fonts changes the whole process: the check runs in a child of its own.
TEST(FontDialogDeathTest, WinesTahomaIsLoadedAndPreselectedWhenInstalled) {
    if (!QFileInfo::exists("/usr/share/wine/fonts/tahoma.ttf")) GTEST_SKIP() << "fonts-wine não instalado";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const bool carregou = loadCompatibleFonts() >= 2;
            const QFont f = preselecionada(QFont("Tahoma", 10));
            const bool ok = carregou && QFontDatabase::hasFamily("Tahoma") &&
                            QFontInfo(QFont("Tahoma", 10)).family() == "Tahoma" && f.family() == "Tahoma" &&
                            !f.italic() && !f.bold() &&
                            preselecionada(QFont("Tahoma", 10, QFont::Bold)).bold();
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
