#pragma once
// The tie between a data-aware control and its data source.
//
// A control subscribes to a DataSource it does not own. Screens usually hold their data sources
// as members, so a data source can die before the child widgets that listen to it (members go
// before QWidget's destructor deletes the children). The link therefore keeps a life token that
// lives inside the listener the data source stores: when the data source is destroyed the token
// goes with it, and the link no longer touches the source.
#include "data/DataSet.h"
#include "data/DataSource.h"
#include <QString>
#include <functional>
#include <memory>

class DataLink {
public:
    using Listener = std::function<void(const DataEventInfo&)>;

    explicit DataLink(Listener listener) : m_listener(std::move(listener)) {}
    ~DataLink() { detach(); }
    DataLink(const DataLink&) = delete;
    DataLink& operator=(const DataLink&) = delete;

    // Subscribes to s (nullptr: unbound); the previous source is left.
    void setDataSource(DataSource* s);
    // The control this link belongs to: it carries the property "ctvDataSource" naming its
    // source, so a screen finds every data source its controls use.
    void setOwner(QObject* owner) { m_owner = owner; }
    // The source, or nullptr when unbound or when the source no longer exists.
    DataSource* dataSource() const { return alive() ? m_src : nullptr; }
    DataSet* dataSet() const {
        DataSource* s = dataSource();
        return s ? s->dataSet() : nullptr;
    }
    bool active() const {
        DataSet* d = dataSet();
        return d && d->active();
    }

private:
    bool alive() const { return m_src && !m_life.expired(); }
    void detach();

    Listener m_listener;
    QObject* m_owner = nullptr;
    DataSource* m_src = nullptr;
    int m_token = 0;
    std::weak_ptr<void> m_life;
};

// A link to one field of the source's dataset, found by name whenever it is needed (fields
// are recreated each time the dataset opens, so a pointer would not survive a reopen).
class FieldLink : public DataLink {
public:
    using DataLink::DataLink;

    const QString& fieldName() const { return m_field; }
    void setFieldName(const QString& name) { m_field = name; }
    Field* field() const;
    // Whether the user may change the field through a control: the dataset is open and the
    // field exists, is not read-only and is a stored column (lookups and blobs of binary data
    // are changed elsewhere).
    bool canModify() const;
    // Puts the dataset into edit state (insert state when it is empty) unless it is editing
    // already. Whatever the dataset or the screen's state handler throws goes on to the caller.
    void edit();

private:
    QString m_field;
};

// Sets a flag for the lifetime of the object and restores it afterwards.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FlagScope() { m_flag = m_old; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

// Whether an event about the current record concerns a control showing field `name`: record
// moves, resets and state changes always do; a field change does when it is that field, when
// it names no field, or when the control shows a lookup (its text follows its key field).
bool concernsField(const DataEventInfo& e, const FieldLink& link);
