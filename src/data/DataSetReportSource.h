#pragma once
// A DataSet as the rows of a report. All rows are fetched when the report asks how many there
// are; values are read by row index without moving the dataset's current record; texts follow
// the fields' display formats (dates dd/mm/yyyy, numbers with the field's format).
#include "platform/report/ReportSource.h"

class DataSet;
class Field;

class DataSetReportSource : public ReportSource {
public:
    explicit DataSetReportSource(DataSet& dataSet) : m_ds(dataSet) {}

    // 0 for a closed dataset.
    int rowCount() const override;
    // Throws std::out_of_range for a field the dataset does not have.
    QVariant value(int row, const QString& field) const override;
    QString text(int row, const QString& field) const override;

private:
    Field& fieldOf(const QString& name) const;
    DataSet& m_ds;
};
