#include "platform/gamepath.h"
#include "platform/twips.h"

#include "../common/testgame.h"

#include <QTest>

class tst_GamePath : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_GUILESS_MAIN(tst_GamePath)
#include "tst_gamepath.moc"
