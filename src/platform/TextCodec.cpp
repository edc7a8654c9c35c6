#include "platform/TextCodec.h"

namespace {
// Code points of the bytes 0x80-0x9F; 0 where the code page leaves the byte undefined (those
// bytes map to the C1 control of the same value, as Windows itself reads them).
const char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The byte of a character, or -1.
int byteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c) return 0x80 + i;
    if (c >= 0x80 && c <= 0x9F && kHigh[c - 0x80] == 0) return c;
    return -1;
}
} // namespace

bool isWindows1252(const QString& text, QChar* first) {
    for (QChar c : text) {
        if (byteOf(c.unicode()) < 0) {
            if (first) *first = c;
            return false;
        }
    }
    return true;
}

QByteArray toWindows1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const int b = byteOf(c);
        if (b >= 0) {
            out.append(static_cast<char>(b));
            continue;
        }
        char32_t code = c;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            code = QChar::surrogateToUcs4(c, text.at(++i).unicode());
        out.append(QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper().toLatin1());
    }
    return out;
}

QString fromWindows1252(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0)
            out.append(QChar(kHigh[b - 0x80]));
        else
            out.append(QChar(b));
    }
    return out;
}
