#include "platform/Clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>

namespace {
Clock* g_installed = nullptr;
}

QDate SystemClock::today() const {
    return QDate::currentDate();
}

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

void SystemClock::sleepMs(int ms) {
    QElapsedTimer timer;
    timer.start();
    for (qint64 left = ms; left > 0; left = ms - timer.elapsed()) {
        if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents, int(left));
        // processEvents returns as soon as nothing is pending; a short nap keeps the loop from spinning.
        const qint64 nap = std::min<qint64>(ms - timer.elapsed(), 10);
        if (nap > 0) QThread::msleep(static_cast<unsigned long>(nap));
    }
}

Clock& appClock() {
    static SystemClock systemClock;
    return g_installed ? *g_installed : systemClock;
}

Clock* installClock(Clock* clock) {
    Clock* previous = g_installed;
    g_installed = clock;
    return previous;
}

FixedClock::FixedClock(const QDateTime& now) : m_now(now) {}

void FixedClock::sleepMs(int ms) {
    m_sleeps.push_back(ms);
    if (ms > 0) advanceMs(ms);
}
