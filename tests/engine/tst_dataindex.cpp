#include "engine/dataindex.h"

#include "../common/testgame.h"

#include <QTest>

// The index on a small hand-written game folder: headers read as every lookup
// reads them, duplicates, a reference inside a nested weapon set, several
// names on one Weapon or Locomotor line.
class tst_DataIndex : public QObject
{
    Q_OBJECT

private:
    TestGame m_game;
    DataIndex m_index;

    static QStringList shown(const QList<IndexHit> &hits)
    {
        QStringList out;
        for (const IndexHit &hit : hits)
            out << QStringLiteral("%1 %2 %3:%4").arg(hit.kind, hit.name, hit.file).arg(hit.line);
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_game.writeIni(QStringLiteral("Object/FactionUnit.ini"), crlf({
            "; Object Commented",                          // 1
            "Object Tank ; the tank",                      // 2
            "  Locomotor = SET_NORMAL Treads Hover ; two", // 3
            "  WeaponSet",                                 // 4
            "    Conditions = None",                       // 5
            "    Weapon = PRIMARY Cannon",                 // 6
            "    Weapon = SECONDARY None",                 // 7
            "  End",                                       // 8
            "  Armor = Plate",                             // 9
            "  CommandSet = TankSet",                      // 10
            "End",                                         // 11
            "OBJECT tank2\t; tab",                         // 12
            "  Weapon = PRIMARY CANNON SECONDARY Laser",   // 13
            "end",                                         // 14
            "Object TankAB",                               // 15
            "End",                                         // 16
            "Object Tank",                                 // 17
            "  ;Armor = Plate",                            // 18
            "Objectx Plate",                               // 19
            "Weapon  Spaced",                              // 20
            "End",                                         // 21
        })));
        QVERIFY(m_game.writeIni(QStringLiteral("Weapon.ini"), crlf({"Weapon Cannon;shot", "End", "Weapon Laser", "End"})));
        QVERIFY(m_game.writeIni(QStringLiteral("Armor.ini"), crlf({"armor Plate", "End"})));
        QVERIFY(m_game.writeIni(QStringLiteral("Locomotor.ini"), crlf({"Locomotor Treads", "End", "Locomotor Hover", "End"})));
        // A block cut by the next header, and one by the end of the file.
        QVERIFY(m_game.writeIni(QStringLiteral("CommandButton.ini"),
                                crlf({"CommandButton Cmd_Go", "  Command = MOVE", "CommandButton Cmd_Stop"})));
        QVERIFY(m_game.writeIni(QStringLiteral("CommandSet.ini"),
                                crlf({"CommandSet TankSet", "  1 = Cmd_Go", "  2 = None", "  ; 3 = Cmd_Stop", "End"})));
        QVERIFY(m_index.build(m_game.path()));
    }

    void blocksRunFromHeaderToEnd()
    {
        QStringList blocks;
        for (int file : {0, 11}) {
            for (const IndexBlock &b : m_index.file(file).blocks)
                blocks << QStringLiteral("%1 %2 %3-%4 end %5").arg(b.kind, b.name).arg(b.line).arg(b.lastLine).arg(b.endLine);
        }
        QCOMPARE(blocks, (QStringList{"Object Tank 2-11 end 11", "Object tank2 12-14 end 14", "Object TankAB 15-16 end 16",
                                      "Object Tank 17-21 end 21", "CommandButton Cmd_Go 1-2 end 0",
                                      "CommandButton Cmd_Stop 3-3 end 0"}));
        QVERIFY(m_index.file(1).missing);
        QCOMPARE(m_index.file(0).lineCount, 21);
    }

    void lookups_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("definitions");
        QTest::addColumn<QStringList>("references");
        QTest::newRow("duplicate, any case") << "tank"
            << QStringList{"Object Tank Object\\FactionUnit.ini:2", "Object Tank Object\\FactionUnit.ini:17"}
            << QStringList{};
        QTest::newRow("nested weapon set") << "Cannon" << QStringList{"Weapon Cannon Weapon.ini:1"}
            << QStringList{"Object Tank Object\\FactionUnit.ini:6", "Object tank2 Object\\FactionUnit.ini:13"};
        QTest::newRow("second weapon of a line") << "laser" << QStringList{"Weapon Laser Weapon.ini:3"}
            << QStringList{"Object tank2 Object\\FactionUnit.ini:13"};
        QTest::newRow("locomotor line, first name") << "Treads" << QStringList{"Locomotor Treads Locomotor.ini:1"}
            << QStringList{"Object Tank Object\\FactionUnit.ini:3"};
        QTest::newRow("locomotor line, second name") << "Hover" << QStringList{"Locomotor Hover Locomotor.ini:3"}
            << QStringList{"Object Tank Object\\FactionUnit.ini:3"};
        QTest::newRow("armour, not the commented line") << "Plate" << QStringList{"Armor Plate Armor.ini:1"}
            << QStringList{"Object Tank Object\\FactionUnit.ini:9"};
        QTest::newRow("command set") << "TankSet" << QStringList{"CommandSet TankSet CommandSet.ini:1"}
            << QStringList{"Object Tank Object\\FactionUnit.ini:10"};
        QTest::newRow("button of a set") << "Cmd_Go" << QStringList{"CommandButton Cmd_Go CommandButton.ini:1"}
            << QStringList{"CommandSet TankSet CommandSet.ini:2"};
        QTest::newRow("commented slot") << "Cmd_Stop" << QStringList{"CommandButton Cmd_Stop CommandButton.ini:3"}
            << QStringList{};
        QTest::newRow("whole name only") << "TankA" << QStringList{} << QStringList{};
        QTest::newRow("None names nothing") << "None" << QStringList{} << QStringList{};
        QTest::newRow("empty name is no header") << "Spaced" << QStringList{} << QStringList{};
        QTest::newRow("slot word") << "PRIMARY" << QStringList{} << QStringList{};
        QTest::newRow("locomotor set") << "SET_NORMAL" << QStringList{} << QStringList{};
    }
    void lookups()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, definitions);
        QFETCH(QStringList, references);
        QCOMPARE(shown(m_index.definitions(name)), definitions);
        QCOMPARE(shown(m_index.references(name)), references);
    }

    // The same text held in memory indexes as the file does.
    void textIndexesAsTheFile()
    {
        const FileIndex fromText = FileIndex::fromText(m_game.read(QStringLiteral("Data/INI/CommandSet.ini")));
        QCOMPARE(fromText.references.size(), m_index.file(12).references.size());
        QCOMPARE(fromText.references.first().name, QStringLiteral("Cmd_Go"));
        QCOMPARE(fromText.blocks.first().lastLine, 5);
    }
};

QTEST_GUILESS_MAIN(tst_DataIndex)
#include "tst_dataindex.moc"
