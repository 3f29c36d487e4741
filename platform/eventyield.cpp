#include "eventyield.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace {

constexpr qint64 kIntervalMs = 10;

QElapsedTimer &timer()
{
    static QElapsedTimer t;
    return t;
}

} // namespace

namespace EventYield {

thread_local unsigned g_calls = 0;

void yieldSlow()
{
    const QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
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
