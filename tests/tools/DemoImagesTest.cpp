// Report images of the demo site: the file names the reports open, in the formats they load.
#include "sitegen/DemoImages.h"
#include "platform/Errors.h"
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray formatOf(const QString& path) {
    return QImageReader(path).format();
}

TEST(DemoImages, WritesEveryImageTheReportsOpen) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = tmp.filePath("Dados/Imagens"); // created when missing
    writeDemoImages(dir, {"00001", " 00002 "});

    const QDir d(dir);
    EXPECT_EQ(formatOf(d.filePath("Logo_Cortivandela.jpg")), "jpeg");
    EXPECT_EQ(formatOf(d.filePath("Rodape_Cortivandela.jpg")), "jpeg");
    EXPECT_EQ(formatOf(d.filePath("Ass_Cortivandela.jpg")), "jpeg");
    EXPECT_EQ(formatOf(d.filePath("Fundo_Cortivandela.bmp")), "bmp");
    for (const char* code : {"00001", "00002"}) {
        EXPECT_EQ(formatOf(d.filePath(QString("Cabeçalho-do-Laudo-%1.jpg").arg(code))), "jpeg") << code;
        EXPECT_EQ(formatOf(d.filePath(QString("Rodapé-do-Laudo-%1.jpg").arg(code))), "jpeg") << code;
    }
    // The logo fills the fill-in sheet's 55.6 x 37.0 mm box, a company's header and the footer
    // the technical report's 189.4 mm wide boxes, without distortion.
    EXPECT_EQ(QImageReader(d.filePath("Logo_Cortivandela.jpg")).size(), QSize(556, 370));
    EXPECT_EQ(QImageReader(d.filePath("Cabeçalho-do-Laudo-00001.jpg")).size(), QSize(1894, 209));
    EXPECT_EQ(QImageReader(d.filePath("Rodape_Cortivandela.jpg")).size(), QSize(1894, 283));
}

TEST(DemoImages, LogoIsAJpegImage) {
    QByteArray bytes = demoLogoJpeg();
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "jpeg");
    const QImage img = reader.read();
    EXPECT_FALSE(img.isNull());
    EXPECT_GT(img.width(), img.height());
}

TEST(DemoImages, UnwritableFolderIsReported) {
    QTemporaryDir tmp;
    QFile blocker(tmp.filePath("Imagens"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    EXPECT_THROW(writeDemoImages(tmp.filePath("Imagens"), {"00001"}), AppError);
}

} // namespace
