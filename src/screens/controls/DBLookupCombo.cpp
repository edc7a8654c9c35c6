#include "screens/controls/DBLookupCombo.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"

namespace {

// Keys read from different columns compare by their text: 7, 7.0 and "7" are one key.
QString keyText(const QVariant& v) {
    if (v.isNull()) return QString();
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (d == static_cast<double>(static_cast<long long>(d)))
            return QString::number(static_cast<long long>(d));
    }
    return v.toString().trimmed();
}

} // namespace

DBLookupCombo::DBLookupCombo(QWidget* parent, DataSource* ds, const QString& fieldName, DataSet* list,
                             const QString& keyField, const QString& listField, const QString& name)
    : ReadOnlyCombo(parent), m_link([this](const DataEventInfo& e) { onEvent(e); }),
      m_listSource(std::make_unique<DataSource>()),
      m_listLink([this](const DataEventInfo& e) { onListEvent(e); }), m_list(list), m_keyField(keyField),
      m_listField(listField) {
    m_link.setOwner(this);
    if (!name.isEmpty()) setObjectName(name);
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(10);
    m_listLink.setDataSource(m_listSource.get());
    m_link.setFieldName(fieldName);
    connect(this, qOverload<int>(&QComboBox::activated), this,
            [this](int i) { guarded([&] { onActivated(i); }); });
    m_link.setDataSource(ds);
    if (ds) m_everBound = true;
    relinkList();
}

DBLookupCombo::~DBLookupCombo() = default;

void DBLookupCombo::setDataSource(DataSource* ds) {
    m_link.setDataSource(ds);
    if (ds) m_everBound = true;
    relinkList();
}

void DBLookupCombo::setDataField(const QString& fieldName) {
    m_link.setFieldName(fieldName);
    relinkList();
}

void DBLookupCombo::setListSource(DataSet* list, const QString& keyField, const QString& listField) {
    m_list = list;
    m_keyField = keyField;
    m_listField = listField;
    relinkList();
}

DataSet* DBLookupCombo::listDataSet() const {
    return effectiveList();
}

void DBLookupCombo::setEmptyText(const QString& text) {
    m_emptyText = text;
    m_dirty = true;
    refresh();
}

void DBLookupCombo::setDropDownCount(int rows) {
    setMaxVisibleItems(std::max(1, rows));
}

bool DBLookupCombo::isReadOnly() const {
    if (m_readOnly) return true;
    if (!m_everBound) return false;
    Field* t = keyTarget();
    return !m_link.active() || !t || t->readOnly();
}

Field* DBLookupCombo::keyTarget() const {
    Field* f = m_link.field();
    if (!f || !f->isLookup()) return f;
    return f->dataSet()->findField(f->keyFields());
}

DataSet* DBLookupCombo::wantedList() const {
    if (m_list) return m_list;
    Field* f = m_link.field();
    return f && f->isLookup() ? f->lookupDataSet() : nullptr;
}

// The list the items come from: the one linked, which the link forgets when it is destroyed.
DataSet* DBLookupCombo::effectiveList() const {
    return m_listSource->dataSet();
}

QString DBLookupCombo::effectiveKeyField() const {
    if (!m_keyField.isEmpty() || m_list) return m_keyField;
    Field* f = m_link.field();
    return f && f->isLookup() ? f->lookupKeyFields() : QString();
}

QString DBLookupCombo::effectiveListField() const {
    if (!m_listField.isEmpty() || m_list) return m_listField;
    Field* f = m_link.field();
    return f && f->isLookup() ? f->lookupResultField() : QString();
}

void DBLookupCombo::relinkList() {
    // A list destroyed before the combo (a screen's own query) is not linked again.
    if (m_list && m_list == m_linkedList && !m_listSource->dataSet()) m_list = nullptr;
    DataSet* list = wantedList();
    m_linkedList = list;
    if (m_listSource->dataSet() != list) m_listSource->setDataSet(list); // its RowsReset reloads
    m_dirty = true;
    refresh();
}

void DBLookupCombo::onListEvent(const DataEventInfo& e) {
    if (m_loading) return;
    switch (e.kind) {
    case DataEvent::RowsReset:
    case DataEvent::RowsFetched:
    case DataEvent::RowInserted:
    case DataEvent::RowRemoved:
    case DataEvent::RowUpdated:
        m_dirty = true;
        refresh();
        break;
    default:
        break;
    }
}

void DBLookupCombo::onEvent(const DataEventInfo& e) {
    if (m_busy || !concernsField(e, m_link)) return;
    // A reopened dataset has new fields: a bound lookup field may name another list. The list's
    // own events reload the items otherwise.
    if (e.kind == DataEvent::RowsReset && !m_list && m_listSource->dataSet() != wantedList()) {
        relinkList();
        return;
    }
    refresh();
}

void DBLookupCombo::reloadList() {
    FlagScope loading(m_loading);
    m_dirty = false;
    QSignalBlocker block(this);
    clear();
    m_index.clear();
    if (!m_emptyText.isEmpty()) addItem(m_emptyText, QVariant());
    DataSet* list = effectiveList();
    if (!list || !list->active()) return;
    list->fetchAll();
    Field* kf = list->findField(effectiveKeyField());
    Field* lf = list->findField(effectiveListField());
    if (!kf || !lf) return;
    const int n = list->recordCount();
    for (int r = 0; r < n; ++r) {
        const QVariant key = list->valueAt(r, kf);
        addItem(Field::formatValue(*lf, list->valueAt(r, lf)), key);
        const QString k = keyText(key);
        if (!m_index.contains(k)) m_index.insert(k, count() - 1);
    }
}

void DBLookupCombo::refresh() {
    if (m_dirty) reloadList();
    if (!m_everBound) {
        showKey(m_key);
        return;
    }
    Field* t = keyTarget();
    showKey(t ? t->value() : QVariant());
}

void DBLookupCombo::showKey(const QVariant& key) {
    int index = -1;
    if (key.isNull()) {
        if (!m_emptyText.isEmpty()) index = 0;
    } else {
        index = m_index.value(keyText(key), -1);
    }
    const bool changed = keyText(key) != keyText(m_key) || key.isNull() != m_key.isNull();
    m_key = key;
    if (currentIndex() != index) {
        QSignalBlocker block(this);
        setCurrentIndex(index);
    }
    if (changed) emit keyChanged();
}

void DBLookupCombo::onActivated(int index) {
    const QVariant key = index >= 0 ? itemData(index) : QVariant();
    if (!m_everBound) {
        showKey(key);
        return;
    }
    guarded([&] {
        FlagScope busy(m_busy);
        if (isReadOnly()) throw SilentAbort();
        m_link.edit();
        Field* t = keyTarget();
        if (!t) throw SilentAbort();
        if (keyText(t->value()) != keyText(key) || t->isNull() != key.isNull()) t->setValue(key);
    });
    // Chosen or refused, the combo shows what the field holds now.
    refresh();
}

void DBLookupCombo::setKeyValue(const QVariant& key) {
    if (!m_everBound) {
        if (m_dirty) reloadList();
        showKey(key);
        return;
    }
    {
        FlagScope busy(m_busy);
        Field* t = keyTarget();
        if (!t) return;
        m_link.edit();
        t = keyTarget();
        if (t) t->setValue(key);
    }
    refresh();
}

void DBLookupCombo::showPopup() {
    if (isReadOnly()) return;
    guarded([&] {
        if (m_dirty) refresh();
    });
    QComboBox::showPopup();
}
