#include "screens/controls/DBEdit.h"
#include "platform/Cp1252.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

DBEdit::DBEdit(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& name)
    : QLineEdit(parent), m_link([this](const DataEventInfo& e) { onEvent(e); }) {
    m_link.setOwner(this);
    if (!name.isEmpty()) setObjectName(name);
    m_link.setFieldName(fieldName);
    connect(this, &QLineEdit::textEdited, this, [this] { userEdited(); });
    connect(this, &QLineEdit::inputRejected, this, [this] { textoRecusado(); });
    setDataSource(ds);
}

void DBEdit::setDataSource(DataSource* ds) {
    m_link.setDataSource(ds);
    if (ds) m_everBound = true;
    refresh();
}

void DBEdit::setDataField(const QString& fieldName) {
    m_link.setFieldName(fieldName);
    refresh();
}

void DBEdit::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    applyReadOnly();
}

bool DBEdit::effectiveReadOnly() const {
    return m_readOnly || (bound() && !m_link.canModify());
}

void DBEdit::applyReadOnly() {
    QLineEdit::setReadOnly(effectiveReadOnly());
}

void DBEdit::onEvent(const DataEventInfo& e) {
    if (m_busy || !concernsField(e, m_link)) return;
    if (e.kind != DataEvent::FieldChanged) m_entryHeld = false; // another record or state
    refresh();
}

QString DBEdit::textForValue(const Field& f, bool editing) const {
    return editing ? fieldtext::editText(f, f.value()) : f.displayText();
}

fieldtext::Parsed DBEdit::parseText(const Field& f, const QString& text) const {
    return fieldtext::parse(f, text);
}

namespace {
// Refuses, as they are typed or pasted, characters the database cannot store, and remembers
// the refused text so the edit can say why.
class TextoBancoValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        const qsizetype bad = cp1252::firstUnencodable(input);
        if (bad < 0) return Acceptable;
        recusado = input;
        posicao = bad;
        return Invalid;
    }
    mutable QString recusado;
    mutable qsizetype posicao = -1;
};
} // namespace

void DBEdit::applyFieldProperties(const Field* f) {
    const bool text = f && (f->kind() == FieldKind::String || f->kind() == FieldKind::FixedChar);
    setMaxLength(text && f->size() > 0 ? f->size() : 32767);
    const QString pattern = f ? fieldtext::inputPattern(*f) : QString();
    auto* v = qobject_cast<const QRegularExpressionValidator*>(validator());
    if (text && f->dataSet() && f->dataSet()->fromDatabase()) {
        if (!dynamic_cast<const TextoBancoValidator*>(validator()))
            setValidator(new TextoBancoValidator(this));
    } else if (pattern.isEmpty()) {
        if (validator()) setValidator(nullptr);
    } else if (!v || v->regularExpression().pattern() != pattern) {
        setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
    }
}

void DBEdit::textoRecusado() {
    auto* v = dynamic_cast<const TextoBancoValidator*>(validator());
    if (!v || v->posicao < 0) return;
    const QString texto = v->recusado;
    const qsizetype at = v->posicao;
    v->posicao = -1;
    Field* f = field();
    const QString nome = f ? f->displayLabel() : objectName();
    guarded([&] { warn(cp1252::refusal(QStringLiteral("O campo \"%1\"").arg(nome), texto, at)); });
}

void DBEdit::refresh() {
    if (!bound()) {
        applyReadOnly();
        return;
    }
    Field* f = m_link.field();
    applyFieldProperties(f);
    applyReadOnly();
    if (!f) {
        if (!showing(QString())) setText(QString());
        return;
    }
    DataSet* ds = f->dataSet();
    const bool editing = ds->editing();
    // While the user is typing, a text that stands for the field's value stays as typed
    // ("1,50" is not replaced by "1,5").
    if (editing && hasFocus()) {
        fieldtext::Parsed p = parseText(*f, shownText());
        if (p.ok && fieldtext::sameValue(p.value, f->value())) return;
    }
    const QString t = textForValue(*f, editing);
    if (!showing(t)) setText(t);
}

bool DBEdit::userEdited() {
    if (m_busy) return true;
    if (!bound()) {
        freeTextEdited();
        return true;
    }
    if (!m_link.canModify()) {
        refresh();
        return false;
    }
    const QString typed = shownText();
    const int cursor = cursorPosition();
    const bool kept = guarded([&] {
        FlagScope busy(m_busy);
        m_link.edit();
        Field* f = m_link.field();
        if (!f) throw SilentAbort();
        if (!m_entryHeld) {
            m_entryValue = f->value();
            m_entryHeld = true;
        }
        fieldtext::Parsed p = parseText(*f, shownText());
        // An unfinished value waits for more typing, and meanwhile the field holds what it held
        // before: a save started now never stores a value passed on the way (31/03 while
        // typing 31/02). The exit check deals with what is left.
        const QVariant target = p.ok ? p.value : m_entryValue;
        if (!fieldtext::sameValue(target, f->value())) f->setValue(target);
    });
    if (!kept) {
        refresh();
        return false;
    }
    // Events were not shown back while we wrote; make sure the typed text is what is shown.
    if (shownText() != typed) {
        setText(typed);
        setCursorPosition(cursor);
    }
    return true;
}

bool DBEdit::validate() {
    if (!bound()) return validateFree();
    Field* f = m_link.field();
    if (!f || !f->dataSet()->editing() || isReadOnly()) return true;
    fieldtext::Parsed p = parseText(*f, shownText());
    if (p.ok) {
        // Normally written already; a text that became valid only now is written here.
        if (!fieldtext::sameValue(p.value, f->value())) {
            bool ok = guarded([&] {
                FlagScope busy(m_busy);
                f->setValue(p.value);
            });
            if (!ok) refresh();
            return ok;
        }
        return true;
    }
    // Put the value back before the message: the message box takes the focus, and the edit
    // must not complain twice.
    const QString message = p.error;
    if (m_entryHeld && !fieldtext::sameValue(m_entryValue, f->value())) {
        guarded([&] {
            FlagScope busy(m_busy);
            f->setValue(m_entryValue);
        });
    }
    m_entryHeld = false;
    const QString shown = textForValue(*f, true);
    if (!showing(shown)) setText(shown);
    guarded([&] { warn(message); });
    return false;
}

void DBEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
        m_entryHeld = false;
}

void DBEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // A popup (the calendar, a menu) or another application taking the focus is no exit.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
    validate();
    m_entryHeld = false;
}

void DBEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) validate();
    QLineEdit::keyPressEvent(e);
}
