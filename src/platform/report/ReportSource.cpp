#include "platform/report/ReportSource.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>
#include <stdexcept>

namespace {

const QLocale& ptBR() {
    static const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    return locale;
}

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isWhole(const QVariant& v) {
    return isNumber(v) && v.typeId() != QMetaType::Double && v.typeId() != QMetaType::Float;
}

// One section of a numeric format, split into its parts.
struct NumberSection {
    QString prefix, suffix;
    int minInteger = 0;
    int minDecimals = 0, maxDecimals = 0;
    bool grouped = false;
    bool placeholders = false; // false: the section is a literal text ("zero")
};

NumberSection parseSection(const QString& s) {
    NumberSection out;
    // Literals in quotes are copied; placeholders run from the first to the last of "0#.,".
    QString literalFree;
    std::vector<bool> isLiteral;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == '"' || c == '\'') {
            const qsizetype end = s.indexOf(c, i + 1);
            const QString lit = s.mid(i + 1, end < 0 ? -1 : end - i - 1);
            for (QChar l : lit) {
                literalFree += l;
                isLiteral.push_back(true);
            }
            i = end < 0 ? s.size() : end;
        } else {
            literalFree += c;
            isLiteral.push_back(false);
        }
    }
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < literalFree.size(); ++i) {
        const QChar c = literalFree[i];
        if (!isLiteral[i] && (c == '0' || c == '#' || c == '.' || c == ',')) {
            if (first < 0) first = i;
            last = i;
        }
    }
    if (first < 0) {
        out.prefix = literalFree;
        return out;
    }
    out.placeholders = true;
    out.prefix = literalFree.left(first);
    out.suffix = literalFree.mid(last + 1);
    bool decimals = false;
    bool sawZero = false;
    for (qsizetype i = first; i <= last; ++i) {
        const QChar c = literalFree[i];
        if (isLiteral[i]) continue;
        if (c == '.') {
            if (decimals) continue;
            decimals = true;
        } else if (c == ',') {
            if (!decimals) out.grouped = true;
        } else if (!decimals) {
            // Every placeholder from the first "0" on is a forced integer digit.
            if (c == '0') sawZero = true;
            if (sawZero) ++out.minInteger;
        } else {
            ++out.maxDecimals;
            if (c == '0') out.minDecimals = out.maxDecimals;
        }
    }
    return out;
}

QString formatSection(double value, const NumberSection& sec) {
    if (!sec.placeholders) return sec.prefix;
    // Half up on the decimal value the number stands for: 2.675 is stored a hair below it.
    const double scale = std::pow(10.0, sec.maxDecimals);
    const double rounded = std::round(std::fabs(value) * scale + 1e-7) / scale;
    QString digits = QString::number(rounded, 'f', sec.maxDecimals);
    QString intPart = digits, decPart;
    const qsizetype dot = digits.indexOf('.');
    if (dot >= 0) {
        intPart = digits.left(dot);
        decPart = digits.mid(dot + 1);
    }
    while (decPart.size() > sec.minDecimals && decPart.endsWith('0'))
        decPart.chop(1);
    if (intPart == QLatin1String("0") && sec.minInteger == 0) intPart.clear();
    while (intPart.size() < sec.minInteger)
        intPart.prepend('0');
    if (sec.grouped) {
        const QString sep = ptBR().groupSeparator();
        for (qsizetype i = intPart.size() - 3; i > 0; i -= 3)
            intPart.insert(i, sep);
    }
    QString out = sec.prefix + intPart;
    if (!decPart.isEmpty()) out += ptBR().decimalPoint() + decPart;
    if (intPart.isEmpty() && decPart.isEmpty()) out += '0';
    return out + sec.suffix;
}

} // namespace

QString ReportSource::text(int row, const QString& field) const {
    return ReportFormat::text(value(row, field));
}

ReportTableSource::ReportTableSource(const QStringList& fields) {
    setFields(fields);
}

void ReportTableSource::setFields(const QStringList& fields) {
    m_fields = fields;
    m_index.clear();
    for (int i = 0; i < fields.size(); ++i)
        m_index.insert(fields[i].toUpper(), i);
    m_rows.clear();
}

int ReportTableSource::addRow(const QVariantList& values) {
    QVariantList row = values.mid(0, m_fields.size());
    while (row.size() < m_fields.size())
        row.append(QVariant());
    m_rows.push_back(std::move(row));
    return rowCount() - 1;
}

