#pragma once
// Rows for the report engine. A report reads its data through ReportSource: the in-memory
// ReportTableSource here, or the DataSet adapter of the data layer (data/DataSetReportSource.h).
// Rows are addressed by index, so the engine can compare a row with the next one to close groups.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

class ReportSource {
public:
    virtual ~ReportSource() = default;
    // Asked when the band that reads the source starts, so an event may refill it just before.
    virtual int rowCount() const = 0;
    // The value of a field (case-insensitive name) in a row; throws std::out_of_range naming a
    // field the source does not have.
    virtual QVariant value(int row, const QString& field) const = 0;
    // The value as the report shows it when the element gives no format of its own.
    virtual QString text(int row, const QString& field) const;
};

// Rows kept in memory: the report tables the report code assembles, and tests.
class ReportTableSource : public ReportSource {
public:
    ReportTableSource() = default;
    explicit ReportTableSource(const QStringList& fields);

    void setFields(const QStringList& fields);
    const QStringList& fields() const { return m_fields; }
    // Appends a row with the values in the order of the fields; missing values are null.
    int addRow(const QVariantList& values);
    void setValue(int row, const QString& field, const QVariant& value);
    void clear() { m_rows.clear(); }

    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    QVariant value(int row, const QString& field) const override;

private:
    int indexOf(const QString& field) const;
    QStringList m_fields;
    QHash<QString, int> m_index;
    std::vector<QVariantList> m_rows;
};

// Values as the reports show them, in Brazilian Portuguese.
namespace ReportFormat {
// A value without a format: whole numbers plainly, fractions with a decimal comma and without
// trailing zeros, dates dd/mm/yyyy, date-times with their time when it is not midnight.
QString text(const QVariant& value);
// A value with a display format in the notation of the report layouts: numbers with "0", "#",
// "," (digit groups), "." (decimal point), quoted literals and up to three sections
// "positive;negative;zero" ("###,###,#0.00" gives 1.234,50); dates and times with dd, mm, yyyy,
// yy, hh, nn (minutes; "mm" right after "hh" also means minutes) and ss. Null gives "".
QString format(const QVariant& value, const QString& pattern);
// A number with a numeric display format.
QString number(double value, const QString& pattern);
// A date or time with a date display format.
QString dateTime(const QDateTime& value, const QString& pattern);
} // namespace ReportFormat
