#include "screens/controls/DBGrid.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "screens/controls/FieldText.h"
#include <QFocusEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QRegularExpression>

// ---------------------------------------------------------------- model

DBGridModel::DBGridModel(QObject* parent)
    : QAbstractTableModel(parent), m_link([this](const DataEventInfo& e) { onEvent(e); }) {}

void DBGridModel::setDataSource(DataSource* ds) {
    m_link.setOwner(this);
    m_link.setDataSource(ds);
    reset();
}

void DBGridModel::setColumns(const std::vector<DBGridColumn>& columns) {
    beginResetModel();
    m_explicit = !columns.empty();
    m_columns = m_explicit ? columns : fieldColumns();
    m_fieldIndex.assign(m_columns.size(), -1);
    endResetModel();
}

std::vector<DBGridColumn> DBGridModel::fieldColumns() const {
    std::vector<DBGridColumn> cols;
    DataSet* ds = dataSet();
    if (!ds) return cols;
    for (const auto& f : ds->fields())
        if (f->visible())
            cols.push_back(
                DBGridColumn{f->fieldName(), QString(), 0, false, Qt::AlignLeft | Qt::AlignVCenter});
    return cols;
}

static bool sameColumns(const std::vector<DBGridColumn>& a, const std::vector<DBGridColumn>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].fieldName.compare(b[i].fieldName, Qt::CaseInsensitive) != 0) return false;
    return true;
}

void DBGridModel::reset() {
    beginResetModel();
    if (!m_explicit) m_columns = fieldColumns();
    m_fieldIndex.assign(m_columns.size(), -1);
    DataSet* ds = dataSet();
    m_rows = ds && ds->active() ? ds->recordCount() : 0;
    m_current = ds && ds->active() ? ds->recNo() : -1;
    endResetModel();
    emit currentRecordMoved();
}

Field* DBGridModel::columnField(int column) const {
    DataSet* ds = dataSet();
    if (!ds || column < 0 || column >= static_cast<int>(m_columns.size())) return nullptr;
    // Fields are recreated when the dataset opens; a cached position is trusted only while
    // the field found there still has the column's name.
    int& idx = m_fieldIndex[static_cast<size_t>(column)];
    const QString& name = m_columns[static_cast<size_t>(column)].fieldName;
    if (idx >= 0 && idx < ds->fieldCount() &&
        ds->field(idx)->fieldName().compare(name, Qt::CaseInsensitive) == 0)
        return ds->field(idx);
    Field* f = ds->findField(name);
    idx = f ? f->index() : -1;
    return f;
}

QString DBGridModel::columnTitle(int column) const {
    if (column < 0 || column >= static_cast<int>(m_columns.size())) return QString();
    const DBGridColumn& c = m_columns[static_cast<size_t>(column)];
    if (!c.title.isEmpty()) return c.title;
    Field* f = columnField(column);
    return f ? f->displayLabel() : c.fieldName;
}

void DBGridModel::rowChanged(int row) {
    if (row < 0 || row >= m_rows || m_columns.empty()) return;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}

void DBGridModel::onEvent(const DataEventInfo& e) {
    DataSet* ds = dataSet();
    const int held = ds && ds->active() ? ds->recordCount() : 0;
    switch (e.kind) {
    case DataEvent::RowsReset:
        reset();
        return;
    case DataEvent::RowsFetched:
        // The rows appended by one fetch become visible here, once. Anything that does not
        // continue what the view holds (a fetch inside an open, other columns) resets instead.
        if (e.count <= 0) return;
        if (e.row != m_rows || e.row + e.count != held ||
            (!m_explicit && !sameColumns(m_columns, fieldColumns()))) {
            reset();
            return;
        }
        beginInsertRows(QModelIndex(), e.row, e.row + e.count - 1);
        m_rows += e.count;
        endInsertRows();
        return;
    case DataEvent::RowInserted:
        if (m_rows + 1 != held || e.row < 0 || e.row > m_rows) {
            reset();
            return;
        }
        beginInsertRows(QModelIndex(), e.row, e.row);
        ++m_rows;
        endInsertRows();
        return;
    case DataEvent::RowRemoved:
        if (m_rows - 1 != held || e.row < 0 || e.row >= m_rows) {
            reset();
            return;
        }
        m_removing = true;
        beginRemoveRows(QModelIndex(), e.row, e.row);
        --m_rows;
        endRemoveRows();
        m_removing = false;
        return;
    case DataEvent::RowUpdated:
        rowChanged(e.row);
        return;
    case DataEvent::FieldChanged:
    case DataEvent::StateChanged:
        if (ds) rowChanged(ds->recNo());
        return;
    case DataEvent::RecordChanged: {
        const int old = m_current;
        m_current = ds && ds->active() ? ds->recNo() : -1;
        rowChanged(old);
        if (m_current != old) rowChanged(m_current);
        emit currentRecordMoved();
        return;
    }
    case DataEvent::UpdateRecord:
        return;
    }
}

int DBGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int DBGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant DBGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    DataSet* ds = dataSet();
    if (!ds || !ds->active() || index.row() >= ds->recordCount()) return {};
    Field* f = columnField(index.column());
    if (!f) return {};
    switch (role) {
    case Qt::DisplayRole: {
        QVariant v;
        QString text;
        guarded([&] {
            v = ds->valueAt(index.row(), f);
            text = Field::formatValue(*f, v);
        });
        if (f->kind() == FieldKind::Memo) {
            // A cell shows the first line of a long text.
            const qsizetype nl = text.indexOf(QRegularExpression("[\r\n]"));
            if (nl >= 0) text.truncate(nl);
            if (text.size() > 255) text.truncate(255);
        }
        return text;
    }
    case Qt::EditRole: {
        QString text;
        guarded([&] { text = fieldtext::editText(*f, ds->valueAt(index.row(), f)); });
        return text;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(f->isNumeric() ? Qt::AlignRight | Qt::AlignVCenter
                                                  : Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (cellToolTip) {
            const QString dica = cellToolTip(index.row(), index.column());
            if (!dica.isEmpty()) return dica;
        }
        return {};
    default:
        return {};
    }
}

QString DBGridModel::indicatorText(const DataSet* ds, int row) {
    if (!ds || !ds->active() || row != ds->recNo()) return QString();
    switch (ds->state()) {
    case DataSetState::Browse:
        return QStringLiteral("\u25B6");
    case DataSetState::Edit:
        return QStringLiteral("I");
    default:
        return QString(); // an insert is not one of the rows shown
    }
}

QVariant DBGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole) return columnTitle(section);
        if (role == Qt::TextAlignmentRole && section >= 0 && section < static_cast<int>(m_columns.size()))
            return QVariant::fromValue(m_columns[static_cast<size_t>(section)].titleAlignment);
        return {};
    }
    if (role == Qt::DisplayRole) return indicatorText(dataSet(), section);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags DBGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags fl = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editable && !m_columns[static_cast<size_t>(index.column())].readOnly &&
        !(cellReadOnly && cellReadOnly(index.row(), index.column()))) {
        Field* f = columnField(index.column());
        if (f && !f->readOnly() && !f->isLookup() && !f->isBlob()) fl |= Qt::ItemIsEditable;
    }
    return fl;
}

bool DBGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    DataSet* ds = dataSet();
    Field* f = columnField(index.column());
    if (!ds || !f) return false;
    fieldtext::Parsed p = fieldtext::parse(*f, value.toString());
    m_recusada = !p.ok;
    if (!p.ok) {
        // A text that is not a value of the column is refused before anything is stored.
        guarded([&] { warn(p.error); });
        return false;
    }
    return m_recusada = false, guarded([&] {
               if (ds->recNo() != index.row()) ds->setRecNo(index.row());
               if (!ds->editing()) ds->edit();
               Field* target = columnField(index.column());
               if (target && !fieldtext::sameValue(target->value(), p.value)) target->setValue(p.value);
           });
}

bool DBGridModel::canFetchMore(const QModelIndex& parent) const {
    DataSet* ds = dataSet();
    return !parent.isValid() && ds && ds->active() && ds->canFetchMore();
}

void DBGridModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid()) return;
    DataSet* ds = dataSet();
    if (!ds || !ds->active()) return;
    // The rows arrive through RowsFetched; nothing is inserted here.
    guarded([&] { ds->fetchMore(m_fetchLimit > 0 ? m_fetchLimit : m_chunk); });
}

// ---------------------------------------------------------------- view

DBGrid::DBGrid(QWidget* parent, DataSource* ds, const QString& name)
    : QTableView(parent), m_model(new DBGridModel(this)) {
    if (!name.isEmpty()) setObjectName(name);
    setModel(m_model);
    connect(m_model, &DBGridModel::currentRecordMoved, this, &DBGrid::syncCurrent);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DBGrid::applyColumnWidths);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setMinimumWidth(16);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setReadOnlyOptions();
    m_model->setDataSource(ds);
}

