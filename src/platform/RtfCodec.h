#pragma once
// Rich text between RTF and QTextDocument. The comment, observation and standing-text columns hold
// RTF because the other Windows applications of the shared database read and write them, so the
// stored form stays RTF and the editors and the report work on a QTextDocument.
//
// Lengths: a QTextDocument measures indents and paragraph spacing in pixels of a 96 dpi screen
// (what a QTextEdit shows), so one document unit is 15 twips.
#include <QByteArray>
#include <QFont>
#include <QString>

class QTextDocument;

class RtfCodec {
public:
    // True when the text is an RTF document ("{\rtf" after leading blanks).
    static bool isRtf(const QString& text);
    static bool isRtf(const QByteArray& bytes);

    // Replaces the document's content with the RTF text: character formats (font, size, bold,
    // italic, underline, strike-out, colours, super/subscript), paragraphs (alignment, indents,
    // spacing), bullets and numbered lists, line breaks and tabs. Text that is not RTF goes in as
    // plain text. Damaged, truncated or hostile input never throws: what could be read is shown.
    // The QString form takes the column's text as the data layer decodes it; characters above
    // U+007F are the document's own bytes in its code page (or beyond it, as themselves).
    static void read(const QString& rtf, QTextDocument& doc);
    static void read(const QByteArray& rtf, QTextDocument& doc);

    // Compact RTF in the shape Windows rich-edit controls write and read back with the same look:
    // a header with code page 1252, font and colour tables, \'hh for Windows-1252 characters and
    // \uN? beyond it. Fonts without a family take the document's default font.
    static QString write(const QTextDocument& doc);

    // The text of an RTF value without formatting, paragraphs separated by "\n"; a value that is
    // not RTF is returned as it is.
    static QString plainText(const QString& rtf);
    // An RTF document holding the text in the given font ("\n" separates paragraphs).
    static QString fromPlainText(const QString& text, const QFont& font = QFont(QStringLiteral("Arial"), 10));
};
