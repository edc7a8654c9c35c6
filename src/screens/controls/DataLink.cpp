#include "screens/controls/DataLink.h"
#include "platform/ErrorHook.h"

void DataLink::setDataSource(DataSource* s) {
    if (s == dataSource() && s) return;
    detach();
    if (m_owner) m_owner->setProperty("ctvDataSource", QVariant::fromValue<QObject*>(s));
    if (!s) return;
    auto life = std::make_shared<int>(0);
    m_life = life;
    m_src = s;
    // A listener's failure (a lookup that cannot read its list, say) must not break the data
    // operation that sent the event; it is reported on its own.
    // The controls' refusal of a post, alone, goes back to the post.
    m_token = s->subscribe([this, life](const DataEventInfo& e) {
        if (e.kind == DataEvent::UpdateRecord)
            m_listener(e);
        else
            guarded([&] { m_listener(e); });
    });
}

void DataLink::detach() {
    if (alive()) m_src->unsubscribe(m_token);
    m_src = nullptr;
    m_token = 0;
    m_life.reset();
}

Field* FieldLink::field() const {
    DataSet* d = dataSet();
    return d && !m_field.isEmpty() ? d->findField(m_field) : nullptr;
}

bool FieldLink::canModify() const {
    if (!active()) return false;
    Field* f = field();
    return f && !f->readOnly() && !f->isLookup() && f->kind() != FieldKind::Blob;
}

void FieldLink::edit() {
    DataSet* d = dataSet();
    if (d && !d->editing()) d->edit();
}

bool concernsField(const DataEventInfo& e, const FieldLink& link) {
    switch (e.kind) {
    case DataEvent::RecordChanged:
    case DataEvent::RowsReset:
    case DataEvent::StateChanged:
        return true;
    case DataEvent::FieldChanged: {
        if (!e.field) return true;
        Field* f = link.field();
        return !f || f == e.field || f->isLookup();
    }
    default:
        return false;
    }
}
