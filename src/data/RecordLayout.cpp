#include "data/RecordLayout.h"
#include "data/FbStatus.h"
#include "platform/Cp1252.h"
#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>
#include <cmath>
#include <cstring>
#include <firebird/Interface.h>
#include <ibase.h>
#include <limits>

using namespace Firebird;

namespace {

constexpr int kJulianOffset = 2400001; // ISC_DATE 0 is 17 Nov 1858

FieldKind kindOf(unsigned type, int subType, int scale) {
    switch (type) {
    case SQL_TEXT:
        return FieldKind::FixedChar;
    case SQL_VARYING:
        return FieldKind::String;
    case SQL_SHORT:
        return scale < 0 ? FieldKind::BCD : FieldKind::SmallInt;
    case SQL_LONG:
        return scale < 0 ? FieldKind::BCD : FieldKind::Integer;
    case SQL_INT64:
        return scale < 0 ? FieldKind::BCD : FieldKind::LargeInt;
    case SQL_FLOAT:
        return FieldKind::Float;
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FieldKind::Double;
    case SQL_TYPE_DATE:
        return FieldKind::Date;
    case SQL_TYPE_TIME:
        return FieldKind::Time;
    case SQL_TIMESTAMP:
        return FieldKind::DateTime;
    case SQL_BLOB:
        return subType == 1 ? FieldKind::Memo : FieldKind::Blob;
    case SQL_BOOLEAN:
        return FieldKind::Boolean;
    default:
        return FieldKind::String;
    }
}

} // namespace

namespace codec {

QDate parseDateText(const QString& s) {
    // One valid date and nothing else: day first with slashes or dots (one or two digits for
    // day and month), or the ISO form. Two-digit years are read in 1950-2049.
    static const QRegularExpression dmy(QStringLiteral("^(\\d{1,2})([/.])(\\d{1,2})\\2(\\d{2}|\\d{4})$"));
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const QString t = s.trimmed();
    int y, m, d;
    if (auto r = dmy.match(t); r.hasMatch()) {
        d = r.captured(1).toInt();
        m = r.captured(3).toInt();
        y = r.captured(4).toInt();
        if (r.captured(4).size() == 2) y += y < 50 ? 2000 : 1900;
    } else if (auto i = iso.match(t); i.hasMatch()) {
        y = i.captured(1).toInt();
        m = i.captured(2).toInt();
        d = i.captured(3).toInt();
    } else {
        return {};
    }
    return QDate::isValid(y, m, d) ? QDate(y, m, d) : QDate();
}

NumberText parseNumberText(const QString& s) {
    // Digits grouped by dots in threes, or not grouped at all; a comma before the decimals.
    static const QRegularExpression form(
        QStringLiteral("^([+-]?)([0-9]{1,3}(?:\\.[0-9]{3})+|[0-9]*)(?:,([0-9]*))?$"));
    NumberText n;
    const auto m = form.match(s.trimmed());
    if (!m.hasMatch()) return n;
    QString whole = m.captured(2);
    whole.remove(QLatin1Char('.'));
    QString fraction = m.captured(3);
    if (whole.isEmpty() && fraction.isEmpty()) return n;
    n.negative = m.captured(1) == QLatin1String("-");
    n.whole = whole.isEmpty() ? QStringLiteral("0") : whole;
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    n.fraction = fraction;
    n.value =
        (m.captured(1) + n.whole + QLatin1Char('.') + (fraction.isEmpty() ? QStringLiteral("0") : fraction))
            .toDouble(&n.ok);
    return n;
}

QDateTime parseDateTimeText(const QString& s) {
    const QString t = s.trimmed();
    const qsizetype blank = t.indexOf(QLatin1Char(' '));
    const QString datePart = blank < 0 ? t : t.left(blank);
    QString timePart = blank < 0 ? QString() : t.mid(blank + 1).trimmed();
    QDate d = parseDateText(datePart);
    if (!d.isValid() && blank < 0 && t.contains(QLatin1Char('T'))) {
        d = parseDateText(t.section(QLatin1Char('T'), 0, 0));
        timePart = t.section(QLatin1Char('T'), 1);
    }
    if (!d.isValid()) return {};
    if (timePart.isEmpty()) return QDateTime(d, QTime(0, 0));
    QTime tm = QTime::fromString(timePart, QStringLiteral("h:mm:ss"));
    if (!tm.isValid()) tm = QTime::fromString(timePart, QStringLiteral("h:mm"));
    if (!tm.isValid()) tm = QTime::fromString(timePart, QStringLiteral("h:mm:ss.zzz"));
    return tm.isValid() ? QDateTime(d, tm) : QDateTime();
}

} // namespace codec

