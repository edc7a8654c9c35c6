#include "data/Field.h"
#include "data/DataSet.h"
#include "platform/Cp1252.h"
#include <QLocale>

namespace {
QLocale ptBR() {
    return QLocale(QLocale::Portuguese, QLocale::Brazil);
}
} // namespace

Field::Field(DataSet* ds, int column, const QString& name, FieldKind kind)
    : m_ds(ds), m_column(column), m_name(name), m_kind(kind) {}

FieldClass Field::fieldClass() const {
    switch (m_kind) {
    case FieldKind::String:
    case FieldKind::FixedChar:
        return m_ds->fromDatabase() ? FieldClass::StringColumn : FieldClass::String;
    case FieldKind::SmallInt:
        return FieldClass::SmallInt;
    case FieldKind::Integer:
        return FieldClass::Integer;
    case FieldKind::LargeInt:
        return FieldClass::LargeInt;
    case FieldKind::Float:
    case FieldKind::Double:
        return FieldClass::Float;
    case FieldKind::BCD:
        return FieldClass::BCD;
    case FieldKind::Date:
        return FieldClass::Date;
    case FieldKind::Time:
        return FieldClass::Time;
    case FieldKind::DateTime:
        return FieldClass::DateTime;
    case FieldKind::Memo:
        return FieldClass::Memo;
    case FieldKind::Blob:
        return FieldClass::Blob;
    case FieldKind::Boolean:
        return FieldClass::Boolean;
    case FieldKind::Lookup:
        return FieldClass::Lookup;
    }
    return FieldClass::String;
}

bool Field::isNumeric() const {
    switch (m_kind) {
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
    case FieldKind::Float:
    case FieldKind::Double:
    case FieldKind::BCD:
        return true;
    default:
        return false;
    }
}

void Field::setLookup(const QString& keyFields, DataSet* list, const QString& listKey,
                      const QString& listResult) {
    m_keyFields = keyFields;
    m_lookupDs = list;
    m_lookupKey = listKey;
    m_lookupResult = listResult;
}

QVariant Field::value() const {
    if (isLookup()) {
        if (!m_lookupDs) return {};
        Field* key = m_ds->findField(m_keyFields);
        if (!key) return {};
        QVariant k = key->value();
        if (k.isNull()) return {};
        return m_lookupDs->lookup(m_lookupKey, k, m_lookupResult);
    }
    const char* rec = m_ds->activeBuffer();
    if (!rec) return {};
    return m_ds->columnValue(m_column, rec);
}

void Field::setValue(const QVariant& v) {
    if (isLookup()) {
        // Choosing a lookup value sets the key field to the list row's key.
        Field* key = m_ds->findField(m_keyFields);
        if (!key || !m_lookupDs) return;
        if (v.isNull()) {
            key->setValue(QVariant());
            return;
        }
        m_lookupDs->fetchAll();
        if (m_lookupDs->locate(m_lookupResult, v))
            key->setValue(m_lookupDs->fieldByName(m_lookupKey)->value());
        return;
    }
    m_ds->setColumnValue(m_column, v);
}

bool Field::isNull() const {
    return value().isNull();
}

QString Field::asString() const {
    QVariant v = value();
    if (v.isNull()) return QString();
    if (m_kind == FieldKind::Blob) return cp1252::decode(v.toByteArray());
    return v.toString();
}

int Field::asInteger() const {
    return value().toInt();
}
double Field::asFloat() const {
    return value().toDouble();
}
QDate Field::asDate() const {
    QVariant v = value();
    return v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
}
QDateTime Field::asDateTime() const {
    QVariant v = value();
    return v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
}
QByteArray Field::asBytes() const {
    QVariant v = value();
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray() : cp1252::encode(v.toString());
}

QVariant Field::oldValue() const {
    if (isLookup()) return value();
    return m_ds->oldColumnValue(m_column);
}

namespace {
// "dd/MM/yyyy" without a format to parse: lists and exports show many dates.
QString dataBR(const QDate& d) {
    if (!d.isValid() || d.year() < 1 || d.year() > 9999) return d.toString("dd/MM/yyyy");
    char16_t t[10];
    const auto dois = [&](int at, int n) {
        t[at] = static_cast<char16_t>(u'0' + n / 10);
        t[at + 1] = static_cast<char16_t>(u'0' + n % 10);
    };
    dois(0, d.day());
    t[2] = u'/';
    dois(3, d.month());
    t[5] = u'/';
    dois(6, d.year() / 100);
    dois(8, d.year() % 100);
    return QString(reinterpret_cast<const QChar*>(t), 10);
}
} // namespace

QString Field::formatValue(const Field& f, const QVariant& v) {
    if (v.isNull()) return QString();
    const QString& fmt = f.m_displayFormat;
    switch (f.m_kind) {
    case FieldKind::Date: {
        QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
        return fmt.isEmpty() ? dataBR(d) : d.toString(QString(fmt).replace("mm", "MM"));
    }
    case FieldKind::DateTime: {
        QDateTime dt = v.toDateTime();
        if (!fmt.isEmpty()) {
            QString q = fmt;
            q.replace("mm/", "MM/").replace("nn", "mm");
            return dt.toString(q);
        }
        return dt.time() == QTime(0, 0) ? dataBR(dt.date()) : dt.toString("dd/MM/yyyy hh:mm:ss");
    }
    case FieldKind::Time:
        return v.toTime().toString(fmt.isEmpty() ? "hh:mm:ss" : QString(fmt).replace("nn", "mm"));
    case FieldKind::BCD:
    case FieldKind::Float:
    case FieldKind::Double: {
        int decimals = -1;
        if (!fmt.isEmpty()) {
            int dot = fmt.indexOf('.');
            decimals = dot < 0 ? 0 : static_cast<int>(fmt.size() - dot - 1);
            bool grouped = fmt.contains(',');
            QString s = ptBR().toString(v.toDouble(), 'f', decimals);
            if (!grouped) s.remove(ptBR().groupSeparator());
            return s;
        }
        QString s = ptBR().toString(v.toDouble(), 'f', f.m_kind == FieldKind::BCD ? 4 : 6);
        // Without a format, drop trailing zeros as the platform's general format does.
        if (s.contains(',')) {
            while (s.endsWith('0'))
                s.chop(1);
            if (s.endsWith(',')) s.chop(1);
        }
        s.remove(ptBR().groupSeparator());
        return s;
    }
    case FieldKind::Blob:
        return QStringLiteral("(BLOB)");
    case FieldKind::Memo:
        return v.toString();
    case FieldKind::Boolean:
        return v.toBool() ? "True" : "False";
    default:
        return v.toString();
    }
}

QString Field::displayText() const {
    return formatValue(*this, value());
}
