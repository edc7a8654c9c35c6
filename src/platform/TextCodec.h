#pragma once
// Windows-1252 text for the files that the Windows peers of the shared folder read (the error
// log, the survey answers).
#include <QByteArray>
#include <QString>

// True when every character of text has a Windows-1252 byte; otherwise false, with the first
// character that has none in *first.
bool isWindows1252(const QString& text, QChar* first = nullptr);
// The Windows-1252 bytes of text. A character without a byte is written as "U+XXXX" (visible,
// never a silent "?").
QByteArray toWindows1252(const QString& text);
QString fromWindows1252(const QByteArray& bytes);