int ReportTableSource::indexOf(const QString& field) const {
    const auto it = m_index.constFind(field.toUpper());
    if (it == m_index.constEnd())
        throw std::out_of_range("Campo '" + field.toStdString() + "' não encontrado na fonte do relatório");
    return it.value();
}

void ReportTableSource::setValue(int row, const QString& field, const QVariant& value) {
    m_rows.at(static_cast<size_t>(row))[indexOf(field)] = value;
}

QVariant ReportTableSource::value(int row, const QString& field) const {
    const int col = indexOf(field);
    if (row < 0 || row >= rowCount()) return QVariant();
    return m_rows[static_cast<size_t>(row)][col];
}

namespace ReportFormat {

QString text(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QString();
    if (isWhole(v)) return QString::number(v.toLongLong());
    if (isNumber(v)) {
        QString s = ptBR().toString(v.toDouble(), 'f', 6);
        s.remove(ptBR().groupSeparator());
        if (s.contains(ptBR().decimalPoint())) {
            while (s.endsWith('0'))
                s.chop(1);
            if (s.endsWith(ptBR().decimalPoint())) s.chop(1);
        }
        return s;
    }
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("dd/MM/yyyy"))
                                        : dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("Sim") : QStringLiteral("Não");
    default:
        return v.toString();
    }
}

QString number(double value, const QString& pattern) {
    if (pattern.isEmpty()) return text(value);
    const QStringList sections = pattern.split(';');
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return formatSection(0, parseSection(sections[2]));
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return formatSection(value, parseSection(sections[1]));
    const NumberSection sec = parseSection(sections[0]);
    const QString s = formatSection(value, sec);
    // A negative value that still shows a digit other than zero gets its sign.
    const double scale = std::pow(10.0, sec.maxDecimals);
    if (value < 0 && std::round(std::fabs(value) * scale + 1e-7) != 0) return '-' + s;
    return s;
}

QString dateTime(const QDateTime& value, const QString& pattern) {
    QString out;
    const QString p = pattern;
    bool afterHour = false;
    for (qsizetype i = 0; i < p.size();) {
        const QChar c = p[i].toLower();
        qsizetype run = 1;
        while (i + run < p.size() && p[i + run].toLower() == c)
            ++run;
        if (c == '"' || c == '\'') {
            const qsizetype end = p.indexOf(p[i], i + 1);
            out += p.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? p.size() : end + 1;
            continue;
        }
        switch (c.unicode()) {
        case 'y':
            out += run >= 3 ? QString::number(value.date().year()).rightJustified(4, '0')
                            : QString::number(value.date().year() % 100).rightJustified(2, '0');
            break;
        case 'm':
            if (afterHour)
                out += QString::number(value.time().minute()).rightJustified(run >= 2 ? 2 : 1, '0');
            else
                out += QString::number(value.date().month()).rightJustified(run >= 2 ? 2 : 1, '0');
            break;
        case 'd':
            out += QString::number(value.date().day()).rightJustified(run >= 2 ? 2 : 1, '0');
            break;
        case 'h':
            out += QString::number(value.time().hour()).rightJustified(run >= 2 ? 2 : 1, '0');
            break;
        case 'n':
            out += QString::number(value.time().minute()).rightJustified(run >= 2 ? 2 : 1, '0');
            break;
        case 's':
            out += QString::number(value.time().second()).rightJustified(run >= 2 ? 2 : 1, '0');
            break;
        default:
            out += p.mid(i, run);
            break;
        }
        if (c == 'h')
            afterHour = true;
        else if (c.isLetter())
            afterHour = false;
        i += run;
    }
    return out;
}

QString format(const QVariant& v, const QString& pattern) {
    if (!v.isValid() || v.isNull()) return QString();
    if (pattern.isEmpty()) return text(v);
    if (isNumber(v)) return number(v.toDouble(), pattern);
    switch (v.typeId()) {
    case QMetaType::QDate:
        return dateTime(QDateTime(v.toDate(), QTime(0, 0)), pattern);
    case QMetaType::QTime:
        return dateTime(QDateTime(QDate(1899, 12, 30), v.toTime()), pattern);
    case QMetaType::QDateTime:
        return dateTime(v.toDateTime(), pattern);
    default:
        break;
    }
    // Numbers kept as text (exact decimals) format as numbers when they read as one.
    bool ok = false;
    const double d = v.toString().toDouble(&ok);
    return ok ? number(d, pattern) : v.toString();
}

} // namespace ReportFormat
