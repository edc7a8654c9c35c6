#pragma once
// Report images of the demo site, drawn with QPainter. Drawing text needs a QGuiApplication.
#include <QByteArray>
#include <QString>
#include <QStringList>

// Writes into `imagensDir` (created when missing) the images the reports open:
//   Logo_Cortivandela.jpg      the laboratory's logo: on the fill-in sheet, and heading the
//                              technical report when no company's header replaces it
//   Rodape_Cortivandela.jpg    page footer
//   Ass_Cortivandela.jpg       the responsible technician's signature
//   Fundo_Cortivandela.bmp     light background drawn in the middle of every page
//   Cabeçalho-do-Laudo-<code>.jpg and Rodapé-do-Laudo-<code>.jpg for each own company code.
// Throws AppError when the folder cannot be created or a file cannot be written.
void writeDemoImages(const QString& imagensDir, const QStringList& ownCompanyCodes);

// The same logo as JPEG bytes, as TAB_PARAMETRO.LOGO_EMPRESA stores it.
// Throws AppError when the JPEG encoder is not available.
QByteArray demoLogoJpeg();
