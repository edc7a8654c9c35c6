#pragma once
// Windows-1252 text, the encoding of the shared database's text (its ISO8859_1 connections keep
// bytes 0x80-0x9F as the Windows programs wrote them) and of the settings files. This is the
// one conversion between QString and those bytes: nothing is ever replaced by "?".
#include <QByteArray>
#include <QString>

namespace cp1252 {

// Whether the character has a Windows-1252 byte. The five bytes Windows leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for U+0081, U+008D, U+008F, U+0090 and U+009D, so any
// byte read from the database goes back unchanged.
bool encodable(char32_t c);
// The byte of one character, -1 when it has none.
int byteOf(char32_t c);
// The character of one byte.
QChar charOf(unsigned char b);
// Index of the first character of s without a Windows-1252 byte, -1 when there is none.
qsizetype firstUnencodable(const QString& s);
// The bytes of s; characters without a byte are not allowed (check with firstUnencodable).
QByteArray encode(const QString& s);
QString decode(const char* bytes, qsizetype n);
inline QString decode(const QByteArray& b) {
    return decode(b.constData(), b.size());
}

// The bytes of s for files meant to be read (logs): a character without a byte is written as
// "U+XXXX", visible and never a silent "?".
QByteArray encodeVisible(const QString& s);

// The refusal for a text that cannot be stored, naming what it was meant for:
// O campo "Nome" contém o caractere "日", que não pode ser gravado.
QString refusal(const QString& what, const QString& text, qsizetype at);
// encode(), or AppError with refusal(what, ...) when a character has no byte.
QByteArray encodeChecked(const QString& s, const QString& what);

} // namespace cp1252
