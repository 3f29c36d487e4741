#include "../common/testgame.h"
#include "../common/unprivileged.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

// A game folder holding a copy of the stock data files.
bool copyStock(const TestGame &game)
{
    const QString stock = QStringLiteral(ZARNITH_STOCK_DIR);
    QDirIterator it(stock, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly) || !game.write(QDir(stock).relativeFilePath(file.fileName()), file.readAll()))
            return false;
    }
    return true;
}

// The fields of RFC 4180 text, row by row.
QList<QStringList> readCsv(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    const auto at = [&](qsizetype i) { return i < text.size() ? text[i] : QChar(); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && at(i + 1) == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\r' && at(i + 1) == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
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

    void refsListsDefinitionsThenUses_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("defined twice and used") << "treads" << 0
            << QByteArray("defined\tLocomotor\tTreads\tLocomotor.ini\t1\n"
                          "defined\tLocomotor\tTREADS\tLocomotor.ini\t3\n"
                          "used\tObject\tTank\tObject\\FactionUnit.ini\t2\n"
                          "used\tObject\tJeep\tObject\\CivilianUnit.ini\t2\n");
        QTest::newRow("used only") << "Hover" << 0 << QByteArray("used\tObject\tTank\tObject\\FactionUnit.ini\t2\n");
        QTest::newRow("defined only") << "Jeep" << 0
            << QByteArray("defined\tObject\tJeep\tObject\\CivilianUnit.ini\t1\n");
        QTest::newRow("neither") << "Nothing" << 1 << QByteArray();
    }
    void refsListsDefinitionsThenUses()
    {
        QFETCH(QString, name);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"),
                              crlf({"Object Tank", "  Locomotor = SET_NORMAL Treads Hover", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/CivilianUnit.ini"),
                              crlf({"Object Jeep", "  Locomotor = Treads", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Locomotor.ini"),
                              crlf({"Locomotor Treads", "End", "Locomotor TREADS", "End"})));
        const Result r = runCli({"refs", game.path(), name});
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, out);
    }

    void refsWithoutDataFilesExitsWithTwo()
    {
        TestGame game;
        QCOMPARE(runCli({"refs", game.path(), "Tank"}).status, 2);
        QCOMPARE(runCli({"refs", game.path()}).status, 2);
    }

    void grepPrintsMatchingLinesInFileOrder_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        // Lines are printed as stored, in the game's code page.
        QTest::newRow("text, letter case ignored") << QStringList{"treads"} << 0
            << QByteArray("Object\\FactionUnit.ini\t2\t  Locomotor = SET_NORMAL Treads ; caf\xE9\n"
                          "Object\\CivilianUnit.ini\t1\tObject TREADSTER\n"
                          "Locomotor.ini\t1\tLocomotor Treads\n") << QByteArray();
        QTest::newRow("text outside ASCII") << QStringList{"CAF\xC3\x89"} << 0
            << QByteArray("Object\\FactionUnit.ini\t2\t  Locomotor = SET_NORMAL Treads ; caf\xE9\n") << QByteArray();
        QTest::newRow("regular expression") << QStringList{"^\\w+ t", "--regex"} << 0
            << QByteArray("Object\\FactionUnit.ini\t1\tObject Tank\n"
                          "Object\\CivilianUnit.ini\t1\tObject TREADSTER\n"
                          "Locomotor.ini\t1\tLocomotor Treads\n") << QByteArray();
        QTest::newRow("no match") << QStringList{"Hover"} << 1 << QByteArray() << QByteArray();
        QTest::newRow("bad expression") << QStringList{"(Tank", "--regex"} << 2 << QByteArray()
                                        << QByteArray("(Tank is no regular expression: missing closing parenthesis at offset 5\n");
        QTest::newRow("empty pattern") << QStringList{""} << 2 << QByteArray() << QByteArray("the pattern is empty\n");
        QTest::newRow("unknown option") << QStringList{"Tank", "--regexp"} << 2 << QByteArray()
                                        << QByteArray("usage: zarnith-cli grep GAME PATTERN [--regex]\n");
    }
    void grepPrintsMatchingLinesInFileOrder()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Locomotor.ini"), crlf({"Locomotor Treads", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/CivilianUnit.ini"), crlf({"Object TREADSTER", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"),
                              crlf({"Object Tank", "  Locomotor = SET_NORMAL Treads ; caf\xE9", "End"})));
        const Result r = runCli(QStringList{"grep", game.path()} + args);
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, out);
        if (!err.isEmpty())
            QCOMPARE(r.err, err);
    }

    void diffShowsWhatChangedFromStock()
    {
        TestGame game;
        QVERIFY(copyStock(game));
        const Result same = runCli({"diff", game.path()});
        QCOMPARE(same.status, 0);
        QCOMPARE(same.out, QByteArray());

        const auto edit = [&](const char *file, const std::function<void(QByteArray &)> &change) {
            const QString path = QStringLiteral("Data/INI/") + QLatin1String(file);
            QByteArray bytes = game.read(path);
            change(bytes);
            return game.write(path, bytes);
        };
        // Line ends and trailing blanks do not count; a comment does.
        QVERIFY(edit("CommandSet.ini", [](QByteArray &b) { b.replace("\r\n", " \t\n"); }));
        QVERIFY(edit("CommandButton.ini", [](QByteArray &b) { b.replace("; Torvane - CommandButton.ini", "; Mine"); }));
        QVERIFY(edit("Weapon.ini", [](QByteArray &b) {
            b.replace("  PrimaryDamage            = 60.0", "  PrimaryDamage            = 61.0");
        }));
        QVERIFY(edit("Armor.ini", [](QByteArray &b) { b += "Armor NewPlate\r\n  Armor = SMALL_ARMS 10%\r\nEnd\r\n"; }));
        QVERIFY(edit("Locomotor.ini", [](QByteArray &b) {
            const qsizetype start = b.indexOf("Locomotor HarrowTreads");
            b.remove(start, b.indexOf("End\r\n", start) + 5 - start);
        }));
        QVERIFY(QFile::remove(game.path() + QStringLiteral("/Data/INI/Object/NatureProp.ini")));

        const Result r = runCli({"diff", game.path()});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QByteArray("Object\\NatureProp.ini\tmissing-file\t\t\t0\t\n"
                                   "Weapon.ini\t-\tWeapon\tHarrowCannonMk1\t13\t  PrimaryDamage            = 60.0\n"
                                   "Weapon.ini\t+\tWeapon\tHarrowCannonMk1\t13\t  PrimaryDamage            = 61.0\n"
                                   "Armor.ini\tadded\tArmor\tNewPlate\t134\t\n"
                                   "Locomotor.ini\tremoved\tLocomotor\tHarrowTreads\t16\t\n"
                                   "CommandButton.ini\t-\t\t\t2\t; Torvane - CommandButton.ini\n"
                                   "CommandButton.ini\t+\t\t\t2\t; Mine\n"));

        TestGame bad;
        QVERIFY(bad.write(QStringLiteral("Bad.DBF"), QByteArray(40, '\x30')));
        QCOMPARE(runCli({"diff", game.path(), bad.path() + QStringLiteral("/Bad.DBF")}).status, 2);
    }

    // Every format holds the same records: JSON read back by QJsonDocument,
    // CSV by the reader above, TSV split at tabs.
    void tableFormatsReadBackAlike_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("firstKey");
        QTest::addColumn<QString>("firstValue");
        QTest::newRow("objects") << "objects" << "AmericaSapperTractor" << "Object\\FactionUnit.ini" << 21 << "Title"
                                 << "TXT:AmSapperTractor";
        QTest::newRow("weapons") << "weapons" << "HarrowCannonMk1" << "Weapon.ini" << 12 << "PrimaryDamage" << "60.0";
        QTest::newRow("locomotors") << "locomotors" << "HarrowTreads" << "Locomotor.ini" << 16 << "Surfaces"
                                    << "GROUND RUBBLE";
        QTest::newRow("command sets") << "commandsets" << "AmericaSapperCommandSet" << "CommandSet.ini" << 13 << "1"
                                      << "Cmd_AmericaBuildGarrisonHQ";
    }
    void tableFormatsReadBackAlike()
    {
        QFETCH(QString, kind);
        QFETCH(QString, first);
        QFETCH(QString, file);
        QFETCH(int, line);
        QFETCH(QString, firstKey);
        QFETCH(QString, firstValue);
        const QString stock = QStringLiteral(ZARNITH_STOCK_DIR);
        const Result json = runCli({"table", kind, stock, "--format", "json"});
        QCOMPARE(json.status, 0);
        QJsonParseError error;
        const QJsonArray records = QJsonDocument::fromJson(json.out, &error).array();
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        QVERIFY(records.size() > 3);
        const QJsonObject record = records.first().toObject();
        QCOMPARE(record.value("name").toString(), first);
        QCOMPARE(record.value("file").toString(), file);
        QCOMPARE(record.value("line").toInt(), line);
        const QJsonArray param = record.value("params").toArray().first().toArray();
        QCOMPARE(param.at(0).toString(), firstKey);
        QCOMPARE(param.at(1).toString(), firstValue);

        const QList<QStringList> csv = readCsv(runCli({"table", kind, stock, "--format", "csv"}).out);
        const QList<QByteArray> tsv = runCli({"table", kind, stock}).out.split('\n');
        QCOMPARE(csv.size(), records.size() + 1);
        QCOMPARE(tsv.size(), records.size() + 2); // and the empty piece after the last line end
        QCOMPARE(csv.first().mid(0, 4), (QStringList{"name", "file", "line", firstKey}));
        QCOMPARE(csv.value(1).mid(0, 4), (QStringList{first, file, QString::number(line), firstValue}));
        QCOMPARE(QString::fromUtf8(tsv.value(1)).split(u'\t'), csv.value(1));
        for (qsizetype i = 0; i < records.size(); ++i)
            QCOMPARE(csv[i + 1].first(), records[i].toObject().value("name").toString());
    }

    void tableJoinsRepeatedKeysAndKeepsNestedBlocksInJson()
    {
        const QString stock = QStringLiteral(ZARNITH_STOCK_DIR);
        const QList<QStringList> armours = readCsv(runCli({"table", "armours", stock, "--format", "csv"}).out);
        // The values of the repeated key, each without its comment.
        QVERIFY2(armours.value(1).value(3).startsWith(QLatin1String("SMALL_ARMS        20% | GATTLING          25% | ")),
                 qPrintable(armours.value(1).value(3)));
        QVERIFY2(armours.value(1).value(3).contains(QLatin1String(" | CRUSH             10% | ")),
                 qPrintable(armours.value(1).value(3)));
        const QJsonObject tractor = QJsonDocument::fromJson(runCli({"table", "objects", stock, "--format", "json"}).out)
                                        .array().first().toObject();
        const QJsonObject visual = tractor.value("blocks").toArray().first().toObject();
        QCOMPARE(visual.value("header").toString(), QStringLiteral("Visual = MeshVisual Vis01"));
        QCOMPARE(visual.value("blocks").toArray().size(), 2); // Pose DEFAULT, Pose BUILDING
        QCOMPARE(visual.value("blocks").toArray().last().toObject().value("params").toArray().size(), 2);
        const QStringList names{"ArmorSet", "Durability = StandardDurability Dur01"};
        for (const QString &header : names) {
            const QJsonArray blocks = tractor.value("blocks").toArray();
            QVERIFY2(std::any_of(blocks.begin(), blocks.end(),
                                 [&](const QJsonValue &b) { return b.toObject().value("header").toString() == header; }),
                     qPrintable(header));
        }
        for (const QStringList &args : {QStringList{"table", "units", stock}, QStringList{"table", "objects", stock, "--format", "xml"},
                                        QStringList{"table", "objects", stock, "--format"}})
            QCOMPARE(runCli(args).status, 2);
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

    void matchupAndMatrixOnAHandMadeGame()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"),
                              crlf({"Object Tank", "  WeaponSet", "    Conditions = None", "    Weapon = SECONDARY Mg",
                                    "    Weapon = PRIMARY Cannon", "  End", "  WeaponSet",
                                    "    Conditions = PLAYER_UPGRADE", "    Weapon = PRIMARY Duff", "  End",
                                    "  ArmorSet", "    Conditions = None", "    Armor = Plate", "  End",
                                    "  Body = ActiveBody B", "    MaxHealth = 300.0", "  End", "End",
                                    "Object Crate,Wooden", "  MaxHealth = 100", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Weapon.ini"),
                              crlf({"Weapon Cannon", "  PrimaryDamage = 60.0", "  DamageType = ARMOR_PIERCING",
                                    "  ReloadDelay = 2000", "End", "Weapon Mg", "  PrimaryDamage = 5",
                                    "  DamageType = SMALL_ARMS", "End", "Weapon Duff", "  PrimaryDamage = lots",
                                    "  DamageType = SMALL_ARMS", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Armor.ini"),
                              crlf({"Armor Plate", "  Armor = SMALL_ARMS 0%", "  Armor = DEFAULT 50%", "End"})));
        const Result r = runCli({"matchup", game.path(), "tank", "TANK"});
        QCOMPARE(r.status, 0);
        QCOMPARE(QString::fromLatin1(r.out).split(u'\n'),
                 (QStringList{"0\tNone\tPRIMARY\tCannon\tARMOR_PIERCING\t60.0\tPlate\t50\t30\t300.0\t10\t18.0\t",
                              "0\tNone\tSECONDARY\tMg\tSMALL_ARMS\t5\tPlate\t0\t0\t300.0\tnever\t\t",
                              "1\tPLAYER_UPGRADE\tPRIMARY\tDuff\tSMALL_ARMS\tlots\tPlate\t0\t\t300.0\t\t\t"
                              "PrimaryDamage \"lots\" is no number",
                              ""}));
        QCOMPARE(runCli({"matchup", game.path(), "Tank", "Nothing"}).status, 1);
        QCOMPARE(runCli({"matchup", game.path(), "Tank"}).status, 2);

        // The crate has no weapon: its row is empty; its name holds a comma, quoted in CSV.
        const Result csv = runCli({"matrix", game.path(), "--format", "csv"});
        QCOMPARE(csv.status, 0);
        QCOMPARE(readCsv(csv.out), (QList<QStringList>{{"attacker", "Tank", "Crate,Wooden"},
                                                      {"Tank", "10", "2"},
                                                      {"Crate,Wooden", "", ""}}));
        const Result tsv = runCli({"matrix", game.path(), "--attackers", "TAN", "--targets", "wood"});
        QCOMPARE(tsv.out, QByteArray("attacker\tCrate,Wooden\nTank\t2\n"));
        const Result json = runCli({"matrix", game.path(), "--targets", "tank", "--format", "json"});
        QCOMPARE(QJsonDocument::fromJson(json.out).object().value("rows").toArray().at(0).toObject().value("shots"),
                 QJsonValue(QJsonArray{10}));
        QCOMPARE(runCli({"matrix", game.path(), "--format", "xml"}).status, 2);
        QCOMPARE(runCli({"matrix", game.path(), "--targets"}).status, 2);
    }

    void helpListsEveryCommand()
    {
        const Result r = runCli({"--help"});
        QCOMPARE(r.status, 0);
        for (const char *command : {"block", "value", "locomotors", "stock", "weapon", "armour", "cmdbutton", "cmdset", "refs",
                                    "diff", "grep", "table", "matchup", "matrix", "find-games"})
            QVERIFY2(r.out.contains(QByteArray("  ") + command + ' '), command);
    }
};

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
