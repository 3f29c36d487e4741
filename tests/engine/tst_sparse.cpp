#include "engine/globals.h"
#include "engine/sparse.h"

#include "../common/testgame.h"

#include <QTest>

namespace {

QString lines(std::initializer_list<const char *> list)
{
    return QString::fromLatin1(crlf(list));
}

} // namespace

class tst_SParse : public QObject
{
    Q_OBJECT

private slots:
    void blockLookup_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("longer name first does not answer the shorter")
            << crlf({"Object TankAB", "  Health = 2", "End", "Object TankA", "  Health = 1", "End"}) << "TankA"
            << lines({"Object TankA", "  Health = 1", "End"});
        QTest::newRow("any letter case") << crlf({"OBJECT tanka", "End"}) << "TankA" << lines({"OBJECT tanka", "End"});
        QTest::newRow("comment after the name")
            << crlf({"Object TankA ; the tank", "End"}) << "TankA" << lines({"Object TankA ; the tank", "End"});
        QTest::newRow("indented or another keyword") << crlf({" Object TankA", "Weapon TankA", "End"}) << "TankA" << QString();
        QTest::newRow("any first-column line starting end closes")
            << crlf({"Object TankA", "  a", "endOfIt", "  b"}) << "TankA" << lines({"Object TankA", "  a", "endOfIt"});
        QTest::newRow("indented End is body text")
            << crlf({"Object TankA", "  Body", "  End", "End", "after"}) << "TankA"
            << lines({"Object TankA", "  Body", "  End", "End"});
        QTest::newRow("block without end runs to the end of the file")
            << QByteArray("Object TankA\r\n  a = 1") << "TankA" << lines({"Object TankA", "  a = 1"});
        QTest::newRow("block past line 32767")
            << QByteArray("; filler\r\n").repeated(40000) + crlf({"Object Far", "End"}) << "Far"
            << lines({"Object Far", "End"});
    }
    void blockLookup()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"), file));
        GamePath = game.path();
        SParse parser;
        parser.ObjectName = name;
        QCOMPARE(parser.GetObjectText(QStringLiteral("Object")), expected);
        QCOMPARE(parser.GetObjectText(QStringLiteral("Object"), QStringLiteral("Object\\FactionUnit.ini")), expected);
        // Nothing of the last lookup is left when a file is missing.
        QCOMPARE(parser.GetObjectText(QStringLiteral("Object"), QStringLiteral("Missing.ini")), QString());
    }

    void parameterValuesOfText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // the values of "Speed"
        QTest::newRow("prefix: speed damaged too") << lines({"  Speed = 30", "  SpeedDamaged = 15"}) << lines({"30", "15"});
        QTest::newRow("comment holding another setting") << lines({"  Speed = 30 ; Speed = 99"}) << lines({"30"});
        QTest::newRow("commented out or another case") << lines({"  ; Speed = 3", "  ;Speed = 2", "  speed = 1"}) << QString();
        QTest::newRow("no spaces: the whole line") << lines({"  Speed=30"}) << lines({"Speed=30"});
        QTest::newRow("tab is no separator, no last line end") << QStringLiteral("  Speed =\t30") << lines({"=\t30"});
    }
    void parameterValuesOfText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(SParse::GetParameterValueNoINI(QStringLiteral("Locomotor"), QStringLiteral("Speed"), text), expected);
    }

    void extractWeapons_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QStringList>("sets");
        const QString set1 = lines({"  WeaponSet", "    Weapon = PRIMARY Gun", "  End"});
        const QString armour = lines({"  ArmorSet", "    Armor = A", "  End"});
        const QString set2 = lines({"  WeaponSet", "    Conditions = VETERAN", "    Weapon = PRIMARY Gun2", "  End"});
        QTest::newRow("sub-block between sets goes into the next slot")
            << QStringLiteral("Object T\r\n") + set1 + armour + set2 + lines({"End"})
            << QStringList{set1, armour, QString()};
        QTest::newRow("markers are case-sensitive and need two spaces")
            << lines({"Object T", "  weaponset", " WeaponSet", "   WeaponSet", "  End"}) << QStringList{QString()};
        const QString small = lines({"  WeaponSet", "  End"});
        QTest::newRow("more than 32767 sets") << QStringLiteral("Object T\r\n") + small.repeated(33000)
                                              << (QStringList(33000, small) << QString());
    }
    void extractWeapons()
    {
        QFETCH(QString, object);
        QFETCH(QStringList, sets);
        SParse::ExtractWeapons(object);
        QCOMPARE(WeaponSets, sets);
    }

    void remVBCrLfDropsBlankLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty and all-space lines") << lines({"", "  ", "a", "", "b"}) << QStringLiteral("a\r\nb");
        QTest::newRow("tab line, lone lf kept") << QStringLiteral("\t\r\na\nb\r\n\r\nc") << QStringLiteral("\t\r\na\nb\r\nc");
    }
    void remVBCrLfDropsBlankLines()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(SParse::RemVBCrLf(text), expected);
    }
};

QTEST_GUILESS_MAIN(tst_SParse)
#include "tst_sparse.moc"
