#include "data/DataSource.h"
#include "data/DataSet.h"

DataSource::DataSource(const QString& name, QObject* owner, DataSet* ds) : QObject(owner) {
    setObjectName(name);
    setDataSet(ds);
}

DataSource::~DataSource() {
    if (m_ds) m_ds->detachSource(this);
}

void DataSource::setDataSet(DataSet* ds) {
    if (m_ds == ds) return;
    if (m_ds) m_ds->detachSource(this);
    m_ds = ds;
    if (m_ds) m_ds->attachSource(this);
    notify({DataEvent::RowsReset});
    notify({DataEvent::StateChanged});
    notify({DataEvent::RecordChanged});
}

int DataSource::subscribe(std::function<void(const DataEventInfo&)> fn) {
    int t = m_next++;
    m_listeners[t] = std::move(fn);
    return t;
}

void DataSource::unsubscribe(int token) {
    m_listeners.erase(token);
}

void DataSource::notify(const DataEventInfo& e) {
    if (e.kind == DataEvent::StateChanged && onStateChange) onStateChange();
    if ((e.kind == DataEvent::RecordChanged || e.kind == DataEvent::FieldChanged) && onDataChange)
        onDataChange(e.field);
    // A listener may unsubscribe others while we run; walk a snapshot of the tokens.
    std::vector<int> tokens;
    tokens.reserve(m_listeners.size());
    for (auto& [t, fn] : m_listeners)
        tokens.push_back(t);
    for (int t : tokens) {
        auto it = m_listeners.find(t);
        if (it != m_listeners.end()) it->second(e);
    }
}
