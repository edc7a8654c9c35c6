#pragma once
// A drop-down over a long list (every person of the shared database, a hundred thousand rows on a
// large site): the list's rows are shown through a model over the list dataset, never copied into
// the combo, so reading the list again on each activation costs only its fetch.
//
// It behaves as DBLookupCombo for the field it is bound to: it shows the list's listField of the
// row whose keyField equals the field, and a choice (click, arrow keys) writes that key, putting
// the dataset into edit state first; a refused edit shows the field's key again. A key the list
// does not hold shows nothing.
#include "screens/controls/DataLink.h"
#include "screens/controls/ReadOnlyCombo.h"
#include <QAbstractListModel>
#include <QHash>
#include <memory>

class DBLongLookupCombo : public ReadOnlyCombo {
    Q_OBJECT
public:
    DBLongLookupCombo(QWidget* parent, DataSource* ds, const QString& fieldName, DataSet* list,
                      const QString& keyField, const QString& listField, const QString& name = QString());
    ~DBLongLookupCombo() override;

    Field* field() const { return m_link.field(); }
    // The key shown (null when none).
    QVariant keyValue() const { return m_key; }
    // Rows shown when dropped down.
    void setDropDownCount(int rows) { setMaxVisibleItems(std::max(1, rows)); }
    bool isReadOnly() const override;
    // Shows the field's key again.
    void refresh();

signals:
    void keyChanged();

private:
    class Model;
    void onEvent(const DataEventInfo& e);
    void onListEvent(const DataEventInfo& e);
    void onActivated(int row);
    int rowOf(const QVariant& key);

    FieldLink m_link;
    std::unique_ptr<DataSource> m_listSource;
    DataLink m_listLink;
    Model* m_model = nullptr;
    QString m_keyField, m_listField;
    QHash<QString, int> m_index; // key text -> row, built when first needed after a change
    bool m_indexDirty = true;
    bool m_busy = false;
    QVariant m_key;
};
