#pragma once
// A line edit bound to one field of a data source.
//
// Writing model: while the dataset is in edit or insert state every change the user makes is
// written to the field at once (as soon as the text is a valid value of the field's kind), so
// a save started from the toolbar or a function key, with the focus still in the edit, posts
// exactly what is shown. The first change made while the dataset is browsing calls
// DataSet::edit(); when that is refused (the screen's state handler throws SilentAbort for a
// user without the right to edit, say) the edit shows the field's value again and the record
// stays untouched. A text that is not (yet) a valid value ("1,5" half typed as "-", a date
// still incomplete) is not written: while it is shown the field holds the value it had when
// the user began changing it in this edit (a valid date passed on the way while typing another
// is undone), and leaving the edit, or pressing Enter, with such a text shows a message and
// shows that value again.
//
// Browse state shows Field::displayText; edit and insert state show the edit text (numbers
// without digit grouping). Changes that screens make go through the field, not through the
// control's text: setText() only changes what is shown until the next data event.
#include "screens/controls/DataLink.h"
#include "screens/controls/FieldText.h"
#include <QLineEdit>

class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    DBEdit(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& name = QString());

    DataSource* dataSource() const { return m_link.dataSource(); }
    void setDataSource(DataSource* ds);
    const QString& dataField() const { return m_link.fieldName(); }
    void setDataField(const QString& fieldName);
    // The bound field of the open dataset (nullptr when unbound, closed or unknown).
    Field* field() const { return m_link.field(); }

    // The screen's read-only choice. The edit is also read-only while its field cannot be
    // changed (dataset closed, unknown, read-only or lookup field); isReadOnly() tells the
    // effective state. Hides QLineEdit::setReadOnly, which would be overridden by the next
    // data event.
    void setReadOnly(bool readOnly);
    bool readOnlyOption() const { return m_readOnly; }

    // Shows the field's value again (record moved, state changed, value set by code).
    void refresh();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

    // Hooks for the masked date edit.
    virtual QString textForValue(const Field& f, bool editing) const;
    virtual fieldtext::Parsed parseText(const Field& f, const QString& text) const;
    virtual void applyFieldProperties(const Field* f);
    // What the user sees, mask blanks included.
    virtual QString shownText() const { return text(); }
    // Whether the edit shows what setText(t) would show.
    virtual bool showing(const QString& t) const { return text() == t; }
    // Called with the user's text when the edit is not bound (free use on a parameter screen).
    virtual void freeTextEdited() {}
    // Validation of a free edit on exit; returns false after a message.
    virtual bool validateFree() { return true; }

    // Runs the user's change: enters edit state when needed and writes the value; shows the
    // field again when the change is refused. Returns whether the change was kept.
    bool userEdited();
    // Leaving the edit or Enter: a text that is no valid value gives a message and the field's
    // value comes back. Returns false in that case.
    bool validate();
    bool bound() const { return m_everBound; }
    // Shows a value's text in place of what is shown; a masked edit puts the cursor at its start.
    void mostraTexto(const QString& t);
    bool effectiveReadOnly() const;

    FieldLink m_link;

private:
    void onEvent(const DataEventInfo& e);
    // A post begins: the text shown is written, or the post is refused with its message when
    // the field cannot take it (an impossible date, a number half typed).
    void gravaTextoMostrado();
    void applyReadOnly();
    // The field's name in messages.
    QString nomeDoCampo() const;

    bool m_readOnly = false;
    bool m_busy = false;      // our own write is running: its events are not shown back
    bool m_everBound = false; // bound once: an unbound edit then shows nothing
    QVariant m_entryValue;    // the field's value before the user's first change here
    bool m_entryHeld = false;
};
