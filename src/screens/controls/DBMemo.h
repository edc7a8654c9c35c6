#pragma once
// A multi-line plain text editor bound to a text blob (or text) field. It writes like DBEdit:
// every change while editing goes to the field; the first change while browsing enters edit
// state, and a refused edit shows the field's text again. A change that the column cannot hold
// (longer than its width, or a character outside the database's alphabet), typed or pasted, is
// undone with a message naming the field. Unbinding it (setDataSource(nullptr)) empties it.
#include "screens/controls/DataLink.h"
#include <QPlainTextEdit>

class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    DBMemo(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& name = QString());

    DataSource* dataSource() const { return m_link.dataSource(); }
    void setDataSource(DataSource* ds);
    const QString& dataField() const { return m_link.fieldName(); }
    void setDataField(const QString& fieldName);
    Field* field() const { return m_link.field(); }

    // The screen's read-only choice; see DBEdit::setReadOnly.
    void setReadOnly(bool readOnly);
    bool readOnlyOption() const { return m_readOnly; }

    void refresh();

private:
    void onEvent(const DataEventInfo& e);
    void onTextChanged();
    void show(const QString& text);

    FieldLink m_link;
    bool m_readOnly = false;
    bool m_busy = false;
    bool m_everBound = false;
};
