#pragma once
// A masked date edit ("99/99/9999", dd/MM/yyyy) with a small calendar button, bound to a date
// field; it writes like DBEdit (each change while editing, once the date is complete).
//
// The blank mask "  /  /    " is null. An incomplete or impossible date ("31/02/2024") is never
// written: leaving the edit or pressing Enter with one shows "Data inválida" and the field keeps
// its value. The calendar button opens a calendar popup; choosing a day acts as typing it.
//
// Without a data source the edit is a free date field (the period fields of the report screens):
// date()/setDate() read and set it, and an invalid date is answered the same way, the date it
// held when the user entered it coming back.
#include "screens/controls/DBEdit.h"
#include <QDate>

class QCalendarWidget;
class QFrame;
class QToolButton;

class DBDateEdit : public DBEdit {
    Q_OBJECT
public:
    DBDateEdit(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& name = QString());
    // A free date field.
    explicit DBDateEdit(QWidget* parent, const QString& name = QString());

    // The date shown (invalid when blank or not a date).
    QDate date() const;
    // Bound: changes the field as the user would (edit state first; the refusal of the edit
    // propagates). Free: shows the date (an invalid date empties the field).
    void setDate(const QDate& d);

    QToolButton* calendarButton() const { return m_button; }
    // The popup calendar (created on first use).
    QCalendarWidget* calendar();
    bool calendarVisible() const;
    // Opens the calendar under the edit on the shown date, or today when blank.
    void showCalendar();

    static QString emptyMask() { return QStringLiteral("  /  /    "); }

signals:
    // The free field's date changed by the user (typing or the calendar).
    void dateEdited(const QDate& date);

protected:
    QString textForValue(const Field& f, bool editing) const override;
    fieldtext::Parsed parseText(const Field& f, const QString& text) const override;
    void applyFieldProperties(const Field* f) override;
    QString shownText() const override { return displayText(); }
    bool showing(const QString& t) const override { return displayText() == (t.isEmpty() ? emptyMask() : t); }
    void freeTextEdited() override;
    bool validateFree() override;
    void resizeEvent(QResizeEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    void setUp();
    void chooseDate(const QDate& d);
    static fieldtext::Parsed parseMasked(const QString& shown);

    QToolButton* m_button = nullptr;
    QFrame* m_popup = nullptr;
    QCalendarWidget* m_calendar = nullptr;
    QDate m_freeDate;  // last valid date of a free field
    QDate m_entryDate; // its date when the user entered it
};
