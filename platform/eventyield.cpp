#include "eventyield.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

constexpr qint64 kIntervalMs = 10;
// Reading the clock costs more than the rest of a line's work, so it is only
// looked at every few calls.
constexpr unsigned kCallsPerClockCheck = 32;

QElapsedTimer &timer()
{
    static QElapsedTimer t;
    return t;
}

unsigned g_calls = 0;

} // namespace

namespace EventYield {

void yield()
{
    if (++g_calls % kCallsPerClockCheck != 0 && timer().isValid())
        return;
    if (!QCoreApplication::instance())
        return;
    if (timer().isValid() && timer().elapsed() < kIntervalMs)
        return;
    timer().start();
    QCoreApplication::processEvents();
}

void reset()
{
    timer().invalidate();
}

} // namespace EventYield
