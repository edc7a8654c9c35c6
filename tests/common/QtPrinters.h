#pragma once
// Readable GoogleTest failure output for Qt text types.
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
