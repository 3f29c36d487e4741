#include "eventyield.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

constexpr qint64 kIntervalMs = 10;

QElapsedTimer &timer()
{
    static QElapsedTimer t;
    return t;
}

} // namespace

namespace EventYield {

unsigned g_calls = 0;

void yieldSlow()
{
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
    g_calls = 31;
}

} // namespace EventYield
