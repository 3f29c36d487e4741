#include "../common/testgame.h"

#include <QProcess>
#include <QTest>

namespace {

struct Result
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Result runCli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(ZARNITH_CLI), args);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

} // namespace

class tst_Cli : public QObject
{
    Q_OBJECT

private:
    TestGame m_game;

private slots:
    void initTestCase()
    {
        QVERIFY(m_game.writeIni(QStringLiteral("Object/FactionUnit.ini"),
                                "Object Tank\r\n  Name = Panzer\xE9\x80\r\n  Locomotor = SET_NORMAL Tracks\r\n"
                                "  Locomotor = SET_X Hover\r\nEnd\r\nObject Bare\r\nEnd"));
        QVERIFY(m_game.writeIni(QStringLiteral("Locomotor.ini"),
                                crlf({"Locomotor Tracks", "  Surfaces = GROUND", "  Speed = 30", "  Braking = 5",
                                      "  Braking = 6", "End"})));
        QVERIFY(m_game.writeIni(QStringLiteral("Weapon.ini"),
                                crlf({"Weapon Rifle", "  PrimaryDamage = 50.0 ; base", "  DamageType = GATTLING",
                                      "  FireFX = FX_A FX_B", "  FireFX = FX_C", "End"})));
        QVERIFY(m_game.writeIni(QStringLiteral("Armor.ini"),
                                crlf({"Armor Plate", "  Armor = CRUSH 10%", "  Armor = FLAME 10", "End"})));
        QVERIFY(m_game.writeIni(QStringLiteral("CommandButton.ini"),
                                crlf({"CommandButton Cmd_A", "End", "CommandButton Cmd_B", "  Command = STOP", "End"})));
        QVERIFY(m_game.writeIni(QStringLiteral("CommandSet.ini"), crlf({"CommandSet Set", "  1 = Cmd_B", "End"})));
    }

