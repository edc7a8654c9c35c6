#include "screens/controls/DBLookupCombo.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include <QAbstractListModel>
#include <QListView>
#include <QSignalBlocker>

// The items of the combo: the empty entry, when there is one, and the list's rows read straight
// from the list dataset, never copied, so a list of a hundred thousand people costs only its
// fetch. The row count is taken when the list is read again (reloadList) and grows as the
// drop-down is scrolled or typed into (leMais).
namespace {
// Rows a list reads before a key beyond them is looked up by itself, and a page of the drop-down.
constexpr int kPrimeiraPagina = 100;
// Rows typing reads at a time while no entry begins with what was typed.
constexpr int kPartePesquisa = 1000;
} // namespace

class DBLookupCombo::Model : public QAbstractListModel {
public:
    explicit Model(DBLookupCombo* combo) : QAbstractListModel(combo), m_combo(combo) {}

    // The combo is going: nothing is read through it any more.
    void desliga() { m_combo = nullptr; }
    void recarrega(DataSet* lista, Field* chave, Field* texto, const QString& vazio) {
        beginResetModel();
        m_lista = lista;
        m_chave = chave;
        m_texto = texto;
        m_vazio = vazio;
        m_linhas = lista && chave && texto ? lista->recordCount() : 0;
        m_extra = false;
        m_extraChave = QVariant();
        m_extraTexto.clear();
        // What tells apart two rows of the same name: the list's first other column (a code,
        // a state), or else the key.
        m_outro = nullptr;
        if (m_linhas > 0) {
            for (const auto& f : lista->fields())
                if (f.get() != chave && f.get() != texto && !f->isLookup()) {
                    m_outro = f.get();
                    break;
                }
            if (!m_outro) m_outro = chave;
        }
        endResetModel();
    }
    // The row of a key the list has not read yet, found by its key: shown after the rows read
    // until the list is read whole. Returns its row.
    int mostraExtra(const QVariant& chave, const QVariant& valor) {
        const QString texto = m_texto ? Field::formatValue(*m_texto, valor) : valor.toString();
        const int row = primeira() + m_linhas;
        if (!m_extra) {
            beginInsertRows(QModelIndex(), row, row);
            m_extra = true;
            m_extraChave = chave;
            m_extraTexto = texto;
            endInsertRows();
        } else {
            m_extraChave = chave;
            m_extraTexto = texto;
            emit dataChanged(index(row), index(row));
        }
        return row;
    }
    // The rows the list has read since the last reload or growth, shown after the others: a
    // view keeps its place and the choice its entry.
    void cresce() {
        if (!viva()) return;
        const int n = m_lista->recordCount();
        if (n > m_linhas) {
            beginInsertRows(QModelIndex(), primeira() + m_linhas, primeira() + n - 1);
            const int ultima = primeira() + m_linhas - 1;
            m_linhas = n;
            endInsertRows();
            // The former last row may have a neighbour of its name now.
            if (ultima >= primeira()) emit dataChanged(index(ultima), index(ultima));
        }
    }
    // The key shown after the rows read goes: they hold it now, or the list is read whole.
    void tiraExtra() {
        if (!m_extra) return;
        const int row = primeira() + m_linhas;
        beginRemoveRows(QModelIndex(), row, row);
        m_extra = false;
        m_extraChave = QVariant();
        m_extraTexto.clear();
        endRemoveRows();
    }
    int primeira() const { return m_vazio.isEmpty() ? 0 : 1; }
    int linhasLidas() const { return m_linhas; }
    // The row shown after the rows read for a key beyond them, -1 when there is none.
    int linhaExtra() const { return m_extra ? primeira() + m_linhas : -1; }
    const QVariant& chaveExtra() const { return m_extraChave; }
    QVariant chave(int row) const {
        const int r = row - primeira();
        if (m_extra && r == m_linhas) return m_extraChave;
        return r >= 0 && r < m_linhas && viva() ? m_lista->valueAt(r, m_chave) : QVariant();
    }

