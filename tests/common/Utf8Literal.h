#pragma once
// Expected texts as QString: Qt 6.4 compares a QString with a long UTF-8 literal wrongly when
// the literal holds several accented letters.
#include <QString>
#include <cstddef>

inline QString operator""_q(const char* text, size_t size) {
    return QString::fromUtf8(text, qsizetype(size));
}
