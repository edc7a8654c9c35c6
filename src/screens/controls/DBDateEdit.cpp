#include "screens/controls/DBDateEdit.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFrame>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A small drawn calendar sheet; the platform style has no calendar icon.
QIcon calendarIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 12);
    p.fillRect(2, 3, 12, 3, QColor(180, 40, 40));
    for (int y = 8; y <= 12; y += 2)
        for (int x = 3; x <= 12; x += 3)
            p.drawPoint(x, y);
    return QIcon(pm);
}

} // namespace

DBDateEdit::DBDateEdit(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& name)
    : DBEdit(parent, nullptr, fieldName, name) {
    setUp();
    setDataSource(ds);
}

DBDateEdit::DBDateEdit(QWidget* parent, const QString& name) : DBEdit(parent, nullptr, QString(), name) {
    setUp();
}

void DBDateEdit::setUp() {
    setInputMask(QStringLiteral("99/99/9999; "));
    m_button = new QToolButton(this);
    m_button->setObjectName(QStringLiteral("btnCalendario"));
    m_button->setIcon(calendarIcon());
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setAutoRaise(true);
    m_button->setToolTip(QStringLiteral("Calendário"));
    connect(m_button, &QToolButton::clicked, this, [this] { guarded([this] { showCalendar(); }); });
    const int w = 20;
    setTextMargins(0, 0, w, 0);
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + w + 8);
}

void DBDateEdit::resizeEvent(QResizeEvent* e) {
    DBEdit::resizeEvent(e);
    const int w = 20;
    m_button->setGeometry(width() - w - 2, 2, w, height() - 4);
}

fieldtext::Parsed DBDateEdit::parseMasked(const QString& shown) {
    QString digits = shown;
    digits.remove('/');
    if (digits.trimmed().isEmpty()) return fieldtext::Parsed{true, QVariant(), QString()};
    QDate d;
    if (!digits.contains(' ')) d = QDate::fromString(shown, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid() || d.year() < 1)
        return fieldtext::Parsed{false, QVariant(), QStringLiteral("Data inválida")};
    return fieldtext::Parsed{true, d, QString()};
}

fieldtext::Parsed DBDateEdit::parseText(const Field& f, const QString& text) const {
    fieldtext::Parsed p = parseMasked(text);
    if (p.ok && !p.value.isNull() && f.kind() == FieldKind::DateTime) {
        // A date-time keeps its time of day when only the day changes.
        QDateTime old = f.asDateTime();
        p.value = QDateTime(p.value.toDate(), old.isValid() ? old.time() : QTime(0, 0));
    }
    return p;
}

QString DBDateEdit::textForValue(const Field& f, bool) const {
    const QDate d = f.asDate();
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

void DBDateEdit::applyFieldProperties(const Field*) {} // the mask decides what can be typed

QDate DBDateEdit::date() const {
    fieldtext::Parsed p = parseMasked(displayText());
    return p.ok ? p.value.toDate() : QDate();
}

void DBDateEdit::setDate(const QDate& d) {
    if (!bound()) {
        m_freeDate = m_entryDate = d.isValid() ? d : QDate();
        mostraTexto(m_freeDate.isValid() ? m_freeDate.toString(QStringLiteral("dd/MM/yyyy")) : QString());
        return;
    }
    Field* f = m_link.field();
    if (!f) return;
    m_link.edit();
    fieldtext::Parsed p = parseText(*f, d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : emptyMask());
    f->setValue(p.value);
}

void DBDateEdit::freeTextEdited() {
    fieldtext::Parsed p = parseMasked(displayText());
    if (!p.ok) return;
    const QDate d = p.value.toDate();
    if (d == m_freeDate) return;
    m_freeDate = d;
    emit dateEdited(d);
}

void DBDateEdit::focusInEvent(QFocusEvent* e) {
    DBEdit::focusInEvent(e);
    if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
        m_entryDate = m_freeDate;
}

bool DBDateEdit::validateFree() {
    if (parseMasked(displayText()).ok) {
        m_entryDate = m_freeDate;
        return true;
    }
    const bool changed = m_freeDate != m_entryDate;
    m_freeDate = m_entryDate;
    mostraTexto(m_freeDate.isValid() ? m_freeDate.toString(QStringLiteral("dd/MM/yyyy")) : QString());
    if (changed) emit dateEdited(m_freeDate);
    guarded([] { warn(QStringLiteral("Data inválida")); });
    return false;
}

QCalendarWidget* DBDateEdit::calendar() {
    if (m_calendar) return m_calendar;
    m_popup = new QFrame(this, Qt::Popup);
    m_popup->setFrameShape(QFrame::Box);
    auto* layout = new QVBoxLayout(m_popup);
    layout->setContentsMargins(1, 1, 1, 1);
    m_calendar = new QCalendarWidget(m_popup);
    m_calendar->setObjectName(QStringLiteral("calendario"));
    m_calendar->setLocale(fieldtext::locale());
    m_calendar->setGridVisible(true);
    layout->addWidget(m_calendar);
    connect(m_calendar, &QCalendarWidget::clicked, this, [this](QDate d) { chooseDate(d); });
    connect(m_calendar, &QCalendarWidget::activated, this, [this](QDate d) { chooseDate(d); });
    return m_calendar;
}

bool DBDateEdit::calendarVisible() const {
    return m_popup && m_popup->isVisible();
}

void DBDateEdit::showCalendar() {
    if (isReadOnly()) return;
    QCalendarWidget* cal = calendar();
    const QDate shown = date();
    cal->setSelectedDate(shown.isValid() ? shown : appClock().today());
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    cal->setFocus(Qt::PopupFocusReason);
}

void DBDateEdit::chooseDate(const QDate& d) {
    if (m_popup) m_popup->hide();
    if (!d.isValid() || isReadOnly()) return;
    setFocus(Qt::OtherFocusReason);
    // The chosen day goes the way a typed one goes: edit state first, refusal shows the old date.
    setText(d.toString(QStringLiteral("dd/MM/yyyy")));
    userEdited();
}
