#pragma once
// The dataset contract: states, navigation, editing, fields, cached updates, events.
// Records are fixed-size buffers in the database's message layout, kept in chunks, so a
// large list costs little more than its raw row bytes.
#include "data/DataSource.h"
#include "data/Field.h"
#include <QHash>
#include <QSet>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class DataSource;
class UpdateSql;

enum class DataSetState { Inactive, Browse, Edit, Insert };
enum class UpdateStatus { Unmodified, Modified, Inserted, Deleted };
enum class UpdateKind { Modify, Insert, Delete };

class DataSet {
public:
    using Handler = std::function<void(DataSet&)>;

    explicit DataSet(const QString& name = QString());
    virtual ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    const QString& name() const { return m_name; }
    void setName(const QString& n) { m_name = n; }
    int tag() const { return m_tag; }
    void setTag(int t) { m_tag = t; }

    void open();
    void close();
    void setActive(bool a) { a ? open() : close(); }
    bool active() const { return m_state != DataSetState::Inactive; }
    DataSetState state() const { return m_state; }
    bool editing() const { return m_state == DataSetState::Edit || m_state == DataSetState::Insert; }
    // Whether a field was set since the edit or insert began.
    bool modified() const { return editing() && m_modified; }

    // Navigation. recNo is 0-based, -1 when there is no current record.
    void first();
    void prior();
    void next();
    void last();
    void moveBy(int n);
    void setRecNo(int row);
    int recNo() const { return m_cur; }
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    // Rows held (fetched so far, plus inserted, minus deleted).
    int recordCount() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const;
    // Fetching in chunks; a dataset without a cursor has nothing more to fetch.
    bool canFetchMore() const { return m_moreToFetch; }
    int fetchMore(int n);
    void fetchAll();
    // Read once from first to last (an export): next() past the rows held drops them before it
    // reads the following ones, so the memory stays that of one part whatever the row count.
    // Only first() right after open() and next() move such a dataset.
    void setForwardOnly(bool on) { m_forwardOnly = on; }
    bool forwardOnly() const { return m_forwardOnly; }

    // Editing.
    void insert();
    void append();
    void edit();
    void post();
    void cancel();
    void remove();
    // After a failed apply of the last post: the posted record goes back into its edit or
    // insert state with its values, and leaves the cache, so the user can save again.
    void reopenPostedRecord();

    // Fields.
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    Field* field(int i) const { return m_fields[static_cast<size_t>(i)].get(); }
    const std::vector<std::unique_ptr<Field>>& fields() const { return m_fields; }
    Field* findField(const QString& name) const;
    Field* fieldByName(const QString& name) const; // throws "Campo 'X' não encontrado"
    QVariant fieldValue(const QString& name) const { return fieldByName(name)->value(); }
    // Declared properties applied by name when the dataset opens.
    FieldDef& defineField(const QString& name);
    void defineLookupField(const QString& name, const QString& label, int size, const QString& keyField,
                           DataSet* list, const QString& listKey, const QString& listResult);

    // Searching.
    struct LocateOptions {
        bool caseInsensitive;
        bool partialKey;
    };
    bool locate(const QString& fieldNames, const QVariant& values, LocateOptions opt = {false, false});
    bool locate(const QString& fieldNames, const QVariantList& values, LocateOptions opt = {false, false});
    // Value of resultField in the row whose keyField equals key (indexed after the first call).
    QVariant lookup(const QString& keyField, const QVariant& key, const QString& resultField);
    // Value of a field at a row without moving (for grids).
    QVariant valueAt(int row, const Field* f) const;

    // Re-reads the data and goes back to the current record.
    virtual void refresh();

    // Cached updates: post keeps the change; applyUpdates writes it through the update object.
    void setCachedUpdates(bool c) { m_cached = c; }
    bool cachedUpdates() const { return m_cached; }
    void setUpdateObject(UpdateSql* u) { m_update = u; }
    UpdateSql* updateObject() const { return m_update; }
    bool updatesPending() const;
    UpdateStatus updateStatus() const;
    // Writes the cached changes and marks them done.
    virtual void applyUpdates();
    // Writes the cached changes and keeps them marked as pending (until commitUpdates), so a
    // commit that fails afterwards can still give the record back to the user.
    void applyPending();
    void commitUpdates();
    void cancelUpdates();

