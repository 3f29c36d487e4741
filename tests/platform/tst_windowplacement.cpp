#include "manualedit/settingsstore.h"
#include "platform/windowplacement.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

class tst_WindowPlacement : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;

private slots:
    void initTestCase()
    {
        SettingsStore::redirectTo(m_settings.path());
    }

    void placementRoundTripsInTwips()
    {
        QWidget w;
        w.setObjectName(QStringLiteral("FrmTest"));
        w.setGeometry(40, 50, 300, 200);
        WindowPlacement::SaveWindowPos(&w);
        QCOMPARE(Settings::readWindowValue(QStringLiteral("FrmTest"), "_Width", QString()),
                 QString::number(WindowPlacement::toTwips(&w, 300)));
        QCOMPARE(Settings::readWindowValue(QStringLiteral("FrmTest"), "WindowState", QString()), QStringLiteral("0"));
        w.setGeometry(0, 0, 100, 100);
        WindowPlacement::LoadWindowPos(&w);
        QVERIFY(qAbs(w.width() - 300) <= 1 && qAbs(w.height() - 200) <= 1);
    }

    // With no placement stored, the window manager places a window, or it
    // is centred on its owner; it is never pushed to 0,0.
    void nothingStoredLeavesThePlacingToThePlatform()
    {
        QWidget free;
        free.setObjectName(QStringLiteral("FrmFree"));
        free.resize(200, 100);
        WindowPlacement::LoadWindowPos(&free);
        QVERIFY(!free.testAttribute(Qt::WA_Moved));
        QCOMPARE(free.size(), QSize(200, 100));

        QWidget owner;
        owner.setGeometry(300, 200, 400, 300);
        QWidget owned(&owner, Qt::Window);
        owned.setObjectName(QStringLiteral("FrmOwned"));
        owned.resize(100, 80);
        WindowPlacement::LoadWindowPos(&owned);
        QCOMPARE(owned.pos(), owner.frameGeometry().center() - QPoint(50, 40));
    }

    void maximisedWindowKeepsItsNormalPlacement()
    {
        Settings::writeWindowValue(QStringLiteral("FrmMax"), "_Width", QStringLiteral("4000"));
        QWidget w;
        w.setObjectName(QStringLiteral("FrmMax"));
        w.setGeometry(0, 0, 500, 400);
        w.setWindowState(Qt::WindowMaximized);
        WindowPlacement::SaveWindowPos(&w);
        QCOMPARE(Settings::readWindowValue(QStringLiteral("FrmMax"), "WindowState", QString()), QStringLiteral("2"));
        QCOMPARE(Settings::readWindowValue(QStringLiteral("FrmMax"), "_Width", QString()), QStringLiteral("4000"));
    }

    void valuesBeyondSixteenBitsAreSkipped()
    {
        Settings::writeWindowValue(QStringLiteral("FrmBig"), "_Width", QStringLiteral("40000"));
        Settings::writeWindowValue(QStringLiteral("FrmBig"), "_Height", QStringLiteral("junk"));
        Settings::writeWindowValue(QStringLiteral("FrmBig"), "_Left", QString::number(WindowPlacement::toTwips(nullptr, 70)));
        QWidget w;
        w.setObjectName(QStringLiteral("FrmBig"));
        w.setGeometry(10, 10, 321, 123);
        WindowPlacement::LoadWindowPos(&w);
        QCOMPARE(w.size(), QSize(321, 123));
        QVERIFY(qAbs(w.x() - 70) <= 1);
    }
};

QTEST_MAIN(tst_WindowPlacement)
#include "tst_windowplacement.moc"
