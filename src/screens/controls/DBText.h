#pragma once
// A read-only label showing Field::displayText of the current record.
#include "screens/controls/DataLink.h"
#include <QLabel>

class DBText : public QLabel {
    Q_OBJECT
public:
    DBText(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& name = QString());

    DataSource* dataSource() const { return m_link.dataSource(); }
    void setDataSource(DataSource* ds);
    const QString& dataField() const { return m_link.fieldName(); }
    void setDataField(const QString& fieldName);
    Field* field() const { return m_link.field(); }

    void refresh();

private:
    FieldLink m_link;
};
