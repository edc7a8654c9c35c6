#include "platform/RtfCodec.h"
#include "platform/RtfReader.h"

#include <QTextDocument>

namespace {

qsizetype firstNonBlank(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s[i].isSpace())
        ++i;
    return i;
}

} // namespace

bool RtfCodec::isRtf(const QString& text) {
    const qsizetype i = firstNonBlank(text);
    return QStringView(text).mid(i, 5) == QLatin1String("{\\rtf");
}

bool RtfCodec::isRtf(const QByteArray& bytes) {
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

void RtfCodec::read(const QString& rtf, QTextDocument& doc) {
    if (!isRtf(rtf)) {
        doc.setPlainText(rtf);
        return;
    }
    rtf::readDocument(rtf::unitsOf(rtf), doc);
}

void RtfCodec::read(const QByteArray& rtf, QTextDocument& doc) {
    if (!isRtf(rtf)) {
        doc.setPlainText(QString::fromUtf8(rtf));
        return;
    }
    rtf::readDocument(QString::fromLatin1(rtf), doc);
}

QString RtfCodec::plainText(const QString& rtf) {
    if (!isRtf(rtf)) return rtf;
    return rtf::readPlainText(rtf::unitsOf(rtf));
}
