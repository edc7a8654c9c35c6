#pragma once
// Reading reports back with independent tools: pdftotext and pdfinfo (poppler-utils) for the text
// and page count of a PDF, pdftoppm for its pixels.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace reporttest {

inline QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return QStringLiteral("<%1 falhou>").arg(program);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of a PDF (or of one page, 1-based), laid out as on the page.
inline QString pdfText(const QString& pdf, int page = 0) {
    QStringList args{"-layout"};
    if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
    return run("pdftotext", args << pdf << "-");
}

// The text with runs of blanks made single, for phrases that layout may space out.
inline QString pdfWords(const QString& pdf, int page = 0) {
    return pdfText(pdf, page).simplified();
}

// With CTV_KEEP_REPORTS naming a folder, a test's PDF is copied there for a look.
inline void keep(const QString& pdf, const QString& name) {
    const QString dir = qEnvironmentVariable("CTV_KEEP_REPORTS");
    if (dir.isEmpty()) return;
    QFile::remove(dir + "/" + name);
    QFile::copy(pdf, dir + "/" + name);
}

inline int pdfPages(const QString& pdf) {
    for (const QString& line : run("pdfinfo", {pdf}).split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}

// A page of a PDF as an image at the given resolution, drawn by poppler.
inline QImage pdfPageImage(const QString& pdf, int page, int dpi, const QString& workDir) {
    const QString prefix = workDir + "/ppm";
    run("pdftoppm", {"-png", "-r", QString::number(dpi), "-f", QString::number(page), "-l",
                     QString::number(page), "-singlefile", pdf, prefix});
    return QImage(prefix + ".png");
}

} // namespace reporttest