namespace {

QDateTime toDateTime(const QVariant& v) {
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime();
    if (v.typeId() == QMetaType::QDate) return QDateTime(v.toDate(), QTime(0, 0));
    return codec::parseDateTimeText(v.toString());
}

// A number given as text is read in the Brazilian form only (codec::parseNumberText).
double toNumber(const QVariant& v, bool* ok) {
    if (v.typeId() == QMetaType::QString) {
        const codec::NumberText n = codec::parseNumberText(v.toString());
        *ok = n.ok;
        return n.value;
    }
    if (v.typeId() == QMetaType::Bool) {
        *ok = true;
        return v.toBool() ? 1 : 0;
    }
    return v.toDouble(ok);
}

QString what(const ColumnLayout& c, const QString& label) {
    const QString name = label.isEmpty() ? c.name : label;
    return name.isEmpty() ? QStringLiteral("O valor") : QStringLiteral("O campo \"%1\"").arg(name);
}

QString shown(const QVariant& v) {
    if (v.typeId() == QMetaType::Double) return QString::number(v.toDouble(), 'g', 17);
    QString t = v.toString();
    return t.size() > 40 ? t.left(40) + QStringLiteral("...") : t;
}

[[noreturn]] void conversionError(const ColumnLayout& c, const QVariant& v, const QString& label,
                                  const QString& kind) {
    throw AppError(QStringLiteral("\"%1\" não é %2 para %3.")
                       .arg(shown(v), kind,
                            what(c, label).replace(QStringLiteral("O campo"), QStringLiteral("o campo"))));
}

[[noreturn]] void notANumber(const ColumnLayout& c, const QVariant& v, const QString& label) {
    conversionError(c, v, label,
                    v.typeId() == QMetaType::QString
                        ? QStringLiteral("um número válido (escreva-o como em 1.234,56: ponto para "
                                         "os milhares, vírgula para os decimais)")
                        : QStringLiteral("um número válido"));
}

[[noreturn]] void tooManyDecimals(const ColumnLayout& c, const QVariant& v, const QString& label) {
    throw AppError(QStringLiteral("%1 aceita no máximo %2 casas decimais (foi informado \"%3\").")
                       .arg(what(c, label))
                       .arg(-c.scale)
                       .arg(shown(v)));
}

[[noreturn]] void rangeError(const ColumnLayout& c, const QVariant& v, const QString& label) {
    throw AppError(QStringLiteral("%1 não aceita o valor %2: está fora do intervalo permitido.")
                       .arg(what(c, label), shown(v)));
}

[[noreturn]] void tooLong(const ColumnLayout& c, qsizetype actual, const QString& label) {
    throw AppError(QStringLiteral("%1 aceita no máximo %2 caracteres (foram informados %3).")
                       .arg(what(c, label))
                       .arg(c.length)
                       .arg(actual));
}

// Largest and smallest value of the integer storage of a column.
void storageRange(const ColumnLayout& c, long double& lo, long double& hi) {
    if (c.sqlType == SQL_SHORT) {
        lo = -32768.0L;
        hi = 32767.0L;
    } else if (c.sqlType == SQL_LONG) {
        lo = -2147483648.0L;
        hi = 2147483647.0L;
    } else {
        lo = -9223372036854775808.0L;
        hi = 9223372036854775807.0L;
    }
}

unsigned alignUp(unsigned v, unsigned a) {
    return (v + a - 1) / a * a;
}

} // namespace

int ColumnLayout::charSize() const {
    if (sqlType != SQL_TEXT && sqlType != SQL_VARYING) return 0;
    unsigned per = charSet == 4 ? 4 : charSet == 3 ? 3 : 1;
    return static_cast<int>(length / per);
}

