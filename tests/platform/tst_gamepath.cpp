#include "platform/gamepath.h"
#include "platform/twips.h"

#include "../common/testgame.h"

#include <QTest>

class tst_GamePath : public QObject
{
    Q_OBJECT

private slots:
    void componentsAreFoundWithoutRegardToCase()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"), "x"));
        const QString expected = game.path() + QStringLiteral("/Data/INI/Object/FactionUnit.ini");
        QCOMPARE(GamePaths::join(game.path(), QStringLiteral("\\DATA\\ini\\object\\factionunit.INI")), expected);
        QCOMPARE(GamePaths::nativePath(game.path() + QStringLiteral("\\Data\\INI\\Object\\FactionUnit.ini")), expected);
        QVERIFY(GamePaths::FileExists(game.path() + QStringLiteral("\\data\\ini\\OBJECT\\factionunit.ini")));
    }

    void exactCaseWinsOverAnotherSpelling()
    {
        TestGame game;
        QVERIFY(game.write(QStringLiteral("Weapon.ini"), "a"));
        QVERIFY(game.write(QStringLiteral("weapon.ini"), "b"));
        QCOMPARE(GamePaths::join(game.path(), QStringLiteral("weapon.ini")), game.path() + QStringLiteral("/weapon.ini"));
        QCOMPARE(GamePaths::join(game.path(), QStringLiteral("Weapon.ini")), game.path() + QStringLiteral("/Weapon.ini"));
    }

    void missingComponentsAreKeptAsWritten()
    {
        TestGame game;
        QCOMPARE(GamePaths::join(game.path() + QStringLiteral("\\"), QStringLiteral("\\Data\\New\\File.ini")),
                 game.path() + QStringLiteral("/Data/New/File.ini"));
        QVERIFY(!GamePaths::FileExists(game.path() + QStringLiteral("/Data/New/File.ini")));
    }

    void folderIsNotAFile()
    {
        TestGame game;
        QVERIFY(game.write(QStringLiteral("Data/INI/Weapon.ini/inner"), "x"));
        QVERIFY(!GamePaths::FileExists(game.path() + QStringLiteral("\\Data\\INI\\Weapon.ini")));
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
        QCOMPARE(Twips::toPixels(1440, 96), 96);
        QCOMPARE(Twips::toPixels(3000, 96), 200);
        QCOMPARE(Twips::fromPixels(200, 96), 3000);
        QCOMPARE(Twips::fromPixels(144, 144), 1440);
    }
};

QTEST_GUILESS_MAIN(tst_GamePath)
#include "tst_gamepath.moc"
