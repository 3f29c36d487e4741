#include "engine/stockdiff.h"

#include "../common/testgame.h"

#include <QTest>

// One file's comparison: blocks paired by kind and name, and the shortest
// line diff inside a changed pair.
class tst_StockDiff : public QObject
{
    Q_OBJECT

private slots:
    void compareFile_data()
    {
        QTest::addColumn<QByteArray>("stock");
        QTest::addColumn<QByteArray>("game");
        QTest::addColumn<QStringList>("rows");
        const QByteArray abcd = crlf({"Weapon W", "  A = 1", "  B = 2", "  C = 3", "  D = 4", "End"});
        QTest::newRow("same") << abcd << abcd << QStringList{};
        QTest::newRow("one line changed") << abcd << crlf({"Weapon W", "  A = 1", "  B = 9", "  C = 3", "  D = 4", "End"})
            << QStringList{"changed Weapon W", "- 3   B = 2", "+ 3   B = 9"};
        QTest::newRow("inserted and deleted lines, two hunks") << abcd
            << crlf({"Weapon W", "  A = 1", "  X = 0", "  B = 2", "  D = 4", "End"})
            << QStringList{"changed Weapon W", "+ 3   X = 0", "- 4   C = 3"};
        QTest::newRow("moved line: the longest common lines kept") << abcd
            << crlf({"Weapon W", "  A = 1", "  C = 3", "  D = 4", "  B = 2", "End"})
            << QStringList{"changed Weapon W", "- 3   B = 2", "+ 5   B = 2"};
        QTest::newRow("paired by name, not place, letter case ignored")
            << crlf({"Armor P", "End", "Armor Q", "  X = 1", "End"})
            << crlf({"armor q", "  X = 1", "end", "Armor P", "End"})
            << QStringList{"changed Armor q", "- 3 Armor Q", "+ 1 armor q", "- 5 End", "+ 3 end"};
        QTest::newRow("duplicates paired in order")
            << crlf({"Armor P", "  X = 1", "End", "Armor P", "  X = 2", "End"})
            << crlf({"Armor P", "  X = 1", "End", "Armor P", "  X = 3", "End", "Armor P", "End"})
            << QStringList{"changed Armor P", "- 5   X = 2", "+ 5   X = 3", "added Armor P 7"};
        QTest::newRow("removed where the stock file had it")
            << crlf({"Armor P", "End", "Armor Q", "End", "Armor R", "  X = 1", "End"})
            << crlf({"Armor P", "End", "Armor R", "  X = 2", "End"})
            << QStringList{"removed Armor Q 3", "changed Armor R", "- 6   X = 1", "+ 4   X = 2"};
        QTest::newRow("block without End runs to the next header")
            << crlf({"Armor P", "  X = 1", "Armor Q", "End"}) << crlf({"Armor P", "  X = 2", "Armor Q", "End"})
            << QStringList{"changed Armor P", "- 2   X = 1", "+ 2   X = 2"};
        QTest::newRow("lines outside blocks, line ends and trailing blanks")
            << crlf({"; top", "Armor P", "End", "; between", "Armor Q", "End"})
            << QByteArray("; top \t\nArmor P\rEnd\r\n; changed\r\nArmor Q   \r\nEnd")
            << QStringList{"changed  ", "- 4 ; between", "+ 4 ; changed"};
        QTest::newRow("nothing in common inside") << crlf({"Armor P", "  X = 1", "  Y = 2", "End"})
            << crlf({"Armor P", "  Z = 3", "End"})
            << QStringList{"changed Armor P", "- 2   X = 1", "- 3   Y = 2", "+ 2   Z = 3"};
    }
    void compareFile()
    {
        QFETCH(QByteArray, stock);
        QFETCH(QByteArray, game);
        QFETCH(QStringList, rows);
        QStringList shown;
        for (const BlockDiff &block : StockDiff::compareFile(game, stock).blocks) {
            if (block.state == BlockDiff::Added)
                shown << QStringLiteral("added %1 %2 %3").arg(block.kind, block.name).arg(block.gameLine);
            else if (block.state == BlockDiff::Removed)
                shown << QStringLiteral("removed %1 %2 %3").arg(block.kind, block.name).arg(block.stockLine);
            else
                shown << QStringLiteral("changed %1 %2").arg(block.kind, block.name);
            for (const DiffLine &line : block.lines)
                shown << QStringLiteral("%1 %2 %3").arg(QLatin1Char(line.sign)).arg(line.line).arg(line.text);
        }
        QCOMPARE(shown, rows);
    }
};

QTEST_GUILESS_MAIN(tst_StockDiff)
#include "tst_stockdiff.moc"
