#pragma once
// A check box bound to a flag field: ticked exactly when the field holds valueChecked ("S" by
// default, compared without case and blanks); a click writes valueChecked or valueUnchecked
// ("N"), entering edit state first. A refused edit puts the box back.
#include "screens/controls/DataLink.h"
#include <QCheckBox>

class DBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    DBCheckBox(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& caption = QString(),
               const QString& name = QString());

    DataSource* dataSource() const { return m_link.dataSource(); }
    void setDataSource(DataSource* ds);
    const QString& dataField() const { return m_link.fieldName(); }
    void setDataField(const QString& fieldName);
    Field* field() const { return m_link.field(); }

    const QString& valueChecked() const { return m_checked; }
    void setValueChecked(const QString& v);
    const QString& valueUnchecked() const { return m_unchecked; }
    void setValueUnchecked(const QString& v);

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly || (m_everBound && !m_link.canModify()); }

    void refresh();

protected:
    void nextCheckState() override;

private:
    void onEvent(const DataEventInfo& e);

    FieldLink m_link;
    QString m_checked = QStringLiteral("S");
    QString m_unchecked = QStringLiteral("N");
    bool m_readOnly = false;
    bool m_busy = false;
    bool m_everBound = false;
};