int RecordLayout::indexOf(const QString& name) const {
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
}

RecordLayout RecordLayout::fromMetadata(IMessageMetadata* meta) {
    RecordLayout l;
    FbStatus st;
    unsigned n = meta->getCount(&st);
    for (unsigned i = 0; i < n; ++i) {
        ColumnLayout c;
        c.name = QString::fromLatin1(meta->getAlias(&st, i)); // identifiers are ASCII
        c.relation = QString::fromLatin1(meta->getRelation(&st, i));
        c.column = QString::fromLatin1(meta->getField(&st, i));
        c.sqlType = meta->getType(&st, i) & ~1u;
        c.subType = meta->getSubType(&st, i);
        c.scale = meta->getScale(&st, i);
        c.length = meta->getLength(&st, i);
        c.offset = meta->getOffset(&st, i);
        c.nullOffset = meta->getNullOffset(&st, i);
        c.charSet = meta->getCharSet(&st, i);
        c.nullable = meta->isNullable(&st, i);
        c.kind = kindOf(c.sqlType, c.subType, c.scale);
        l.columns.push_back(c);
    }
    l.size = meta->getMessageLength(&st);
    return l;
}

RecordLayout RecordLayout::build(const std::vector<std::tuple<QString, FieldKind, int>>& defs) {
    RecordLayout l;
    unsigned off = 0;
    for (const auto& [name, kind, size] : defs) {
        ColumnLayout c;
        c.name = name;
        c.kind = kind;
        unsigned align = 4;
        switch (kind) {
        case FieldKind::String:
        case FieldKind::FixedChar:
        case FieldKind::Lookup:
            c.sqlType = SQL_VARYING;
            c.length = static_cast<unsigned>(std::max(size, 1));
            c.charSet = 21;
            align = 2;
            break;
        case FieldKind::SmallInt:
            c.sqlType = SQL_SHORT;
            c.length = 2;
            align = 2;
            break;
        case FieldKind::Integer:
            c.sqlType = SQL_LONG;
            c.length = 4;
            break;
        case FieldKind::LargeInt:
            c.sqlType = SQL_INT64;
            c.length = 8;
            align = 8;
            break;
        case FieldKind::BCD:
            c.sqlType = SQL_INT64;
            c.length = 8;
            c.scale = -4;
            align = 8;
            break;
        case FieldKind::Float:
        case FieldKind::Double:
            c.sqlType = SQL_DOUBLE;
            c.length = 8;
            align = 8;
            break;
        case FieldKind::Date:
            c.sqlType = SQL_TYPE_DATE;
            c.length = 4;
            break;
        case FieldKind::Time:
            c.sqlType = SQL_TYPE_TIME;
            c.length = 4;
            break;
        case FieldKind::DateTime:
            c.sqlType = SQL_TIMESTAMP;
            c.length = 8;
            break;
        case FieldKind::Memo:
            c.sqlType = SQL_BLOB;
            c.subType = 1;
            c.length = 8;
            break;
        case FieldKind::Blob:
            c.sqlType = SQL_BLOB;
            c.length = 8;
            break;
        case FieldKind::Boolean:
            c.sqlType = SQL_BOOLEAN;
            c.length = 1;
            align = 1;
            break;
        }
        if (c.kind == FieldKind::Lookup) c.kind = FieldKind::String;
        off = alignUp(off, align);
        c.offset = off;
        off += c.length + (c.sqlType == SQL_VARYING ? 2 : 0);
        off = alignUp(off, 2);
        c.nullOffset = off;
        off += 2;
        l.columns.push_back(c);
    }
    l.size = alignUp(off, 8);
    return l;
}