    // A view of the items (the drop-down) reads the list on as it is scrolled to its end.
    bool canFetchMore(const QModelIndex& parent) const override {
        return !parent.isValid() && viva() && m_lista->canFetchMore();
    }
    void fetchMore(const QModelIndex& parent) override {
        if (!parent.isValid() && m_combo) m_combo->leMais(kPrimeiraPagina);
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : primeira() + m_linhas + (m_extra ? 1 : 0);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const int r = index.row() - primeira();
        if (role == Qt::DisplayRole || role == Qt::EditRole) {
            if (r < 0) return m_vazio;
            if (m_extra && r == m_linhas) return m_extraTexto;
            if (r >= m_linhas || !viva()) return QString();
            const QString t = texto(r);
            // The list is in name order: a name shared with a neighbour gets what tells it apart.
            if (m_outro && ((r > 0 && texto(r - 1) == t) || (r + 1 < m_linhas && texto(r + 1) == t))) {
                const QString outro = Field::formatValue(*m_outro, m_lista->valueAt(r, m_outro)).trimmed();
                if (!outro.isEmpty()) return t + QString::fromUtf8(" — ") + outro;
            }
            return t;
        }
        if (role == Qt::UserRole) return chave(index.row());
        return {};
    }

private:
    // The list read at the last reload is still the combo's and holds those rows.
    bool viva() const {
        return m_combo && m_lista && m_combo->effectiveList() == m_lista && m_lista->active() &&
               m_lista->recordCount() >= m_linhas;
    }

    QString texto(int r) const { return Field::formatValue(*m_texto, m_lista->valueAt(r, m_texto)); }

    DBLookupCombo* m_combo;
    DataSet* m_lista = nullptr;
    Field *m_chave = nullptr, *m_texto = nullptr, *m_outro = nullptr;
    QString m_vazio;
    int m_linhas = 0;
    bool m_extra = false;
    QVariant m_extraChave;
    QString m_extraTexto;
};

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
    // The width never depends on the items: measuring them would read every row.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(10);
    m_model = new Model(this);
    setModel(m_model);
    if (auto* lista = qobject_cast<QListView*>(view())) lista->setUniformItemSizes(true);
    m_listLink.setDataSource(m_listSource.get());
    m_link.setFieldName(fieldName);
    connect(this, qOverload<int>(&QComboBox::activated), this,
            [this](int i) { guarded([&] { onActivated(i); }); });
    m_link.setDataSource(ds);
    if (ds) m_everBound = true;
    relinkList();
}

DBLookupCombo::~DBLookupCombo() {
    // The model outlives the list source it reads (Qt deletes it with the combo's children).
    m_model->desliga();
}

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

// The items follow the rows the list holds; the rest of a partly read list is read only when a
// key is not among them or the user may move the choice (a key, the wheel, the drop-down), so a
// list that a screen reads again on each activation is read once.
void DBLookupCombo::reloadList() {
    FlagScope loading(m_loading);
    m_dirty = false;
    QSignalBlocker block(this);
    m_index.clear();
    m_indexDirty = true;
    DataSet* list = effectiveList();
    Field *kf = nullptr, *lf = nullptr;
    if (list && list->active()) {
        kf = list->findField(effectiveKeyField());
        lf = list->findField(effectiveListField());
    }
    m_model->recarrega(kf && lf ? list : nullptr, kf, lf, m_emptyText);
}

void DBLookupCombo::fetchWholeList() {
    DataSet* list = effectiveList();
    if (!list || !list->active() || !list->canFetchMore()) return;
    {
        FlagScope loading(m_loading);
        list->fetchAll();
    }
    reloadList();
}

bool DBLookupCombo::leMais(int n) {
    bool leu = false;
    guarded([&] {
        if (m_dirty) refresh();
        DataSet* list = effectiveList();
        if (!list || !list->active() || !list->canFetchMore()) return;
        {
            FlagScope loading(m_loading);
            list->fetchMore(n);
        }
        m_model->cresce();
        indexaLinhas();
        if (m_model->linhaExtra() >= 0 &&
            (!list->canFetchMore() || m_index.contains(listKey(m_model->chaveExtra()))))
            m_model->tiraExtra();
        // The choice keeps its entry; a key shown after the rows read takes its own row once
        // the list holds it.
        showKey(m_key);
        leu = true;
    });
    return leu;
}

