#include "platform/Cp1252.h"
#include "platform/Errors.h"
#include <QStringView>

namespace {
// Unicode of bytes 0x80-0x9F.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

namespace cp1252 {

int byteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c) return 0x80 + i;
    return -1;
}

QChar charOf(unsigned char b) {
    return (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
}

bool encodable(char32_t c) {
    return byteOf(c) >= 0;
}

qsizetype firstUnencodable(const QString& s) {
    for (qsizetype i = 0; i < s.size(); ++i) {
        const ushort u = s[i].unicode();
        if (u < 0x80) continue;
        if (!encodable(u)) return i;
    }
    return -1;
}

QByteArray encode(const QString& s) {
    QByteArray out;
    out.resize(s.size());
    char* p = out.data();
    for (qsizetype i = 0; i < s.size(); ++i) {
        const int b = byteOf(s[i].unicode());
        p[i] = static_cast<char>(b < 0 ? '?' : b);
    }
    return out;
}

QByteArray encodeVisible(const QString& s) {
    QByteArray out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        const int b = byteOf(c);
        if (b >= 0) {
            out.append(static_cast<char>(b));
            continue;
        }
        char32_t code = c;
        if (QChar::isHighSurrogate(c) && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            code = QChar::surrogateToUcs4(c, s.at(++i).unicode());
        out.append(QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper().toLatin1());
    }
    return out;
}

QString decode(const char* bytes, qsizetype n) {
    QString out(n, Qt::Uninitialized);
    QChar* p = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        p[i] = charOf(static_cast<unsigned char>(bytes[i]));
    }
    return out;
}

QString refusal(const QString& what, const QString& text, qsizetype at) {
    // A character outside the basic plane is shown whole, not as half a surrogate pair.
    QString ch = text.mid(at, text[at].isHighSurrogate() && at + 1 < text.size() ? 2 : 1);
    return QStringLiteral("%1 contém o caractere \"%2\", que não pode ser gravado. Use apenas letras, "
                          "números e símbolos do alfabeto latino.")
        .arg(what, ch);
}

QByteArray encodeChecked(const QString& s, const QString& what) {
    const qsizetype bad = firstUnencodable(s);
    if (bad >= 0) throw AppError(refusal(what, s, bad));
    return encode(s);
}

} // namespace cp1252