void DBGrid::setColumns(const std::vector<DBGridColumn>& columns) {
    m_model->setColumns(columns);
    m_widthsFor.clear();
    applyColumnWidths();
    syncCurrent();
}

void DBGrid::addColumn(const QString& fieldName, const QString& title, int width) {
    std::vector<DBGridColumn> cols =
        m_model->defaultColumns() ? std::vector<DBGridColumn>() : m_model->columns();
    cols.push_back(DBGridColumn{fieldName, title, width, false, Qt::AlignLeft | Qt::AlignVCenter});
    setColumns(cols);
}

void DBGrid::setReadOnlyOptions() {
    horizontalHeader()->setVisible(true);                               // column titles
    verticalHeader()->setVisible(true);                                 // row indicator
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive); // column resizing
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setStretchLastSection(false);
    setShowGrid(true);                                    // column and row lines
    setTabKeyNavigation(true);                            // Tab between cells
    setSelectionBehavior(QAbstractItemView::SelectItems); // no whole-row selection
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers); // no editing
    m_model->setEditable(false);
    setWordWrap(false);
}

void DBGrid::setReadOnly(bool readOnly) {
    m_model->setEditable(!readOnly);
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
}

int DBGrid::defaultWidth(int column) const {
    const DBGridColumn& c = m_model->columns()[static_cast<size_t>(column)];
    if (c.width > 0) return c.width;
    Field* f = m_model->columnField(column);
    const int ch = fontMetrics().averageCharWidth();
    int chars = 12;
    if (f) {
        if (f->displayWidth() > 0)
            chars = f->displayWidth();
        else if (f->kind() == FieldKind::Date)
            chars = 10;
        else if (f->kind() == FieldKind::DateTime)
            chars = 16;
        else if (f->kind() == FieldKind::Memo)
            chars = 30;
        else if (f->size() > 0)
            chars = std::min(f->size(), 40);
    }
    const int title = fontMetrics().horizontalAdvance(m_model->columnTitle(column)) + 12;
    return std::max(chars * ch + 10, title);
}

void DBGrid::applyColumnWidths() {
    // Widths are set when the columns change, not on every refresh, so that what the user
    // resized stays.
    QStringList names;
    for (const DBGridColumn& c : m_model->columns())
        names << c.fieldName.toUpper();
    if (names == m_widthsFor) return;
    m_widthsFor = names;
    for (int i = 0; i < m_model->columnCount(); ++i)
        setColumnWidth(i, defaultWidth(i));
}

namespace {
// The least a grid following its list's record fetches when it takes that record for its last.
constexpr int kLinhasAoSeguir = 50;
} // namespace

void DBGrid::syncCurrent() {
    DataSet* ds = m_model->dataSet();
    const int row = ds && ds->active() ? ds->recNo() : -1;
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0) return;
    const int col = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex idx = m_model->index(row, std::min(col, m_model->columnCount() - 1));
    if (currentIndex() != idx) {
        FlagScope syncing(m_syncing);
        struct UmaTela {
            DBGridModel* m;
            ~UmaTela() { m->limitFetch(0); }
        } umaTela{m_model};
        const int altura = std::max(1, verticalHeader()->defaultSectionSize());
        // A grid not shown yet has no height to go by: it keeps its usual chunk.
        if (isVisible()) m_model->limitFetch(std::max(kLinhasAoSeguir, viewport()->height() / altura + 1));
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect);
    }
    scrollTo(idx);
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (m_syncing || m_model->removingRow() || !current.isValid()) return;
    DataSet* ds = m_model->dataSet();
    if (!ds || !ds->active() || ds->recNo() == current.row()) return;
    // A move that is refused (a record that cannot be posted, a save question answered with
    // Cancel) leaves the grid on the dataset's record.
    if (!guarded([&] { ds->setRecNo(current.row()); })) syncCurrent();
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent* e) {
    QTableView::mouseDoubleClickEvent(e);
    if (onDblClick) guarded(onDblClick);
}

void DBGrid::focusOutEvent(QFocusEvent* e) {
    QTableView::focusOutEvent(e);
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
    if (state() == QAbstractItemView::EditingState) return; // the focus went to the cell editor
    DataSet* ds = m_model->dataSet();
    if (ds && ds->state() == DataSetState::Insert && !ds->modified()) guarded([&] { ds->cancel(); });
}
