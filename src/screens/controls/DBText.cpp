#include "screens/controls/DBText.h"

DBText::DBText(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& name)
    : QLabel(parent), m_link([this](const DataEventInfo& e) {
          if (concernsField(e, m_link)) refresh();
      }) {
    m_link.setOwner(this);
    if (!name.isEmpty()) setObjectName(name);
    setTextFormat(Qt::PlainText);
    m_link.setFieldName(fieldName);
    setDataSource(ds);
}

void DBText::setDataSource(DataSource* ds) {
    m_link.setDataSource(ds);
    refresh();
}

void DBText::setDataField(const QString& fieldName) {
    m_link.setFieldName(fieldName);
    refresh();
}

void DBText::refresh() {
    Field* f = m_link.field();
    const QString t = f ? f->displayText() : QString();
    if (text() != t) setText(t);
}