void DBLookupCombo::antesDeEscolher(int alcance) {
    guarded([&] {
        if (m_dirty) refresh();
        DataSet* list = effectiveList();
        if (!list || !list->active() || !list->canFetchMore() || alcance <= 0) return;
        if (alcance == kAteOFim) {
            fetchWholeList();
            refresh();
            return;
        }
        // The list is read on until the entries the move may reach are among the rows read: a
        // key shown after them is first found in its place.
        const auto alcancada = [&] {
            const int atual = currentIndex();
            const int fim = m_model->primeira() + m_model->linhasLidas();
            const bool noLugar = m_model->linhaExtra() < 0 || atual != m_model->linhaExtra();
            return noLugar && std::max(atual, 0) + alcance < fim;
        };
        while (!alcancada() && leMais(kPrimeiraPagina)) {
        }
    });
}

void DBLookupCombo::antesDeBuscar() {
    // Typing reads the list only as far as the first entry it finds (primeiraQueComeca).
    guarded([&] {
        if (m_dirty) refresh();
    });
}

int DBLookupCombo::primeiraQueComeca(const QString& wanted, int from) {
    // The list is read in order, a part at a time, until an entry begins with what was typed:
    // the first one found among the rows read is the list's first. The row of a key beyond the
    // rows read (shown after them) takes its place in the list only once the list is read whole.
    for (;;) {
        DataSet* list = effectiveList();
        const bool mais = list && list->active() && list->canFetchMore();
        const int fim = mais ? m_model->primeira() + m_model->linhasLidas() : count();
        for (int i = std::max(0, from); i < fim; ++i)
            if (comparavel(itemText(i)).startsWith(wanted)) return i;
        if (!mais) return -1;
        from = fim;
        if (!leMais(kPartePesquisa)) return -1;
    }
}

void DBLookupCombo::indexaLinhas() {
    if (m_indexDirty) {
        m_indexDirty = false;
        m_index.clear();
        m_indexadas = 0;
    }
    const int primeira = m_model->primeira();
    const int n = m_model->linhasLidas();
    if (m_indexadas >= n) return;
    m_index.reserve(n);
    for (int r = m_indexadas; r < n; ++r) {
        const QString k = listKey(m_model->chave(primeira + r));
        if (!m_index.contains(k)) m_index.insert(k, primeira + r);
    }
    m_indexadas = n;
}

int DBLookupCombo::rowOf(const QVariant& key) {
    if (key.isNull()) return m_emptyText.isEmpty() ? -1 : 0;
    indexaLinhas();
    const QString k = listKey(key);
    int row = m_index.value(k, -1);
    if (row < 0 && m_model->linhaExtra() >= 0 && listKey(m_model->chaveExtra()) == k)
        row = m_model->linhaExtra();
    DataSet* list = effectiveList();
    if (row < 0 && list && list->active() && list->canFetchMore() && list->recordCount() < kPrimeiraPagina) {
        // A short list is read whole at once, as it always was.
        {
            FlagScope loading(m_loading);
            list->fetchMore(kPrimeiraPagina - list->recordCount());
        }
        reloadList();
        return rowOf(key);
    }
    if (row < 0 && list && list->active() && list->canFetchMore()) {
        // A key beyond the rows read of a long list: its name is read by the key, not the whole
        // list.
        QVariant texto;
        {
            FlagScope loading(m_loading);
            texto = list->lookup(effectiveKeyField(), key, effectiveListField());
        }
        if (!list->canFetchMore()) {
            // The list could only be read whole: its rows hold the key now, if it exists.
            reloadList();
            return rowOf(key);
        }
        if (texto.isNull()) return -1;
        return m_model->mostraExtra(key, texto);
    }
    return row;
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
    const int index = rowOf(key);
    const bool changed = listKey(key) != listKey(m_key) || key.isNull() != m_key.isNull();
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
        if (listKey(t->value()) != listKey(key) || t->isNull() != key.isNull()) t->setValue(key);
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
    // Dropped down, the list shows a page of rows around the choice and reads on as it is
    // scrolled (the model's fetchMore).
    antesDeEscolher(maxVisibleItems());
    QComboBox::showPopup();
}