    void blockIsWrittenByteForByte()
    {
        const Result r = runCli({"block", m_game.path(), "Object", "Object/FactionUnit.ini", "TANK"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("Object Tank\r\n  Name = Panzer\xE9\x80\r\n  Locomotor = SET_NORMAL Tracks\r\n"
                                   "  Locomotor = SET_X Hover\r\nEnd\r\n"));
        const Result backslash = runCli({"block", m_game.path(), "Object", "Object\\FactionUnit.ini", "Tank"});
        QCOMPARE(backslash.out, r.out);
    }

    void valueEndsEachValueWithCrLf()
    {
        const Result r = runCli({"value", m_game.path(), "Object", "object/factionunit.ini", "Tank", "Locomotor"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("Tracks\r\nHover\r\n"));
    }

    void locomotorsPrintNineHandlingValues()
    {
        const Result r = runCli({"locomotors", m_game.path(), "FactionUnit.ini", "Tank"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("Tracks\tGROUND\t30\t\t\t\t\t\t5\\r\\n6\t\n"
                                   "Hover\t\t\t\t\t\t\t\t\t\n"));
        const Result none = runCli({"locomotors", m_game.path(), "FactionUnit.ini", "Bare"});
        QCOMPARE(none.status, 0);
        QCOMPARE(none.out, QByteArray());
    }

    void statusTellsNotFoundFromBadUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("no such block") << QStringList{"block", "GAME", "Object", "Object/FactionUnit.ini", "TankA"} << 1;
        QTest::newRow("no such value") << QStringList{"value", "GAME", "Object", "Object/FactionUnit.ini", "Tank", "Health"} << 1;
        QTest::newRow("no such object") << QStringList{"locomotors", "GAME", "FactionUnit.ini", "Nobody"} << 1;
        QTest::newRow("missing file") << QStringList{"block", "GAME", "Weapon", "Weapon.ini", "Gun"} << 1;
        QTest::newRow("no such weapon") << QStringList{"weapon", "GAME", "Nobody"} << 1;
        QTest::newRow("no such armour") << QStringList{"armour", "GAME", "Nobody"} << 1;
        QTest::newRow("no such button") << QStringList{"cmdbutton", "GAME", "Nobody"} << 1;
        QTest::newRow("no such set") << QStringList{"cmdset", "GAME", "Nobody"} << 1;
        QTest::newRow("viewer without name") << QStringList{"cmdset", "GAME"} << 2;
        QTest::newRow("game folder missing") << QStringList{"block", "/nonexistent/game", "Object", "x.ini", "T"} << 2;
        QTest::newRow("too few arguments") << QStringList{"block", "GAME"} << 2;
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2;
        QTest::newRow("nothing") << QStringList{} << 2;
    }
    void statusTellsNotFoundFromBadUsage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        args.replaceInStrings(QStringLiteral("GAME"), m_game.path());
        const Result r = runCli(args);
        QCOMPARE(r.status, status);
        QVERIFY2(!r.err.isEmpty() || status == 0, "a failure must say why on standard error");
    }

    void stockListsAndRestoresTheShippedTable()
    {
        const Result list = runCli({"stock", "list"});
        QCOMPARE(list.status, 0);
        const QList<QByteArray> rows = list.out.trimmed().split('\n');
        QVERIFY(rows.size() >= 13);
        const QList<QByteArray> first = rows.first().split('\t');
        QCOMPARE(first.size(), 4);
        QCOMPARE(first[0], QByteArray("0"));
        QVERIFY(first[1].startsWith("Data\\INI\\"));
        QCOMPARE(first[3].size(), 64);

        TestGame game;
        QVERIFY(game.write(QStringLiteral("torvane.exe"), ""));
        const Result restore = runCli({"stock", "restore", game.path()});
        QCOMPARE(restore.status, 0);
        QCOMPARE(restore.out.count("written\t"), qsizetype(rows.size()));
        const Result again = runCli({"stock", "restore", game.path()});
        QCOMPARE(again.out.count("present\t"), qsizetype(rows.size()));
    }

    void damagedStockTableExitsWithStatusTwo()
    {
        TestGame game;
        QVERIFY(game.write(QStringLiteral("Bad.DBF"), QByteArray(40, '\x30')));
        const Result r = runCli({"stock", "list", game.path() + QStringLiteral("/Bad.DBF")});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains("FoxPro"), r.err.constData());
        QCOMPARE(r.err.count('\n'), qsizetype(1));
    }

    void catalogueAndObjectPrintWhatTheMainWindowShows()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"),
                              crlf({"Object GLATank", "  BuildCost = 800", "  Locomotor = SET_NORMAL Treads",
                                    "  WeaponSet", "    Weapon = PRIMARY Gun", "  End", "  WeaponSet",
                                    "    Weapon = PRIMARY BigGun", "  End", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Locomotor.ini"), crlf({"Locomotor Treads", "  Speed = 30", "End"})));
        const Result tree = runCli({"catalogue", game.path()});
        QCOMPARE(tree.status, 0);
        const QList<QByteArray> rows = tree.out.split('\n');
        QCOMPARE(rows[0], QByteArray("0\tFactionBuilding.ini\tPlayer Buildings\tFactionBuilding.ini"));
        QVERIFY(tree.out.contains("1\tFUGLA\tGLA\tFactionUnit.ini\n2\tKey1\tGLATank\tFactionUnit.ini\n"));

        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(ZARNITH_CLI), {"object", game.path(), "GLATank", "--set", "1"});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QByteArray summary = process.readAllStandardOutput();
        QVERIFY(summary.startsWith("Name\tGLATank\n"));
        QVERIFY2(summary.contains("\nCost\t$800\n") || summary.contains("\nCost\t800\n"), summary.constData());
        QVERIFY(summary.contains("\nPrimary Weapon\tBigGun\n"));
        QVERIFY(summary.contains("\nLocomotor\tTreads\n"));
        QVERIFY(summary.contains("\nTop Speed\t30 dist/sec\n"));
        QVERIFY(summary.contains("\n\t\n")); // blank rows have no value cell
        QCOMPARE(runCli({"object", game.path(), "NoSuchThing"}).status, 1);
        QCOMPARE(runCli({"object", game.path(), "GLATank", "--set"}).status, 2);
    }

