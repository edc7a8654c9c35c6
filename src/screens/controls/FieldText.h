#pragma once
// The text a control edits for a field value, and the value a typed text stands for, in the
// Brazilian formats of the system (dates dd/MM/yyyy, decimal comma).
#include <QLocale>
#include <QString>
#include <QVariant>

class Field;

namespace fieldtext {

QLocale locale();

// Text while editing: the display text without digit grouping for numbers, the full date and
// time for date-times.
QString editText(const Field& f, const QVariant& v);

struct Parsed {
    bool ok = false;
    QVariant value; // null for an empty text
    QString error;  // the message for the user when !ok
};
// The value of a typed text for the field's kind. An empty (or blank) text is null.
Parsed parse(const Field& f, const QString& text);

// Whether two values of a field are the same (numbers compared as numbers).
bool sameValue(const QVariant& a, const QVariant& b);

// Characters a field of this kind accepts while typing (empty: any).
QString inputPattern(const Field& f);

} // namespace fieldtext
