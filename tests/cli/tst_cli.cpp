#include "../common/testgame.h"
#include "../common/unprivileged.h"

#include <QProcess>
#include <QRegularExpression>
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
        qputenv("LC_ALL", "en_US.UTF-8");
        QVERIFY(m_game.writeIni(QStringLiteral("Object/FactionUnit.ini"),
                                "Object Tank\r\n  Name = Panzer\xE9\x80\r\n  Locomotor = SET_NORMAL Tracks\r\n"
                                "  Locomotor = SET_X Hover\r\nEnd\r\nObject Bare\r\nEnd"));
        QVERIFY(m_game.writeIni(QStringLiteral("Locomotor.ini"),
                                crlf({"Locomotor Tracks", "  Surfaces = GROUND", "  Speed = 30", "  Braking = 5",
                                      "  Braking = 6", "End"})));
    }

    void readersPrintTheBytesAsStored_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("out");
        const QByteArray tank("Object Tank\r\n  Name = Panzer\xE9\x80\r\n  Locomotor = SET_NORMAL Tracks\r\n"
                              "  Locomotor = SET_X Hover\r\nEnd\r\n");
        QTest::newRow("block") << QStringList{"block", "Object", "Object/FactionUnit.ini", "TANK"} << tank;
        QTest::newRow("block, backslash") << QStringList{"block", "Object", "Object\\FactionUnit.ini", "Tank"} << tank;
        QTest::newRow("value") << QStringList{"value", "Object", "object/factionunit.ini", "Tank", "Locomotor"}
                               << QByteArray("Tracks\r\nHover\r\n");
        QTest::newRow("locomotors") << QStringList{"locomotors", "FactionUnit.ini", "Tank"}
                                    << QByteArray("Tracks\tGROUND\t30\t\t\t\t\t\t5\\r\\n6\t\nHover\t\t\t\t\t\t\t\t\t\n");
        QTest::newRow("no locomotors") << QStringList{"locomotors", "FactionUnit.ini", "Bare"} << QByteArray();
    }
    void readersPrintTheBytesAsStored()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, out);
        args.insert(1, m_game.path());
        const Result r = runCli(args);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, out);
    }

    void stockListsAndRestoresTheShippedTable()
    {
        const Result list = runCli({"stock", "list"});
        QCOMPARE(list.status, 0);
        const QList<QByteArray> rows = list.out.trimmed().split('\n');
        QVERIFY(rows.size() >= 13);
        // Number, stored path, size and a SHA-256 in hex.
        QVERIFY2(QRegularExpression(QStringLiteral("^0\tData\\\\INI\\\\[^\t]+\t[0-9]+\t[0-9a-f]{64}$"))
                     .match(QString::fromLatin1(rows.first())).hasMatch(), rows.first().constData());

        TestGame game;
        QVERIFY(game.write(QStringLiteral("torvane.exe"), ""));
        const Result restore = runCli({"stock", "restore", game.path()});
        QCOMPARE(restore.status, 0);
        QCOMPARE(restore.out.count("written\t"), qsizetype(rows.size()));
        const Result again = runCli({"stock", "restore", game.path()});
        QCOMPARE(again.out.count("present\t"), qsizetype(rows.size()));
    }

    void failedRestoreExitsWithStatusTwo()
    {
        if (!runsUnprivileged())
            return;
        TestGame game;
        QFile::setPermissions(game.path(), QFile::ReadOwner | QFile::ExeOwner);
        const Result r = runCli({"stock", "restore", game.path()});
        QFile::setPermissions(game.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains("Permission denied"), r.err.constData());
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
        QVERIFY(tree.out.startsWith("0\tFactionBuilding.ini\tPlayer Buildings\tFactionBuilding.ini\n"));
        QVERIFY(tree.out.contains("1\tFUGLA\tGLA\tFactionUnit.ini\n2\tKey1\tGLATank\tFactionUnit.ini\n"));

        const Result object = runCli({"object", game.path(), "GLATank", "--set", "1"});
        QCOMPARE(object.status, 0);
        const QList<QByteArray> rows = object.out.split('\n');
        QCOMPARE(rows.first(), QByteArray("Name\tGLATank"));
        QVERIFY2(rows.contains("Cost\t$800") || rows.contains("Cost\t800"), object.out.constData());
        for (const char *row : {"Primary Weapon\tBigGun", "Locomotor\tTreads", "Top Speed\t30 dist/sec", "\t" /* blank */})
            QVERIFY2(rows.contains(row), row);
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

    void findGamesPrintsOneFolderALine()
    {
        TestGame home;
        QVERIFY(home.write(QStringLiteral(".wine/drive_c/Ostrel/Torvane/Torvane.exe"), ""));
        QVERIFY(home.write(QStringLiteral("Games/torvane/TORVANE.EXE"), ""));
        const Result found = runCli({"find-games", home.path()});
        QCOMPARE(found.status, 0);
        const QString canonicalHome = QFileInfo(home.path()).canonicalFilePath();
        QCOMPARE(found.out, (canonicalHome + "/.wine/drive_c/Ostrel/Torvane\n" + canonicalHome + "/Games/torvane\n").toUtf8());

        TestGame empty;
        const Result none = runCli({"find-games", empty.path()});
        QCOMPARE(none.status, 1);
        QVERIFY(none.out.isEmpty());
    }

    void helpListsEveryCommand()
    {
        const Result r = runCli({"--help"});
        QCOMPARE(r.status, 0);
        for (const char *command : {"block", "value", "locomotors", "stock", "weapon", "armour", "cmdbutton", "cmdset"})
            QVERIFY2(r.out.contains(QByteArray("  ") + command + ' '), command);
    }
};

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
