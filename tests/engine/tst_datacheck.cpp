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
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"), crlf({
            "Object Tank", "  CommandSet = NoSuchSet", "  Locomotor = SET_NORMAL Treads",           // lines 1-3
            "  Locomotor = SET_NORMAL Hover ; gone", "  WeaponSet", "    Weapon = PRIMARY Cannon",  // 4-6
            "    Weapon = SECONDARY Laser", "    Weapon = TERTIARY None", "  End", "  ArmorSet",    // 7-10
            "    Armor = Plate", "    ;Armor = Paper", "  End", "End",                              // 11-14
            "Object Jeep", "  Armor = plate", "Object tank", "End",                                 // 15-18
            "Object Scout", "  Weapon = PRIMARY Rifle", "  Weapon = SECONDARY Pistol",              // 19-21
            "  Locomotor = SET_NORMAL Wheels Treads", "End"})));                                    // 22-23
        // Headers are read as every lookup reads them: any letter case, the
        // name ended by a tab or a comment.
        QVERIFY(game.writeIni(QStringLiteral("Weapon.ini"),
                              crlf({"WEAPON Cannon", "End", "Weapon Rifle\t; rifle", "End", "Weapon Pistol;side", "End"})));
        for (const char *file : {"FactionBuilding", "FactionProp", "CivilianBuilding", "CivilianUnit", "CivilianProp",
                                 "NatureProp"})
            QVERIFY(game.writeIni(QStringLiteral("Object/%1.ini").arg(QLatin1String(file)), ""));
        QVERIFY(game.writeIni(QStringLiteral("armor.ini"), crlf({"Armor Plate", "  Armor = DEFAULT 100%", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Locomotor.ini"), crlf({"Locomotor Treads", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("CommandButton.ini"), crlf({"CommandButton Command_Stop", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("CommandSet.ini"),
                              QByteArray("CommandSet Set1\r\n  1 = Command_Stop\r\n  2 = Command_Go\r\n  ; 3 = Command_X\r\n")));

        const auto found = [&] {
            QStringList shown;
            for (const DataProblem &p : DataCheck::check(game.path()))
                shown << QStringLiteral("%1:%2:%3").arg(p.file).arg(p.line).arg(p.kind);
            return shown;
        };
        QCOMPARE(found(), (QStringList{
            "Object\\FactionUnit.ini:2:unknown-commandset",
            "Object\\FactionUnit.ini:4:unknown-locomotor",
            "Object\\FactionUnit.ini:7:unknown-weapon",
            "Object\\FactionUnit.ini:15:missing-end",
            "Object\\FactionUnit.ini:17:duplicate",
            "Object\\FactionUnit.ini:22:unknown-locomotor",
            "Object\\NatureUnit.ini:0:missing-file",
            "CommandSet.ini:1:missing-end",
            "CommandSet.ini:3:unknown-button",
        }));
        // Without Weapon.ini, that one file is the problem, not every weapon named.
        QVERIFY(QFile::remove(game.path() + QStringLiteral("/Data/INI/Weapon.ini")));
        const QStringList withoutWeapons = found();
        QVERIFY(withoutWeapons.contains(QStringLiteral("Weapon.ini:0:missing-file")));
        QVERIFY(!withoutWeapons.join(u' ').contains(QLatin1String("unknown-weapon")));
    }
};

QTEST_GUILESS_MAIN(tst_DataCheck)
#include "tst_datacheck.moc"