    // After a write that matched no row (see Query::rereadEditedRow): the edited record's row
    // as the database holds it now.
    bool hasDatabaseRow() const { return m_dbRow != nullptr; }
    QVariant databaseRowValue(int col) const;
    // Columns whose edited value differs from the record's stored row (edit state).
    std::vector<int> changedColumns() const;
    // The database's row becomes the edited record's stored row: the edit goes on with the
    // user's changed columns over it (keepChanges), or it ends showing the database's values.
    void takeDatabaseRow(bool keepChanges);

    // Called when a move, locate or insert meets a pending edit: it saves, discards or keeps the
    // change (throwing SilentAbort to stay). Record screens ask the user here.
    Handler settleEdit;

    // Events.
    Handler beforeOpen, afterOpen, beforeClose, afterClose, beforeInsert, afterInsert, beforeEdit, afterEdit,
        beforePost, afterPost, beforeCancel, afterCancel, beforeDelete, afterDelete, afterScroll;

    // Controls.
    void disableControls() { ++m_disabled; }
    void enableControls();
    bool controlsDisabled() const { return m_disabled > 0; }
    void attachSource(DataSource* s);
    void detachSource(DataSource* s);

    // Used by Field.
    const char* activeBuffer() const;
    char* editBuffer();
    const RecordLayout& layout() const { return m_layout; }
    QVariant columnValue(int col, const char* rec) const;
    void setColumnValue(int col, const QVariant& v);
    QVariant oldColumnValue(int col) const;
    void fieldChanged(Field* f);

    // Value of a column of a record by field name (update objects; null when unknown).
    QVariant recordValue(const char* rec, const QString& name, bool old) const;

protected:
    // Builds m_layout for the open; returns whether rows will be fetched.
    virtual void internalOpen() = 0;
    // Appends up to n rows (n < 0: all); returns the number fetched; clears m_moreToFetch at the end.
    virtual int internalFetch(int n);
    virtual void internalClose() {}
    virtual QByteArray loadBlob(BlobId) const { return {}; }

public:
    // True for datasets read from the database (their text fields are columns).
    virtual bool fromDatabase() const { return false; }
    // A list whose rows are not all read finds one row by its key without reading the rest:
    // true with the value of resultField in `result` (null when no row has that key), false
    // when this dataset cannot (the caller then reads the whole list).
    virtual bool lookupUnread(const QString& keyField, const QVariant& key, const QString& resultField,
                              QVariant& result) {
        (void)keyField, (void)key, (void)resultField, (void)result;
        return false;
    }
    // The same for several keys at once, where this dataset can (one statement for them all):
    // later lookupUnread calls for these keys answer without a statement.
    virtual void lookupUnreadMany(const QString& keyField, const QVariantList& keys,
                                  const QString& resultField) {
        (void)keyField, (void)keys, (void)resultField;
    }
    // Rows the statement still had when its cursor ended early (a hard commit or rollback).
    virtual bool rowsCutShort() const { return false; }
    // Makes the keys' texts known ahead of their lookups: the keys not among the rows read are
    // read together (a grid painting a page of rows asks for each of its rows in turn).
    void prefetchLookup(const QString& keyField, const QVariantList& keys, const QString& resultField);

protected:
    virtual void internalApply(UpdateKind kind, const char* rec, const char* old);

    void setDatabaseRow(std::unique_ptr<char[]> rec) { m_dbRow = std::move(rec); }
    // Whether a fetched row is one that this dataset wrote since it was opened: a cursor still
    // open in the same transaction returns such a row again, and the list holds it already.
    bool writtenHere(const char* rec) const;

