#pragma once
// Date, time and the fixed pauses of the program. Production code reaches them only through
// appClock(); tests install a FixedClock.
#include "platform/Seam.h"

#include <QDate>
#include <QDateTime>
#include <vector>

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    virtual QDateTime now() const = 0;
    // Waits the given time; the system clock keeps window messages running meanwhile.
    virtual void sleepMs(int ms) = 0;
};

class SystemClock : public Clock {
public:
    QDate today() const override;
    QDateTime now() const override;
    void sleepMs(int ms) override;
};

Clock& appClock(); // not clock(): that name belongs to <ctime>
// Installs an implementation (nullptr restores the default) and returns the previous one.
Clock* installClock(Clock* clock);
using ScopedClock = ScopedSeam<Clock, &installClock>;

// Test double: a clock that stands still until told otherwise. sleepMs returns at once,
// records the wait and moves the clock on by it.
class FixedClock : public Clock {
public:
    explicit FixedClock(const QDateTime& now = QDateTime(QDate(2024, 3, 15), QTime(10, 30, 0)));

    QDate today() const override { return m_now.date(); }
    QDateTime now() const override { return m_now; }
    void sleepMs(int ms) override;

    void setNow(const QDateTime& now) { m_now = now; }
    // Keeps the time of day.
    void setToday(const QDate& date) { m_now.setDate(date); }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }
    // Every wait asked for, in order.
    const std::vector<int>& sleeps() const { return m_sleeps; }

private:
    QDateTime m_now;
    std::vector<int> m_sleeps;
};
