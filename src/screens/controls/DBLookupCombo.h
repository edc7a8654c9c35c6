#pragma once
// A drop-down over a list dataset: it shows the list's listField and yields its keyField into
// the bound field. With an empty-entry text ("<Nenhuma>", "<TODOS>") that text is shown while
// the key is null and is offered as the first entry, which clears the key. A key that the list
// does not hold shows nothing. The items are read again whenever the list's rows change (the
// list reopened by a screen's activation, rows fetched, inserted, removed or changed).
//
// Bound to a lookup field of the dataset, the combo takes the field's list, key and result and
// writes the lookup's key field. Choosing an entry while the dataset browses enters edit state
// first; a refused edit shows the field's key again.
//
// Without a data source it is a free choice (the report screens' filters): keyValue() and
// setKeyValue() read and set the chosen key.
#include "screens/controls/DataLink.h"
#include "screens/controls/ReadOnlyCombo.h"
#include <QHash>
#include <memory>

class DBLookupCombo : public ReadOnlyCombo {
    Q_OBJECT
public:
    DBLookupCombo(QWidget* parent, DataSource* ds, const QString& fieldName, DataSet* list = nullptr,
                  const QString& keyField = QString(), const QString& listField = QString(),
                  const QString& name = QString());
    ~DBLookupCombo() override;

    DataSource* dataSource() const { return m_link.dataSource(); }
    void setDataSource(DataSource* ds);
    const QString& dataField() const { return m_link.fieldName(); }
    void setDataField(const QString& fieldName);
    Field* field() const { return m_link.field(); }

    void setListSource(DataSet* list, const QString& keyField, const QString& listField);
    DataSet* listDataSet() const;
    const QString& keyField() const { return m_keyField; }
    const QString& listField() const { return m_listField; }

    void setEmptyText(const QString& text);
    const QString& emptyText() const { return m_emptyText; }
    // Rows shown when dropped down.
    void setDropDownCount(int rows);
    int dropDownCount() const { return maxVisibleItems(); }

    // The key shown (null when none is chosen).
    QVariant keyValue() const { return m_key; }
    // Bound: changes the field as a choice of the user would (the refusal of the edit
    // propagates). Free: selects the entry of the key.
    void setKeyValue(const QVariant& key);

    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const override;

    // Takes the list's rows again (those read so far: the rest is read as far as a key, a move of
    // the choice, typing or the scrolled drop-down need).
    void reloadList();
    void refresh();

    void showPopup() override;

signals:
    // The key shown changed, by the user or by the data (the screens' "Change" handlers).
    void keyChanged();

protected:
    void antesDeEscolher(int alcance) override;
    void antesDeBuscar() override;
    int primeiraQueComeca(const QString& wanted, int from) override;

private:
    void onEvent(const DataEventInfo& e);
    void onListEvent(const DataEventInfo& e);
    void onActivated(int index);
    // The field the combo writes: the bound field, or the key field of a bound lookup field.
    Field* keyTarget() const;
    DataSet* wantedList() const;
    DataSet* effectiveList() const;
    QString effectiveKeyField() const;
    QString effectiveListField() const;
    void showKey(const QVariant& key);
    // The item of a key (the empty entry for null); reads the rest of the list when the key is
    // not among the rows read so far.
    int rowOf(const QVariant& key);
    void fetchWholeList();
    // Reads up to n more rows of a partly read list into the items, the choice kept; false when
    // there was nothing more to read.
    bool leMais(int n);
    // Brings the key index up to the rows read.
    void indexaLinhas();
    void relinkList();

    FieldLink m_link;
    std::unique_ptr<DataSource> m_listSource;
    DataLink m_listLink;
    DataSet* m_list = nullptr;       // the list given by the screen
    DataSet* m_linkedList = nullptr; // the list last linked
    QString m_keyField, m_listField, m_emptyText;
    QHash<QString, int> m_index; // normalized key -> item of the rows read, built as needed
    int m_indexadas = 0;         // rows of the list in m_index
    bool m_indexDirty = true;
    QVariant m_key;
    bool m_readOnly = false;
    bool m_busy = false;
    bool m_loading = false;
    bool m_dirty = true;
    bool m_everBound = false;
    class Model;
    Model* m_model = nullptr;
};