namespace codec {

bool isNull(const ColumnLayout& c, const char* rec) {
    int16_t n;
    std::memcpy(&n, rec + c.nullOffset, 2);
    return n != 0;
}

void setNull(const ColumnLayout& c, char* rec, bool null) {
    int16_t n = null ? -1 : 0;
    std::memcpy(rec + c.nullOffset, &n, 2);
}

template <typename T> static T get(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <typename T> static void put(char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

static double scaled(int64_t v, int scale) {
    static const double pow10[] = {1,    10,   100,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    return static_cast<double>(v) / pow10[-scale];
}

QVariant decode(const ColumnLayout& c, const char* rec) {
    if (isNull(c, rec)) return QVariant();
    const char* p = rec + c.offset;
    switch (c.sqlType) {
    case SQL_VARYING: {
        uint16_t len = get<uint16_t>(p);
        return cp1252::decode(p + 2, len);
    }
    case SQL_TEXT: {
        int len = static_cast<int>(c.length);
        while (len > 0 && p[len - 1] == ' ')
            --len;
        return cp1252::decode(p, len);
    }
    case SQL_SHORT:
        return c.scale < 0 ? QVariant(scaled(get<int16_t>(p), c.scale)) : QVariant(int(get<int16_t>(p)));
    case SQL_LONG:
        return c.scale < 0 ? QVariant(scaled(get<int32_t>(p), c.scale)) : QVariant(get<int32_t>(p));
    case SQL_INT64:
        return c.scale < 0 ? QVariant(scaled(get<int64_t>(p), c.scale))
                           : QVariant(qlonglong(get<int64_t>(p)));
    case SQL_FLOAT:
        return double(get<float>(p));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return get<double>(p);
    case SQL_TYPE_DATE:
        return QDate::fromJulianDay(get<int32_t>(p) + kJulianOffset);
    case SQL_TYPE_TIME:
        return QTime::fromMSecsSinceStartOfDay(static_cast<int>(get<uint32_t>(p) / 10));
    case SQL_TIMESTAMP: {
        QDate d = QDate::fromJulianDay(get<int32_t>(p) + kJulianOffset);
        QTime t = QTime::fromMSecsSinceStartOfDay(static_cast<int>(get<uint32_t>(p + 4) / 10));
        return QDateTime(d, t);
    }
    case SQL_BOOLEAN:
        return bool(*p);
    default:
        return QVariant();
    }
}

void encode(const ColumnLayout& c, char* rec, const QVariant& v, const QString& label) {
    if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty() &&
                       c.sqlType != SQL_VARYING && c.sqlType != SQL_TEXT)) {
        setNull(c, rec, true);
        return;
    }
    char* p = rec + c.offset;
    bool ok = true;
    switch (c.sqlType) {
    case SQL_VARYING:
    case SQL_TEXT: {
        const QString text =
            v.typeId() == QMetaType::QByteArray ? cp1252::decode(v.toByteArray()) : v.toString();
        const QByteArray b = cp1252::encodeChecked(text, what(c, label));
        if (static_cast<unsigned>(b.size()) > c.length) tooLong(c, b.size(), label);
        if (c.sqlType == SQL_VARYING) {
            put<uint16_t>(p, static_cast<uint16_t>(b.size()));
            std::memcpy(p + 2, b.constData(), b.size());
        } else {
            std::memset(p, ' ', c.length);
            std::memcpy(p, b.constData(), b.size());
        }
        break;
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        long double lo, hi;
        storageRange(c, lo, hi);
        int64_t iv = 0;
        const bool text = v.typeId() == QMetaType::QString;
        const bool integral = v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong ||
                              v.typeId() == QMetaType::UInt || v.typeId() == QMetaType::ULongLong ||
                              v.typeId() == QMetaType::Short || v.typeId() == QMetaType::Bool;
        if (text) {
            // A number given as text is read exactly, digit by digit: never beyond the decimals
            // the column keeps, never through the precision of a double.
            const NumberText n = parseNumberText(v.toString());
            if (!n.ok) notANumber(c, v, label);
            if (n.fraction.size() > -c.scale) {
                if (c.scale == 0) conversionError(c, v, label, QStringLiteral("um número inteiro"));
                tooManyDecimals(c, v, label);
            }
            const QString digits = n.whole + n.fraction.leftJustified(-c.scale, QLatin1Char('0'));
            qlonglong stored = digits.toLongLong(&ok);
            if (!ok) rangeError(c, v, label);
            if (n.negative) stored = -stored;
            if (stored < lo || stored > hi) rangeError(c, v, label);
            iv = stored;
        } else if (c.scale == 0 && integral && v.typeId() != QMetaType::ULongLong &&
                   v.typeId() != QMetaType::Bool) {
            const qlonglong whole = v.toLongLong();
            if (whole < lo || whole > hi) rangeError(c, v, label);
            iv = whole;
        } else {
            ok = true;
            const double d = toNumber(v, &ok);
            if (!ok) notANumber(c, v, label);
            if (!std::isfinite(d)) rangeError(c, v, label);
            const long double scaledValue = static_cast<long double>(d) * std::pow(10.0L, -c.scale);
            const long double rounded = std::nearbyintl(scaledValue);
            if (c.scale == 0 && rounded != static_cast<long double>(d))
                conversionError(c, v, label, QStringLiteral("um número inteiro"));
            if (rounded < lo || rounded > hi) rangeError(c, v, label);
            iv = static_cast<int64_t>(rounded);
        }
        if (c.sqlType == SQL_SHORT)
            put<int16_t>(p, static_cast<int16_t>(iv));
        else if (c.sqlType == SQL_LONG)
            put<int32_t>(p, static_cast<int32_t>(iv));
        else
            put<int64_t>(p, iv);
        break;
    }
    case SQL_FLOAT: {
        const double d = toNumber(v, &ok);
        if (!ok) notANumber(c, v, label);
        if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) rangeError(c, v, label);
        put<float>(p, static_cast<float>(d));
        break;
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        const double d = toNumber(v, &ok);
        if (!ok) notANumber(c, v, label);
        if (!std::isfinite(d)) rangeError(c, v, label);
        put<double>(p, d);
        break;
    }
    case SQL_TYPE_DATE: {
        QDate d = v.typeId() == QMetaType::QDate       ? v.toDate()
                  : v.typeId() == QMetaType::QDateTime ? v.toDateTime().date()
                                                       : parseDateText(v.toString());
        if (!d.isValid()) conversionError(c, v, label, QStringLiteral("uma data válida"));
        put<int32_t>(p, static_cast<int32_t>(d.toJulianDay() - kJulianOffset));
        break;
    }
    case SQL_TYPE_TIME: {
        QTime t = v.typeId() == QMetaType::QTime       ? v.toTime()
                  : v.typeId() == QMetaType::QDateTime ? v.toDateTime().time()
                                                       : QTime::fromString(v.toString().trimmed(), "h:mm:ss");
        if (!t.isValid()) t = QTime::fromString(v.toString().trimmed(), "h:mm");
        if (!t.isValid()) conversionError(c, v, label, QStringLiteral("uma hora válida"));
        put<uint32_t>(p, static_cast<uint32_t>(t.msecsSinceStartOfDay()) * 10u);
        break;
    }
    case SQL_TIMESTAMP: {
        QDateTime dt = toDateTime(v);
        if (!dt.isValid()) conversionError(c, v, label, QStringLiteral("uma data e hora válida"));
        put<int32_t>(p, static_cast<int32_t>(dt.date().toJulianDay() - kJulianOffset));
        put<uint32_t>(p + 4, static_cast<uint32_t>(dt.time().msecsSinceStartOfDay()) * 10u);
        break;
    }
    case SQL_BOOLEAN:
        *p = v.toBool() ? 1 : 0;
        break;
    default:
        conversionError(c, v, label, QStringLiteral("um valor válido"));
    }
    setNull(c, rec, false);
}

BlobId blobId(const ColumnLayout& c, const char* rec) {
    if (isNull(c, rec)) return {};
    BlobId id;
    std::memcpy(static_cast<void*>(&id), rec + c.offset, 8);
    return id;
}

void setBlobId(const ColumnLayout& c, char* rec, BlobId id) {
    std::memcpy(rec + c.offset, &id, 8);
    setNull(c, rec, id.isNull());
}

bool sameValue(const ColumnLayout& c, const char* a, const char* b) {
    bool na = isNull(c, a), nb = isNull(c, b);
    if (na || nb) return na == nb;
    if (c.sqlType == SQL_VARYING) {
        uint16_t la = get<uint16_t>(a + c.offset), lb = get<uint16_t>(b + c.offset);
        return la == lb && std::memcmp(a + c.offset + 2, b + c.offset + 2, la) == 0;
    }
    return std::memcmp(a + c.offset, b + c.offset, c.length) == 0;
}

} // namespace codec
