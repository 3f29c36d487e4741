#include "engine/datacheck.h"

#include "../common/testgame.h"

#include <QDirIterator>
#include <QTest>

class tst_DataCheck : public QObject
{
    Q_OBJECT

private slots:
    void stockDataHasNoProblems()
    {
        const QList<DataProblem> problems = DataCheck::check(QStringLiteral(ZARNITH_STOCK_DIR));
        QStringList shown;
        for (const DataProblem &p : problems)
            shown << p.file + QLatin1Char(':') + QString::number(p.line) + QLatin1Char(' ') + p.message;
        QVERIFY2(problems.isEmpty(), qPrintable(shown.join(QLatin1Char('\n'))));
    }

    void everyKindOfProblemIsFoundWhereItIs()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"),
                              crlf({"Object Tank",                          // 1
                                    "  CommandSet = NoSuchSet",             // 2
                                    "  Locomotor = SET_NORMAL Treads",      // 3
                                    "  Locomotor = SET_NORMAL Hover ; gone",// 4
                                    "  WeaponSet",                          // 5
                                    "    Weapon = PRIMARY Cannon",          // 6
                                    "    Weapon = SECONDARY Laser",         // 7
                                    "    Weapon = TERTIARY None",           // 8
                                    "  End",                                // 9
                                    "  ArmorSet",                           // 10
                                    "    Armor = Plate",                    // 11
                                    "    ;Armor = Paper",                   // 12
                                    "  End",                                // 13
                                    "End",                                  // 14
                                    "Object Jeep",                          // 15
                                    "  Armor = plate",                      // 16
                                    "Object tank",                          // 17
                                    "End"})));                              // 18
        QVERIFY(game.writeIni(QStringLiteral("Weapon.ini"), crlf({"Weapon Cannon", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("armor.ini"), crlf({"Armor Plate", "  Armor = DEFAULT 100%", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Locomotor.ini"), crlf({"Locomotor Treads", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("CommandButton.ini"), crlf({"CommandButton Command_Stop", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("CommandSet.ini"),
                              QByteArray("CommandSet Set1\r\n  1 = Command_Stop\r\n  2 = Command_Go\r\n  ; 3 = Command_X\r\n")));

        QStringList found;
        for (const DataProblem &p : DataCheck::check(game.path()))
            found << QStringLiteral("%1:%2:%3").arg(p.file).arg(p.line).arg(p.kind);
        QCOMPARE(found, (QStringList{
            "Object\\FactionUnit.ini:2:unknown-commandset",
            "Object\\FactionUnit.ini:4:unknown-locomotor",
            "Object\\FactionUnit.ini:7:unknown-weapon",
            "Object\\FactionUnit.ini:15:missing-end",
            "Object\\FactionUnit.ini:17:duplicate",
            "CommandSet.ini:1:missing-end",
            "CommandSet.ini:3:unknown-button",
        }));
    }
};

QTEST_GUILESS_MAIN(tst_DataCheck)
#include "tst_datacheck.moc"