    char* newRecord(bool init = true);
    void releaseLastRecord();
    void appendFetched(char* rec) { m_rows.push_back(rec); }
    void createFields();
    void notify(DataEvent kind, Field* f = nullptr, int row = -1, int count = 0);
    void setState(DataSetState s);
    void resetRows();
    void run(const Handler& h) {
        if (h) h(*this);
    }

    RecordLayout m_layout;
    bool m_moreToFetch = false;
    bool m_forwardOnly = false;

private:
    struct Extra {
        UpdateStatus status = UpdateStatus::Unmodified;
        std::unique_ptr<char[]> original;     // the record as read, for OLD_ values
        QHash<int, QByteArray> blobs;         // local blob contents (edited or loaded)
        QHash<int, QByteArray> originalBlobs; // those of the record as read, for OLD_ values
        int deletedAt = -1;
    };
    Extra& extra(const char* rec) { return m_extras[rec]; }
    void discardStaleUpdates();
    const Extra* findExtra(const char* rec) const;
    QByteArray blobContent(int col, const char* rec) const;
    void checkRequired();
    void requireActive() const;
    void scrolled();
    void copyRecord(char* dst, const char* src) const;
    int positionAfterFetch(int row);

    QString m_name;
    int m_tag = 0;
    DataSetState m_state = DataSetState::Inactive;
    std::vector<std::unique_ptr<Field>> m_fields;
    QHash<QString, FieldDef> m_defs;
    struct LookupDef {
        QString name, label, key, listKey, listResult;
        int size;
        DataSet* list;
    };
    std::vector<LookupDef> m_lookupDefs;

    // Record storage.
    std::vector<std::unique_ptr<char[]>> m_chunks;
    size_t m_chunkUsed = 0, m_chunkCap = 0;
    std::vector<char*> m_rows;
    std::vector<char*> m_deleted;
    mutable std::unordered_map<const char*, Extra> m_extras;
    int m_cur = -1;
    bool m_bof = true, m_eof = true;

    // Edit buffer.
    std::unique_ptr<char[]> m_edit;
    QHash<int, QByteArray> m_editBlobs;
    int m_editRow = -1;
    int m_prevRow = -1;
    bool m_modified = false;
    char* m_lastPosted = nullptr;
    QSet<QString> m_written; // keys (first column) of the rows written since the open
    std::unique_ptr<char[]> m_dbRow;

    bool m_cached = false;
    UpdateSql* m_update = nullptr;
    std::vector<DataSource*> m_sources;
    int m_disabled = 0;
    bool m_pendingNotify = false;

    // Lookup indexes: key field -> (normalized key -> row).
    struct LookupIndex {
        QHash<QString, int> rows;
        size_t builtFor = 0;
    };
    QHash<QString, LookupIndex> m_lookupIndex;
    const LookupIndex& lookupIndex(const QString& keyField, const Field* kf);
    // Blocks of rows whose lookup keys were handed to their lists ahead (per lookup field).
    mutable QHash<const Field*, QSet<int>> m_lookupBlocks;
    mutable size_t m_lookupBlocksFor = 0;
    void prefetchLookupsAround(int row, const Field* lookup, DataSet* list, const Field* key) const;
    size_t m_version = 0;
};

// Keeps a dataset's controls from following it for a scope: a long read or fill repaints its
// controls once, at the end, also when it ends with an error.
class ControlsDisabled {
public:
    explicit ControlsDisabled(DataSet& ds) : m_ds(ds), m_unwinding(std::uncaught_exceptions()) {
        m_ds.disableControls();
    }
    ~ControlsDisabled() noexcept(false) {
        // A control refusing the repaint while an error is already on its way must not end
        // the program; otherwise its error is the caller's.
        if (std::uncaught_exceptions() > m_unwinding) {
            try {
                m_ds.enableControls();
            } catch (...) {
            }
        } else {
            m_ds.enableControls();
        }
    }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    DataSet& m_ds;
    int m_unwinding;
};

QString dataSetStateName(DataSetState s);

// A key as text, so that keys read from columns of different types compare: 7, 7.0 and "7" are
// one key; null is the empty text. Blanks of a text key are kept.
QString keyText(const QVariant& v);
