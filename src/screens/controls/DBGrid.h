#pragma once
// A grid over a data source: a QTableView with a model that mirrors the dataset's rows.
//
// Rows are fetched in chunks as the view needs them (the view asks canFetchMore/fetchMore
// while its last row is visible), so a list of any size opens at once; the rows appear through
// the dataset's RowsFetched event, once per fetch. The grid's current row follows the
// dataset's current record, and moving the current cell (click, arrow keys) moves the dataset
// with setRecNo. Columns are (field name, title, width); without any, every visible field is a
// column titled by its display label.
//
// By default the grid is read-only with the options of a list screen (setReadOnlyOptions):
// column titles, a row indicator, resizable columns, column and row lines, Tab moving between
// cells, an untouched pending insert cancelled when the grid loses the focus, no editing and no
// whole-row selection.
#include "screens/controls/DataLink.h"
#include <QAbstractTableModel>
#include <QTableView>
#include <functional>
#include <vector>

struct DBGridColumn {
    QString fieldName;
    QString title; // empty: the field's display label
    int width = 0; // pixels; 0: from the field's display width or size
    bool readOnly = false;
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
};

class DBGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DBGridModel(QObject* parent = nullptr);

    void setDataSource(DataSource* ds);
    DataSource* dataSource() const { return m_link.dataSource(); }
    DataSet* dataSet() const { return m_link.dataSet(); }

    // Explicit columns; an empty list means every visible field.
    void setColumns(const std::vector<DBGridColumn>& columns);
    const std::vector<DBGridColumn>& columns() const { return m_columns; }
    bool defaultColumns() const { return !m_explicit; }
    // The field of a column (nullptr when the dataset is closed or has no such field).
    Field* columnField(int column) const;
    QString columnTitle(int column) const;

    // Rows fetched per fetchMore.
    void setFetchChunk(int rows) { m_chunk = std::max(1, rows); }
    int fetchChunk() const { return m_chunk; }
    void setEditable(bool editable) { m_editable = editable; }
    bool editable() const { return m_editable; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Whether the last value typed into a cell was refused (its message shown, nothing stored).
    bool ultimaEdicaoRecusada() const { return m_recusada; }
    bool canFetchMore(const QModelIndex& parent) const override;
    // While the view follows the dataset's current record, a fetch the view asks for reads only
    // `rows` (0: the usual chunk): a list just opened holds one row, which the view takes for its
    // last one, and then needs no more than a screenful.
    void limitFetch(int rows) { m_fetchLimit = rows; }
    // Cells of one row made read-only within an editable column, and a cell's tooltip (empty:
    // none), for grids whose rows differ (a results grid's calculated rows).
    std::function<bool(int row, int column)> cellReadOnly;
    std::function<QString(int row, int column)> cellToolTip;
    void fetchMore(const QModelIndex& parent) override;

    // Text of the row indicator: the current record of a browsing dataset, "I" while it is
    // being edited.
    static QString indicatorText(const DataSet* ds, int row);
    // While a row the dataset deleted leaves the view: the view's own choice of a new current
    // row is not the dataset's (the dataset's record follows at once).
    bool removingRow() const { return m_removing; }

signals:
    // The dataset's current record moved or the rows were replaced; the view follows.
    void currentRecordMoved();

private:
    int m_fetchLimit = 0;
    bool m_recusada = false;
    bool m_removing = false;
    void onEvent(const DataEventInfo& e);
    void reset();
    std::vector<DBGridColumn> fieldColumns() const;
    void rowChanged(int row);

    DataLink m_link;
    std::vector<DBGridColumn> m_columns;
    mutable std::vector<int> m_fieldIndex; // cached field positions, checked by name on use
    bool m_explicit = false;
    bool m_editable = false;
    int m_rows = 0;
    int m_chunk = 200;
    int m_current = -1;
};

class DBGrid : public QTableView {
    Q_OBJECT
public:
    DBGrid(QWidget* parent, DataSource* ds, const QString& name = QString());

    DataSource* dataSource() const { return m_model->dataSource(); }
    void setDataSource(DataSource* ds) { m_model->setDataSource(ds); }
    DBGridModel* gridModel() const { return m_model; }

    void setColumns(const std::vector<DBGridColumn>& columns);
    void addColumn(const QString& fieldName, const QString& title = QString(), int width = 0);
    const std::vector<DBGridColumn>& columns() const { return m_model->columns(); }
    int columnWidthOf(int column) const { return columnWidth(column); }

    // The options of a read-only list grid (see the header comment); editing off.
    void setReadOnlyOptions();
    // Editing of the columns that are not read-only (in place, written to the field as
    // typed values; the dataset posts when the current record moves).
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return !m_model->editable(); }

    // Runs on a double click anywhere in the grid (screens switch to the record form).
    std::function<void()> onDblClick;

    // Puts the current cell on the dataset's current record.
    void syncCurrent();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void applyColumnWidths();
    int defaultWidth(int column) const;

    DBGridModel* m_model;
    bool m_syncing = false;
    QStringList m_widthsFor; // columns whose widths were applied
};
