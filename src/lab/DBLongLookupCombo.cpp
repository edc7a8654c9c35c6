#include "lab/DBLongLookupCombo.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include <QListView>
#include <QSignalBlocker>

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

// The list's rows as the combo's items, read from the dataset when shown.
class DBLongLookupCombo::Model : public QAbstractListModel {
public:
    Model(QObject* parent, DataSource* lista, QString keyField, QString listField)
        : QAbstractListModel(parent), m_lista(lista), m_keyField(std::move(keyField)),
          m_listField(std::move(listField)) {}

    DataSet* lista() const { return m_lista ? m_lista->dataSet() : nullptr; }
    // The combo is going: its list source goes with it.
    void desliga() { m_lista = nullptr; }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        DataSet* l = lista();
        return parent.isValid() || !l || !l->active() ? 0 : l->recordCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        DataSet* l = lista();
        if (!index.isValid() || !l || !l->active() || index.row() >= l->recordCount()) return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole) {
            Field* f = l->findField(m_listField);
            return f ? Field::formatValue(*f, l->valueAt(index.row(), f)) : QString();
        }
        if (role == Qt::UserRole) return chave(index.row());
        return {};
    }
    QVariant chave(int row) const {
        DataSet* l = lista();
        Field* f = l ? l->findField(m_keyField) : nullptr;
        return f ? l->valueAt(row, f) : QVariant();
    }
    void recarrega() {
        beginResetModel();
        endResetModel();
    }

private:
    DataSource* m_lista;
    QString m_keyField, m_listField;
};

DBLongLookupCombo::DBLongLookupCombo(QWidget* parent, DataSource* ds, const QString& fieldName, DataSet* list,
                                     const QString& keyField, const QString& listField, const QString& name)
    : ReadOnlyCombo(parent), m_link([this](const DataEventInfo& e) { onEvent(e); }),
      m_listSource(std::make_unique<DataSource>()),
      m_listLink([this](const DataEventInfo& e) { onListEvent(e); }), m_keyField(keyField),
      m_listField(listField) {
    m_link.setOwner(this);
    if (!name.isEmpty()) setObjectName(name);
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    // The width never depends on the items: measuring them would read every row.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(10);
    auto* lista = new QListView(this);
    lista->setUniformItemSizes(true);
    setView(lista);
    m_model = new Model(this, m_listSource.get(), keyField, listField);
    setModel(m_model);
    m_listSource->setDataSet(list);
    m_listLink.setDataSource(m_listSource.get());
    m_link.setFieldName(fieldName);
    m_link.setDataSource(ds);
    connect(this, qOverload<int>(&QComboBox::activated), this,
            [this](int i) { guarded([&] { onActivated(i); }); });
    refresh();
}

DBLongLookupCombo::~DBLongLookupCombo() {
    // The model outlives the list source it reads (Qt deletes it with the combo's children).
    m_model->desliga();
}

bool DBLongLookupCombo::isReadOnly() const {
    Field* f = m_link.field();
    return !m_link.active() || !f || f->readOnly();
}

int DBLongLookupCombo::rowOf(const QVariant& key) {
    if (key.isNull()) return -1;
    if (m_indexDirty) {
        m_index.clear();
        const int n = m_model->rowCount();
        m_index.reserve(n);
        for (int r = 0; r < n; ++r) {
            const QString k = keyText(m_model->chave(r));
            if (!m_index.contains(k)) m_index.insert(k, r);
        }
        m_indexDirty = false;
    }
    return m_index.value(keyText(key), -1);
}

void DBLongLookupCombo::refresh() {
    Field* f = m_link.field();
    const QVariant key = f ? f->value() : QVariant();
    const int row = rowOf(key);
    const bool changed = keyText(key) != keyText(m_key) || key.isNull() != m_key.isNull();
    m_key = key;
    if (currentIndex() != row) {
        QSignalBlocker block(this);
        setCurrentIndex(row);
    }
    if (changed) emit keyChanged();
}

void DBLongLookupCombo::onEvent(const DataEventInfo& e) {
    if (m_busy || !concernsField(e, m_link)) return;
    refresh();
}

void DBLongLookupCombo::onListEvent(const DataEventInfo& e) {
    switch (e.kind) {
    case DataEvent::RowsReset:
    case DataEvent::RowsFetched:
    case DataEvent::RowInserted:
    case DataEvent::RowRemoved:
    case DataEvent::RowUpdated:
        m_indexDirty = true;
        {
            QSignalBlocker block(this);
            m_model->recarrega();
        }
        refresh();
        break;
    default:
        break;
    }
}

void DBLongLookupCombo::onActivated(int row) {
    const QVariant key = row >= 0 ? m_model->chave(row) : QVariant();
    guarded([&] {
        FlagScope busy(m_busy);
        if (isReadOnly()) throw SilentAbort();
        m_link.edit();
        Field* f = m_link.field();
        if (!f) throw SilentAbort();
        if (keyText(f->value()) != keyText(key) || f->isNull() != key.isNull()) f->setValue(key);
    });
    // Chosen or refused, the combo shows what the field holds now.
    refresh();
}
