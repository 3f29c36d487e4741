#include "engine/globals.h"
#include "engine/sparse.h"

#include "../common/testgame.h"

#include <QTest>

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString lines(std::initializer_list<const char *> list)
{
    QString out;
    for (const char *line : list)
        out += QString::fromLatin1(line) + CrLf;
    return out;
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

        const QByteArray prefixPair = crlf({"Object TankAB", "  Health = 2", "End", "Object TankA", "  Health = 1", "End"});
        QTest::newRow("longer name first does not answer the shorter")
            << prefixPair << "TankA" << lines({"Object TankA", "  Health = 1", "End"});
        QTest::newRow("longer name is still found")
            << prefixPair << "TankAB" << lines({"Object TankAB", "  Health = 2", "End"});
        QTest::newRow("keyword and name ignore case")
            << crlf({"OBJECT tanka", "End"}) << "TankA" << lines({"OBJECT tanka", "End"});
        QTest::newRow("comment after the name")
            << crlf({"Object TankA ; the tank", "End"}) << "TankA" << lines({"Object TankA ; the tank", "End"});
        QTest::newRow("tab after the name")
            << crlf({"Object TankA\tx", "End"}) << "TankA" << lines({"Object TankA\tx", "End"});
        QTest::newRow("leading space is no header")
            << crlf({" Object TankA", "End"}) << "TankA" << QString();
        QTest::newRow("lower-case end closes the block")
            << crlf({"Object TankA", "  a = 1", "end", "  b = 2"}) << "TankA" << lines({"Object TankA", "  a = 1", "end"});
        QTest::newRow("indented End is body text")
            << crlf({"Object TankA", "  Body", "  End", "End", "after"}) << "TankA"
            << lines({"Object TankA", "  Body", "  End", "End"});
        QTest::newRow("first-column EndOfSomething closes")
            << crlf({"Object TankA", "EndOfSomething", "more"}) << "TankA" << lines({"Object TankA", "EndOfSomething"});
        QTest::newRow("block without end runs to the end of the file")
            << QByteArray("Object TankA\r\n  a = 1\r\n  b = 2") << "TankA" << lines({"Object TankA", "  a = 1", "  b = 2"});
        QTest::newRow("only the first matching block")
            << crlf({"Object TankA", "  a = 1", "End", "Object TankA", "  a = 2", "End"}) << "TankA"
            << lines({"Object TankA", "  a = 1", "End"});
        QTest::newRow("other keyword") << crlf({"Weapon TankA", "End"}) << "TankA" << QString();
        QTest::newRow("binary garbage") << QByteArray("\0\xff\r\x01Object\0\n\n\r", 11) << "TankA" << QString();
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
    }

    void lookupsOnMissingFilesAreEmpty()
    {
        TestGame game;
        GamePath = game.path();
        SParse parser;
        parser.ObjectName = QStringLiteral("Gun");
        QCOMPARE(parser.GetObjectText(QStringLiteral("Weapon"), QStringLiteral("Weapon.ini")), QString());
        QCOMPARE(parser.GetParameterValue(QStringLiteral("Weapon"), QStringLiteral("Damage"), QStringLiteral("Weapon.ini")), QString());
    }

    void parameterValuesMatchByPrefix()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Weapon.ini"),
                              crlf({"Weapon GunUpgraded", "  Damage = 99", "End", "Weapon Gun", "  Damage = 10 ; base",
                                    "  ;Damage = 50", "  DamageType = ARMOR_PIERCING", "End"})));
        GamePath = game.path();
        SParse parser;
        parser.ObjectName = QStringLiteral("Gun");
        // "Damage" also matches "DamageType"; the commented-out line never matches.
        QCOMPARE(parser.GetParameterValue(QStringLiteral("Weapon"), QStringLiteral("Damage"), QStringLiteral("Weapon.ini")),
                 lines({"10", "ARMOR_PIERCING"}));
        QCOMPARE(parser.GetParameterValue(QStringLiteral("Weapon"), QStringLiteral("Range"), QStringLiteral("Weapon.ini")), QString());
    }

    void parameterValuesOfText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("speed and speed damaged")
            << lines({"  Speed = 30", "  SpeedDamaged = 15"}) << "Speed" << lines({"30", "15"});
        QTest::newRow("comment holding another setting")
            << lines({"  Speed = 30 ; Speed = 99"}) << "Speed" << lines({"30"});
        QTest::newRow("commented-out line") << lines({"  ; Speed = 30", "  ;Speed = 20"}) << "Speed" << QString();
        QTest::newRow("case matters") << lines({"  speed = 30"}) << "Speed" << QString();
        QTest::newRow("no line end after the last line") << QStringLiteral("  Speed = 7") << "Speed" << lines({"7"});
    }
    void parameterValuesOfText()
    {
        QFETCH(QString, text);
        QFETCH(QString, parameter);
        QFETCH(QString, expected);
        QCOMPARE(SParse::GetParameterValueNoINI(QStringLiteral("Locomotor"), parameter, text), expected);
    }

    void parseValueTakesTheLastWordBeforeAComment_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("value");
        QTest::newRow("comment") << "  Speed = 30 ; fast" << "30";
        QTest::newRow("no spaces") << "Speed=30" << "Speed=30";
        QTest::newRow("trailing spaces") << "Speed = 30   " << "30";
        QTest::newRow("several words") << "Surfaces = A B" << "B";
        QTest::newRow("tabs are not separators") << "Speed =\t30" << "=\t30";
        QTest::newRow("leading semicolon is skipped") << ";Speed = 5 ; x" << "5";
        QTest::newRow("only a comment") << ";" << "";
        QTest::newRow("empty") << "" << "";
    }
    void parseValueTakesTheLastWordBeforeAComment()
    {
        QFETCH(QString, line);
        QFETCH(QString, value);
        QCOMPARE(SParse::ParseValue(line), value);
    }

    void blockValueHelpersNeedTheExactName()
    {
        const QString onlyDamaged = lines({"Locomotor L", "  SpeedDamaged = 15", "End"});
        QVERIFY(!SParse::LocomotorValue(QStringLiteral("Speed"), onlyDamaged).has_value());
        const QString both = lines({"Locomotor L", "  Speed = 30", "  SpeedDamaged = 15", "End"});
        QCOMPARE(SParse::LocomotorValue(QStringLiteral("Speed"), both), std::optional<QString>(QStringLiteral("30")));
        const QString twice = lines({"  Slot = A", "  Slot = B"});
        QCOMPARE(SParse::CommandSetValue(QStringLiteral("Slot"), twice), std::optional<QString>(QStringLiteral("A\r\nB")));
        QCOMPARE(SParse::WeaponValue(QStringLiteral("Slot"), twice), SParse::CommandButtonValue(QStringLiteral("Slot"), twice));
        QVERIFY(!SParse::WeaponValue(QStringLiteral("Damage"), QString()).has_value());
    }

    void extractWeapons_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QStringList>("sets");
        const QString set1 = lines({"  WeaponSet", "    Weapon = PRIMARY Gun", "  End"});
        const QString set2 = lines({"  WeaponSet", "    Conditions = VETERAN", "    Weapon = PRIMARY Gun2", "  End"});
        QTest::newRow("two consecutive sets")
            << QStringLiteral("Object T\r\n") + set1 + set2 + lines({"  Health = 1", "End"})
            << QStringList{set1, set2, QString()};
        QTest::newRow("no set leaves one empty slot") << lines({"Object T", "  Health = 1", "End"}) << QStringList{QString()};
        QTest::newRow("sub-block between sets goes into the next slot")
            << QStringLiteral("Object T\r\n") + set1 + lines({"  ArmorSet", "    Armor = A", "  End"}) + set2
            << QStringList{set1, lines({"  ArmorSet", "    Armor = A", "  End"}), QString()};
        QTest::newRow("markers are case-sensitive and need two spaces")
            << lines({"Object T", "  weaponset", " WeaponSet", "   WeaponSet", "  End"}) << QStringList{QString()};
    }
    void extractWeapons()
    {
        QFETCH(QString, object);
        QFETCH(QStringList, sets);
        SParse::ExtractWeapons(object);
        QCOMPARE(WeaponSets, sets);
    }

    void noSixteenBitLimits()
    {
        // More than 32767 weapon sets, and a block further than 32767 lines into its file.
        QString object = QStringLiteral("Object Big\r\n");
        for (int i = 0; i < 33000; ++i)
            object += QStringLiteral("  WeaponSet\r\n  End\r\n");
        SParse::ExtractWeapons(object);
        QCOMPARE(WeaponSets.size(), qsizetype(33001));
        QCOMPARE(WeaponSets[32999], QStringLiteral("  WeaponSet\r\n  End\r\n"));

        QByteArray file;
        for (int i = 0; i < 40000; ++i)
            file += "; filler\r\n";
        file += crlf({"Object Far", "  Health = 5", "End"});
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"), file));
        GamePath = game.path();
        SParse parser;
        parser.ObjectName = QStringLiteral("Far");
        QCOMPARE(parser.GetParameterValue(QStringLiteral("Object"), QStringLiteral("Health")), lines({"5"}));
    }

    void remVBCrLfDropsBlankLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("mixed") << lines({"a", "", "  ", "b"}) << QStringLiteral("a\r\nb");
        QTest::newRow("only blank") << lines({"", "   "}) << QString();
        QTest::newRow("tab line is kept") << QStringLiteral("\t\r\nx") << QStringLiteral("\t\r\nx");
        QTest::newRow("lone lf stays inside") << QStringLiteral("a\nb\r\n\r\nc") << QStringLiteral("a\nb\r\nc");
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