    void checkReportsProblemsAndExitsWithOne()
    {
        TestGame game;
        QCOMPARE(runCli({"check", game.path()}).status, 2); // no data files at all
        for (const char *file : {"Object/FactionBuilding", "Object/FactionProp", "Object/CivilianBuilding",
                                 "Object/CivilianUnit", "Object/CivilianProp", "Object/NatureProp", "Object/NatureUnit",
                                 "Weapon", "Armor", "CommandButton", "CommandSet"})
            QVERIFY(game.writeIni(QLatin1String(file) + QStringLiteral(".ini"), ""));
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"),
                              crlf({"Object Tank", "  Locomotor = SET_NORMAL Nowhere", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Locomotor.ini"), crlf({"Locomotor Treads", "End"})));
        const Result bad = runCli({"check", game.path()});
        QCOMPARE(bad.status, 1);
        QCOMPARE(bad.out, QByteArray("Object\\FactionUnit.ini\t2\tunknown-locomotor\t"
                                     "Object Tank names the Locomotor Nowhere, which no block defines\n"));
        QVERIFY(game.writeIni(QStringLiteral("Locomotor.ini"), crlf({"Locomotor Nowhere", "End"})));
        const Result good = runCli({"check", game.path()});
        QCOMPARE(good.status, 0);
        QCOMPARE(good.out, QByteArray());
    }

    // The object is read from the file of the category it is filed under:
    // with FactionProp.ini missing, the bus is filed under Player Buildings first.
    void objectIsReadFromItsCategorysFile()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionBuilding.ini"), crlf({"OBJECT Bus", "  MaxHealth = 111", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/CivilianUnit.ini"), crlf({"Object Bus", "  MaxHealth = 222", "End"})));
        const Result r = runCli({"object", game.path(), "Bus"});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("Max Health\t111\n"), r.out.constData());
    }

    void helpListsEveryCommand()
    {
        const Result r = runCli({"--help"});
        QCOMPARE(r.status, 0);
        for (const char *command : {"block", "value", "locomotors", "stock", "weapon", "armour", "cmdbutton", "cmdset"})
            QVERIFY2(r.out.contains(QByteArray("  ") + command + ' '), command);
    }

    void viewerCommandsPrintTheirRows_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("lines"); // lines that must appear, in this order

        const QByteArray separator = QByteArray(40, '-') + '\t' + QByteArray(20, '-') + "\t\t\n";
        QTest::newRow("weapon") << QStringList{"weapon", "GAME", "Rifle"}
                                << "Weapon Damage\t50.0\tTxtBox\t\nWeapon Damage Radius\t\t\t\n" + separator;
        QTest::newRow("value on two lines") << QStringList{"weapon", "GAME", "Rifle"}
                                            << QByteArray("Fire FX\tFX_B\\r\\nFX_C\tTxtBox\t\n");
        QTest::newRow("combo choices") << QStringList{"weapon", "GAME", "Rifle"}
                                       << QByteArray("Damage Type\tGATTLING\tCboBox\tARMOR_PIERCING,AURORA_BOMB,");
        QTest::newRow("armour") << QStringList{"armour", "GAME", "Plate"}
                                << QByteArray("CRUSH\t10%\tTxtBox\t\nFLAME\t%\tTxtBox\t\n");
        QTest::newRow("cmdbutton") << QStringList{"cmdbutton", "GAME", "Cmd_B"}
                                   << QByteArray("Command Type\tSTOP\tCboBox\tATTACK_MOVE,");
        QTest::newRow("cmdset") << QStringList{"cmdset", "GAME", "Set"}
                                << QByteArray("1\tCmd_B\tCboBox\tCmd_A,Cmd_B\n2\t\t\t\n");
    }
    void viewerCommandsPrintTheirRows()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, lines);
        args.replaceInStrings(QStringLiteral("GAME"), m_game.path());
        const Result r = runCli(args);
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(lines), r.out.constData());
    }
};

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
