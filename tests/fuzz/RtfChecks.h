#pragma once
// What must hold for any input of the RTF reader, shared by the libFuzzer target and the corpus
// regression test: reading never fails, the plain-text reading agrees with the document, and
// whatever the writer makes of the document is 7-bit RTF that reads back to the same text.
#include "platform/RtfCodec.h"

#include <QByteArray>
#include <QString>
#include <QTextDocument>

namespace rtfchecks {

inline QString normalized(QString s) {
    s.replace(QChar::Nbsp, QLatin1Char(' '));
    s.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return s;
}

// Where two texts part, with the code points there, for a readable failure.
inline QString difference(const QString& a, const QString& b) {
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    auto at = [i](const QString& s) {
        return i < s.size() ? QStringLiteral("U+%1").arg(s[i].unicode(), 4, 16, QLatin1Char('0'))
                            : QStringLiteral("end");
    };
    return QStringLiteral("at %1: %2 vs %3 in [%4]").arg(i).arg(at(a), at(b), a.left(200));
}

// The writer's RTF is 7-bit and reads back to the document's text.
inline QString checkRoundTrip(const QTextDocument& doc, const QString& text) {
    const QString written = RtfCodec::write(doc);
    for (QChar c : written)
        if (c.unicode() >= 0x80) return QStringLiteral("the writer produced a character above 7 bits");
    QTextDocument back;
    RtfCodec::read(written, back);
    const QString again = normalized(back.toPlainText());
    if (again != text) return QStringLiteral("written RTF reads back differently ") + difference(again, text);
    return {};
}

// An empty text when every check holds, otherwise what failed.
inline QString check(const QByteArray& input) {
    QTextDocument doc;
    RtfCodec::read(input, doc);
    const QString text = normalized(doc.toPlainText());
    if (!RtfCodec::isRtf(input)) return {};
    // The data layer hands columns over as text; Latin-1 characters are the stored bytes.
    const QString plain = normalized(RtfCodec::plainText(QString::fromLatin1(input)));
    if (plain != text)
        return QStringLiteral("plain text differs from the document ") + difference(plain, text);
    if (QString f = checkRoundTrip(doc, text); !f.isEmpty()) return f;
    // The same input as a column holding characters beyond Windows-1252 (read as UTF-8).
    QTextDocument wide;
    RtfCodec::read(QString::fromUtf8(input), wide);
    return checkRoundTrip(wide, normalized(wide.toPlainText()));
}

} // namespace rtfchecks