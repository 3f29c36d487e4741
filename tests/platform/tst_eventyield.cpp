#include "platform/eventyield.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

class tst_EventYield : public QObject
{
    Q_OBJECT

private slots:
    // A long loop that only calls yield() must still let timers fire, and
    // must not run the event loop on every call.
    void longLoopLetsTimersRunButThrottlesLoopTurns()
    {
        int fired = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&fired] { ++fired; });
        timer.start(1);
        qint64 calls = 0;
        QElapsedTimer clock;
        for (clock.start(); clock.elapsed() < 200; ++calls)
            EventYield::yield();
        QVERIFY2(fired > 0, "no timer event was delivered while yielding");
        // At most one loop turn per ~10 ms: 200 ms cannot deliver hundreds.
        QVERIFY2(fired < 60, qPrintable(QString::number(fired)));
        QVERIFY(calls > fired * 10);
    }
};

QTEST_GUILESS_MAIN(tst_EventYield)
#include "tst_eventyield.moc"
