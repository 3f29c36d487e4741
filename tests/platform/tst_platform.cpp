#include "manualedit/settingsstore.h"
#include "platform/codepage.h"
#include "platform/eventyield.h"
#include "platform/gamepath.h"
#include "platform/twips.h"
#include "platform/windowplacement.h"

#include "../common/testgame.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

class tst_Platform : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;

private slots:
    void initTestCase()
    {
        SettingsStore::redirectTo(m_settings.path());
    }

    // Every byte decodes to one character and back; outside 0x80-0x9F
    // (and NUL too) the character has the byte's own code.
    void everyByteRoundTrips()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all += char(i);
        const QString text = CodePage::decode(all);
        QCOMPARE(text.size(), 256);
        for (int i = 0; i < 256; ++i)
            QVERIFY(text[i].unicode() == i || (i >= 0x80 && i <= 0x9F));
        QCOMPARE(CodePage::encode(text), all);
        QVERIFY(CodePage::canEncode(text));
    }

    // A text of ASCII alone is its own UTF-8 and is shared, not copied; a
    // single other byte anywhere, even in the last few, is converted.
    void asciiTextIsItsOwnUtf8()
    {
        const QByteArray ascii = QByteArray("BuildCost = 700\r\n").repeated(9);
        const QByteArray same = CodePage::toUtf8(ascii);
        QCOMPARE(same, ascii);
        QCOMPARE(same.constData(), ascii.constData());
        for (qsizetype at = 0; at < ascii.size(); ++at) {
            QByteArray text = ascii;
            text[at] = char(0x80);
            QCOMPARE(CodePage::toUtf8(text), CodePage::toUtf8(text.constData(), text.size()));
            QCOMPARE(CodePage::toUtf8(text).size(), ascii.size() + 2);
        }
    }

    // The bytes where Windows-1252 differs from Latin-1, one by one.
    void bytes80To9FDecodeToTheirCharacters()
    {
        static const char16_t expected[32] = {
            0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
        };
        for (int b = 0x80; b <= 0x9F; ++b)
            QCOMPARE(CodePage::decode(QByteArray(1, char(b))), QString(QChar(expected[b - 0x80])));
    }

    void charactersOutsideTheCodePageBecomeQuestionMarks()
    {
        const QString text = QStringLiteral("a\u4E2Db\u0100");
        QCOMPARE(CodePage::encode(text), QByteArray("a?b?"));
        QVERIFY(!CodePage::canEncode(text));
    }

    // Existing components are found without regard to case, the exact
    // spelling winning; missing ones are kept as written.
    void componentsAreMatchedToTheDisk()
    {
        TestGame game;
        const QString g = game.path();
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"), "x"));
        QVERIFY(game.write(QStringLiteral("Weapon.ini"), "a") && game.write(QStringLiteral("weapon.ini"), "b"));
        QVERIFY(game.write(QStringLiteral("Data/INI/Armor.ini/inner"), "x"));
        const QString unit = g + QStringLiteral("/Data/INI/Object/FactionUnit.ini");
        QCOMPARE(GamePaths::join(g, QStringLiteral("\\DATA\\ini\\object\\factionunit.INI")), unit);
        QCOMPARE(GamePaths::nativePath(g + QStringLiteral("\\Data\\INI\\Object\\FactionUnit.ini")), unit);
        QVERIFY(GamePaths::FileExists(g + QStringLiteral("\\data\\ini\\OBJECT\\factionunit.ini")));
        QCOMPARE(GamePaths::join(g, QStringLiteral("weapon.ini")), g + QStringLiteral("/weapon.ini"));
        QCOMPARE(GamePaths::join(g, QStringLiteral("Weapon.ini")), g + QStringLiteral("/Weapon.ini"));
        QCOMPARE(GamePaths::join(g + QStringLiteral("\\"), QStringLiteral("\\Data\\New\\File.ini")),
                 g + QStringLiteral("/Data/New/File.ini"));
        QVERIFY(!GamePaths::FileExists(g + QStringLiteral("/Data/New/File.ini")));
        QVERIFY(!GamePaths::FileExists(g + QStringLiteral("\\Data\\INI\\Armor.ini"))); // a folder
    }

    void driveLettersMapIntoTheWinePrefix()
    {
        const QString wine = QDir::homePath() + QStringLiteral("/.wine/");
        QCOMPARE(GamePaths::nativePath(QStringLiteral("C:\\Program Files\\Ostrel\\Torvane")),
                 wine + QStringLiteral("drive_c/Program Files/Ostrel/Torvane"));
        QCOMPARE(GamePaths::nativePath(QStringLiteral("d:\\Games")), wine + QStringLiteral("dosdevices/d:/Games"));
    }

    void twipsFollowTheLogicalDpi()
    {
        QCOMPARE(Twips::toPixels(3000, 96), 200);
        QCOMPARE(Twips::fromPixels(200, 96), 3000);
        QCOMPARE(Twips::fromPixels(144, 144), 1440);
    }

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

QTEST_MAIN(tst_Platform)
#include "tst_platform.moc"
