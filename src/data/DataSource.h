#pragma once
// Links a dataset to controls and to a screen's handlers. A screen owns its data sources as
// QObject children, so the screen finds them itself (its SQL is put back on close).
#include <QObject>
#include <QString>
#include <functional>
#include <map>

class DataSet;
class Field;

enum class DataEvent {
    StateChanged,  // the dataset's state changed (also on open and close)
    RecordChanged, // the current record changed (move, post, cancel, refresh)
    FieldChanged,  // one field of the current record changed
    RowsReset,     // the rows were replaced (open, close, refresh)
    RowsFetched,   // rows were appended by a fetch: row..row+count-1
    RowInserted,   // one row inserted at row
    RowRemoved,    // one row removed at row
    RowUpdated,    // the row at row changed
    UpdateRecord   // a post begins: each control writes what it shows; one that shows a text the
                   // field cannot take tells the user and ends the post (SilentAbort)
};

struct DataEventInfo {
    DataEvent kind;
    Field* field = nullptr;
    int row = -1;
    int count = 0;
};

class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(const QString& name = QString(), QObject* owner = nullptr, DataSet* ds = nullptr);
    DataSource(const QString& name, DataSet* ds) : DataSource(name, nullptr, ds) {}
    ~DataSource() override;

    QString name() const { return objectName(); }
    void setName(const QString& n) { setObjectName(n); }
    int tag() const { return m_tag; }
    void setTag(int t) { m_tag = t; }
    DataSet* dataSet() const { return m_ds; }
    void setDataSet(DataSet* ds);

    // The owning screen's handlers (run before the controls' listeners). They may throw
    // SilentAbort to end the user action that caused the change.
    std::function<void()> onStateChange;
    std::function<void(Field*)> onDataChange;

    // Controls listen here; returns a token for unsubscribe.
    int subscribe(std::function<void(const DataEventInfo&)> fn);
    void unsubscribe(int token);

    // Called by the dataset.
    void notify(const DataEventInfo& e);
    void dataSetDestroyed() { m_ds = nullptr; }

private:
    int m_tag = 0;
    DataSet* m_ds = nullptr;
    int m_next = 1;
    std::map<int, std::function<void(const DataEventInfo&)>> m_listeners;
};
