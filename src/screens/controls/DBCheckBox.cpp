#include "screens/controls/DBCheckBox.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"

DBCheckBox::DBCheckBox(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& caption,
                       const QString& name)
    : QCheckBox(caption, parent), m_link([this](const DataEventInfo& e) { onEvent(e); }) {
    m_link.setOwner(this);
    if (!name.isEmpty()) setObjectName(name);
    m_link.setFieldName(fieldName);
    setDataSource(ds);
}

void DBCheckBox::setDataSource(DataSource* ds) {
    m_link.setDataSource(ds);
    if (ds) m_everBound = true;
    refresh();
}

void DBCheckBox::setDataField(const QString& fieldName) {
    m_link.setFieldName(fieldName);
    refresh();
}

void DBCheckBox::setValueChecked(const QString& v) {
    m_checked = v;
    refresh();
}

void DBCheckBox::setValueUnchecked(const QString& v) {
    m_unchecked = v;
    refresh();
}

void DBCheckBox::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
}

void DBCheckBox::onEvent(const DataEventInfo& e) {
    if (m_busy || !concernsField(e, m_link)) return;
    refresh();
}

void DBCheckBox::refresh() {
    if (!m_everBound) return;
    Field* f = m_link.field();
    const bool on = f && f->asString().trimmed().compare(m_checked.trimmed(), Qt::CaseInsensitive) == 0;
    if (isChecked() != on) setChecked(on);
}

// A click (mouse or space bar) asks here for the next state: the field changes first, and
// the box shows whatever the field holds afterwards.
void DBCheckBox::nextCheckState() {
    if (!m_everBound) {
        if (!m_readOnly) QCheckBox::nextCheckState();
        return;
    }
    const bool want = !isChecked();
    guarded([&] {
        FlagScope busy(m_busy);
        if (isReadOnly()) throw SilentAbort();
        m_link.edit();
        if (Field* f = m_link.field()) f->setValue(want ? m_checked : m_unchecked);
    });
    refresh();
}
