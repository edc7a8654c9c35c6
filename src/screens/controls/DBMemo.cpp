#include "screens/controls/DBMemo.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "screens/controls/TextoColuna.h"
#include <QTextCursor>

DBMemo::DBMemo(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& name)
    : QPlainTextEdit(parent), m_link([this](const DataEventInfo& e) { onEvent(e); }) {
    m_link.setOwner(this);
    if (!name.isEmpty()) setObjectName(name);
    m_link.setFieldName(fieldName);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { onTextChanged(); });
    setDataSource(ds);
}

void DBMemo::setDataSource(DataSource* ds) {
    const bool unbinding = m_everBound && !ds;
    m_link.setDataSource(ds);
    if (ds) m_everBound = true;
    if (unbinding) {
        show(QString());
        m_everBound = false;
    }
    refresh();
}

void DBMemo::setDataField(const QString& fieldName) {
    m_link.setFieldName(fieldName);
    refresh();
}

void DBMemo::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    refresh();
}

void DBMemo::onEvent(const DataEventInfo& e) {
    if (m_busy || !concernsField(e, m_link)) return;
    refresh();
}

void DBMemo::show(const QString& text) {
    if (toPlainText() == text) return;
    FlagScope busy(m_busy);
    setPlainText(text);
}

void DBMemo::refresh() {
    QPlainTextEdit::setReadOnly(m_readOnly || (m_everBound && !m_link.canModify()));
    if (!m_everBound) return;
    Field* f = m_link.field();
    show(f ? f->asString() : QString());
}

void DBMemo::onTextChanged() {
    if (m_busy || !m_everBound) return;
    QString recusa;
    const bool kept = guarded([&] {
        FlagScope busy(m_busy);
        if (!m_link.canModify()) throw SilentAbort();
        Field* f = m_link.field();
        const QString text = toPlainText();
        // Typed or pasted, a text the column cannot hold (longer than its size, or with a
        // character outside the database's alphabet) is refused whole, naming the field.
        recusa = textocoluna::recusa(textocoluna::nomeDoCampo(this, f->displayLabel(), f->fieldName()), text,
                                     f->size(), f->dataSet()->fromDatabase());
        if (!recusa.isEmpty()) throw SilentAbort();
        m_link.edit();
        f = m_link.field();
        if (f) f->setValue(text.isEmpty() ? QVariant() : QVariant(text));
    });
    if (!kept) {
        const int pos = textCursor().position();
        refresh();
        QTextCursor c = textCursor();
        c.setPosition(std::min(pos, static_cast<int>(toPlainText().size())));
        setTextCursor(c);
        if (!recusa.isEmpty()) guarded([&] { warn(recusa); });
    }
}
