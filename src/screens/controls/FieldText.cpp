#include "screens/controls/FieldText.h"
#include "data/DataSet.h"
#include "data/Field.h"
#include "platform/Cp1252.h"
#include "platform/Errors.h"
#include <QDate>
#include <QDateTime>
#include <limits>

namespace fieldtext {

QLocale locale() {
    return QLocale(QLocale::Portuguese, QLocale::Brazil);
}

QString editText(const Field& f, const QVariant& v) {
    if (v.isNull()) return QString();
    switch (f.kind()) {
    case FieldKind::Date:
        return f.formatValue(f, v);
    case FieldKind::DateTime: {
        QDateTime dt = v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString("dd/MM/yyyy") : dt.toString("dd/MM/yyyy hh:mm:ss");
    }
    case FieldKind::Time:
        return v.toTime().toString("hh:mm:ss");
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
        return QString::number(v.toLongLong());
    case FieldKind::Float:
    case FieldKind::Double:
    case FieldKind::BCD: {
        QString s = Field::formatValue(f, v);
        s.remove(locale().groupSeparator());
        return s;
    }
    default:
        return Field::formatValue(f, v);
    }
}

namespace {

Parsed fail(const QString& message) {
    return Parsed{false, QVariant(), message};
}
Parsed good(const QVariant& v) {
    return Parsed{true, v, QString()};
}

QDate parseDate(const QString& t) {
    // One real date, day first; the masked editor always gives four digits for the year.
    QDate d = codec::parseDateText(t);
    return d.isValid() && d.year() >= 1 ? d : QDate();
}

Parsed parseInteger(const Field& f, const QString& t) {
    // The Brazilian form, as every number: "1.000" is one thousand.
    const codec::NumberText n = codec::parseNumberText(t);
    bool ok = n.ok && n.fraction.isEmpty();
    qlonglong v = ok ? n.whole.toLongLong(&ok) : 0;
    if (n.negative) v = -v;
    long long lo = std::numeric_limits<long long>::min(), hi = std::numeric_limits<long long>::max();
    if (f.kind() == FieldKind::SmallInt)
        lo = -32768, hi = 32767;
    else if (f.kind() == FieldKind::Integer)
        lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    if (!ok || v < lo || v > hi) return fail(QString("'%1' não é um valor inteiro válido").arg(t));
    if (f.kind() == FieldKind::LargeInt) return good(v);
    return good(static_cast<int>(v));
}

Parsed parseNumber(const QString& t) {
    // Only the Brazilian form: "1.5" is not one and half to a user who writes "1,5".
    const codec::NumberText n = codec::parseNumberText(t);
    if (!n.ok) return fail(QString("'%1' não é um valor numérico válido").arg(t));
    return good(n.value);
}

} // namespace

Parsed parseKind(const Field& f, const QString& text);

Parsed parse(const Field& f, const QString& text) {
    Parsed p = parseKind(f, text);
    if (!p.ok || p.value.isNull() || f.column() < 0 || !f.dataSet()) return p;
    // The value must also fit the column as the database stores it: the range of its number
    // storage, its width, Windows-1252 text. The column's own check gives the message.
    const DataSet* ds = f.dataSet();
    const ColumnLayout& c = ds->layout().columns[static_cast<size_t>(f.column())];
    if (c.sqlType == 520 /* blob */) {
        if (p.value.typeId() == QMetaType::QString) {
            const QString s = p.value.toString();
            if (const qsizetype bad = cp1252::firstUnencodable(s); bad >= 0)
                return fail(cp1252::refusal(QStringLiteral("O campo \"%1\"").arg(f.displayLabel()), s, bad));
        }
        return p;
    }
    std::vector<char> scratch(std::max<size_t>(ds->layout().size, 8));
    try {
        // A number is checked as it was typed, so decimals the column cannot keep are refused
        // rather than rounded away.
        codec::encode(c, scratch.data(), f.isNumeric() ? QVariant(text.trimmed()) : p.value,
                      f.displayLabel());
    } catch (const AppError& e) {
        return fail(e.message());
    }
    return p;
}

Parsed parseKind(const Field& f, const QString& text) {
    const QString t = text.trimmed();
    switch (f.kind()) {
    case FieldKind::String:
    case FieldKind::FixedChar:
    case FieldKind::Memo:
    case FieldKind::Lookup:
        // An empty text is stored as null, so that required checks and "is null" conditions
        // see an emptied field as empty.
        return good(text.isEmpty() ? QVariant() : QVariant(text));
    case FieldKind::Blob:
        return good(text.isEmpty() ? QVariant() : QVariant(cp1252::encode(text)));
    default:
        break;
    }
    if (t.isEmpty()) return good(QVariant());
    switch (f.kind()) {
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
        return parseInteger(f, t);
    case FieldKind::Float:
    case FieldKind::Double:
    case FieldKind::BCD:
        return parseNumber(t);
    case FieldKind::Date: {
        QDate d = parseDate(t);
        return d.isValid() ? good(d) : fail(QStringLiteral("Data inválida"));
    }
    case FieldKind::DateTime: {
        const QDateTime dt = codec::parseDateTimeText(t);
        return dt.isValid() ? good(dt) : fail(QString("'%1' não é uma data e hora válida").arg(t));
    }
    case FieldKind::Time: {
        QTime tm = QTime::fromString(t, "h:mm:ss");
        if (!tm.isValid()) tm = QTime::fromString(t, "h:mm");
        return tm.isValid() ? good(tm) : fail(QString("'%1' não é uma hora válida").arg(t));
    }
    case FieldKind::Boolean: {
        const QString u = t.toUpper();
        if (u == "S" || u == "SIM" || u == "TRUE" || u == "1") return good(true);
        if (u == "N" || u == "NÃO" || u == "NAO" || u == "FALSE" || u == "0") return good(false);
        return fail(QString("'%1' não é um valor lógico válido").arg(t));
    }
    default:
        return good(text);
    }
}

bool sameValue(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return a.isNull() == b.isNull();
    bool na = false, nb = false;
    const bool numeric = a.typeId() != QMetaType::QString && b.typeId() != QMetaType::QString;
    if (numeric) {
        double x = a.toDouble(&na), y = b.toDouble(&nb);
        if (na && nb) return x == y;
    }
    if (a.typeId() == QMetaType::QDateTime || b.typeId() == QMetaType::QDateTime)
        return a.toDateTime() == b.toDateTime();
    return a == b;
}

QString inputPattern(const Field& f) {
    switch (f.kind()) {
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
        return QStringLiteral("-?[0-9.]*");
    case FieldKind::Float:
    case FieldKind::Double:
    case FieldKind::BCD:
        return QStringLiteral("-?[0-9.]*,?[0-9]*");
    case FieldKind::Date:
        return QStringLiteral("[0-9/]*");
    case FieldKind::DateTime:
        return QStringLiteral("[0-9/ :]*");
    case FieldKind::Time:
        return QStringLiteral("[0-9:]*");
    default:
        return QString();
    }
}

} // namespace fieldtext
