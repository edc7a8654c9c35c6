#include "screens/controls/DBEdit.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "screens/controls/TextoColuna.h"
#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QTimer>

namespace {

// Takes the mouse press that is on its way to a button: the click that left an edit with a value
// it refused must not act with the value the edit shows again (a print with the old date, a
// save). It goes with the first press or double click it takes.
class CliqueRecusado : public QObject {
public:
    explicit CliqueRecusado(QAbstractButton* botao) : QObject(botao) { botao->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonDblClick) return false;
        deleteLater();
        return true;
    }
};

} // namespace

DBEdit::DBEdit(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& name)
    : QLineEdit(parent), m_link([this](const DataEventInfo& e) { onEvent(e); }) {
    m_link.setOwner(this);
    if (!name.isEmpty()) setObjectName(name);
    m_link.setFieldName(fieldName);
    connect(this, &QLineEdit::textEdited, this, [this] { userEdited(); });
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
    if (e.kind == DataEvent::UpdateRecord) {
        gravaTextoMostrado();
        return;
    }
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

void DBEdit::applyFieldProperties(const Field* f) {
    const bool text = f && (f->kind() == FieldKind::String || f->kind() == FieldKind::FixedChar);
    if (text) {
        // Typed or pasted, a text the column cannot hold (too long, or with a character outside
        // the database's alphabet) is refused whole with a message; what was there stays.
        const int largura = f->size() > 0 ? f->size() : 0;
        const bool banco = f->dataSet() && f->dataSet()->fromDatabase();
        auto* atual = qobject_cast<const TextoColunaValidator*>(validator());
        if (!atual || atual->largura() != largura || atual->soCp1252() != banco)
            TextoColunaValidator::install(this, largura, banco, [this] { return nomeDoCampo(); });
        return;
    }
    setMaxLength(32767);
    const QString pattern = f ? fieldtext::inputPattern(*f) : QString();
    auto* v = qobject_cast<const QRegularExpressionValidator*>(validator());
    if (pattern.isEmpty()) {
        if (validator()) setValidator(nullptr);
    } else if (!v || v->regularExpression().pattern() != pattern) {
        setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
    }
}

QString DBEdit::nomeDoCampo() const {
    Field* f = field();
    return textocoluna::nomeDoCampo(this, f ? f->displayLabel() : QString(), f ? f->fieldName() : QString());
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
        if (!showing(QString())) mostraTexto(QString());
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
    if (!showing(t)) mostraTexto(t);
}

void DBEdit::mostraTexto(const QString& t) {
    setText(t);
    // A masked edit left with the cursor after its mask would drop what is typed next.
    if (!inputMask().isEmpty()) setCursorPosition(0);
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

void DBEdit::gravaTextoMostrado() {
    // Only a text the user is changing here can differ from the field: the rest is written as it
    // is typed, and leaving the edit settles what is left.
    if (!bound() || !m_entryHeld || m_busy) return;
    Field* f = m_link.field();
    if (!f || !f->dataSet()->editing() || isReadOnly()) return;
    fieldtext::Parsed p = parseText(*f, shownText());
    if (p.ok) {
        if (!fieldtext::sameValue(p.value, f->value())) {
            FlagScope busy(m_busy);
            f->setValue(p.value);
        }
        return;
    }
    // The record stays in its state with the text as typed (the focus is still here); the user
    // corrects it and saves again.
    warnAndAbort(p.error);
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
    if (!showing(shown)) mostraTexto(shown);
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
    const bool aceito = validate();
    m_entryHeld = false;
    if (aceito || e->reason() != Qt::MouseFocusReason) return;
    // Left by a click on a button of the same window: the click is refused with the value, and
    // the user is back in the edit to correct it.
    auto* botao = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (!botao || botao->window() != window()) return;
    new CliqueRecusado(botao);
    QTimer::singleShot(0, this, [self = QPointer<DBEdit>(this)] {
        if (self && self->isVisible() && self->isEnabled()) self->setFocus(Qt::OtherFocusReason);
    });
}

void DBEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) validate();
    QLineEdit::keyPressEvent(e);
}
