#include "data/DataSetReportSource.h"

#include "data/DataSet.h"
#include "data/Field.h"

#include <stdexcept>

int DataSetReportSource::rowCount() const {
    if (!m_ds.active()) return 0;
    m_ds.fetchAll();
    return m_ds.recordCount();
}

Field& DataSetReportSource::fieldOf(const QString& name) const {
    Field* f = m_ds.findField(name);
    if (!f)
        throw std::out_of_range("Campo '" + name.toStdString() + "' não encontrado em " +
                                m_ds.name().toStdString());
    return *f;
}

QVariant DataSetReportSource::value(int row, const QString& field) const {
    return m_ds.valueAt(row, &fieldOf(field));
}

QString DataSetReportSource::text(int row, const QString& field) const {
    const Field& f = fieldOf(field);
    return Field::formatValue(f, m_ds.valueAt(row, &f));
}
