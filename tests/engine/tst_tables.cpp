#include "engine/tables.h"

#include <QTest>

// How a block's lines become parameters and nested blocks.
class tst_Tables : public QObject
{
    Q_OBJECT

private:
    static void show(const TableBlock &block, int depth, QStringList &out)
    {
        const QString indent(depth * 2, QLatin1Char(' '));
        for (const TableParam &p : block.params)
            out << indent + p.first + QLatin1Char('=') + p.second;
        for (const TableBlock &b : block.blocks) {
            out << indent + QLatin1Char('[') + b.header + QLatin1Char(']');
            show(b, depth + 1, out);
        }
    }

private slots:
    void parseBody_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("values trimmed, comments and blank lines left out")
            << QStringList{"  Cost = 800 ; dear", "", "  ; Cost = 1", "  Flag", "  Empty =", "  A = B = C"}
            << QStringList{"Cost=800", "Flag=", "Empty=", "A=B = C"};
        QTest::newRow("indented deeper opens a block, End closes it")
            << QStringList{"  WeaponSet", "    Weapon = PRIMARY Gun", "  End", "  After = 1"}
            << QStringList{"After=1", "[WeaponSet]", "  Weapon=PRIMARY Gun"};
        QTest::newRow("a line with = opens a block too, nested")
            << QStringList{"  Visual = MeshVisual Vis01", "    Pose DEFAULT", "      Mesh = M", "    End", "  End"}
            << QStringList{"[Visual = MeshVisual Vis01]", "  [Pose DEFAULT]", "    Mesh=M"};
        QTest::newRow("empty block: End at its own indentation")
            << QStringList{"  Behavior = Idle Tag1", "  End", "  Next = 2"}
            << QStringList{"Next=2", "[Behavior = Idle Tag1]"};
        QTest::newRow("End of the parent does not open a block")
            << QStringList{"  ArmorSet", "    Armor = Plate", "  End", "  Last = 3"}
            << QStringList{"Last=3", "[ArmorSet]", "  Armor=Plate"};
        QTest::newRow("stray End closes nothing") << QStringList{"  End", "  X = 1"} << QStringList{"X=1"};
        QTest::newRow("End-like key is a parameter") << QStringList{"  Endurance = 5"} << QStringList{"Endurance=5"};
        QTest::newRow("End lines of nested blocks, in any case, before a comment or a blank")
            << QStringList{"  Set", "    Endurance = 5", "    Sub", "      X = 1", "    end;closes Sub", "    ; note",
                           "    Deep", "      Y = 2", "    END\tDeep", "  eNd", "  After = 1"}
            << QStringList{"After=1", "[Set]", "  Endurance=5", "  [Sub]", "    X=1", "  [Deep]", "    Y=2"};
        QTest::newRow("a tab indents to the next stop")
            << QStringList{"  Set", "\tInner = 1", "  End"} << QStringList{"[Set]", "  Inner=1"};
    }
    void parseBody()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, shown);
        QStringList out;
        const TableBlock nested = Tables::parseBody(lines);
        show(nested, 0, out);
        QCOMPARE(out, shown);
        // Without nested blocks kept, the top level is the same.
        QCOMPARE(Tables::parseBody(lines, false).params, nested.params);
    }
};

QTEST_GUILESS_MAIN(tst_Tables)
#include "tst_tables.moc"
