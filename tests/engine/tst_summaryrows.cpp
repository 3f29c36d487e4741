#include "engine/globals.h"
#include "engine/objectvalues.h"
#include "engine/summaryrows.h"

#include "../common/testgame.h"

#include <QTest>

class tst_SummaryRows : public QObject
{
    Q_OBJECT

private slots:
    void costFollowsTheLocaleWithoutDecimals_data()
    {
        QTest::addColumn<QString>("cost");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("shown");
        QTest::newRow("us spaces kept out") << " 1200 " << "en_US" << "$1,200";
        QTest::newRow("us fraction rounds") << "1234.5" << "en_US" << "$1,235";
        QTest::newRow("germany fraction rounds") << "1234.4" << "de_DE" << QString::fromUtf8("1.234\u00A0\u20AC");
        QTest::newRow("nan") << "nan" << "en_US" << "nan";
        QTest::newRow("inf") << "inf" << "en_US" << "inf";
        QTest::newRow("exponent") << "1e3" << "en_US" << "1e3";
        QTest::newRow("tab inside") << "800\t" << "en_US" << "800\t";
    }
    void costFollowsTheLocaleWithoutDecimals()
    {
        QFETCH(QString, cost);
        QFETCH(QString, locale);
        QFETCH(QString, shown);
        QCOMPARE(Summary::costText(cost, QLocale(locale)), shown);
    }

    void rowsFollowTheFields()
    {
        SummaryInput in;
        in.name = QStringLiteral("Tank");
        in.initialHealth = QStringLiteral("300.0");
        in.maxHealth = QStringLiteral("   ");
        in.cost = QStringLiteral("800");
        in.primaryWeapon = QStringLiteral("Gun");
        in.locomotorTabs = QStringList{"A", "B"};
        in.locomotorComboText = QStringLiteral("A");
        // The handling boxes take only whole numbers that fit; braking has seven digits.
        const QStringList typed = {"", "30", "12345", "1.5", "", "-5", "", "1234567", ""};
        for (int i = 0; i < 9; ++i)
            in.handling[i] = Summary::handlingBoxes()[i].textWith(typed[i]);
        QStringList flat;
        for (const SummaryRow &r : Summary::build(in, QLocale(QStringLiteral("en_US"))))
            flat << (r.value ? r.label + QLatin1Char('=') + *r.value : r.label + QLatin1Char('|'));
        const QString sep(40, u'-');
        QCOMPARE(flat, (QStringList{
            "Name=Tank", sep + "=" + sep, "Initial Health=300.0", "Max Health=N/A", "|", "Cost=$800", "Build Speed=N/A",
            sep + "=" + sep, "Shroud Clearing Range=N/A", "Vision Range=N/A", sep + "=" + sep, "|",
            "Primary Weapon=Gun", "Secondary Weapon=N/A", "Tertiary Weapon=N/A", "|", "Locomotor=A, B",
            sep + "=" + sep, "Surfaces=N/A", "Top Speed=30 dist/sec", "Top Speed When Damaged= dist/sec", "|",
            "Turn Rate= degrees/sec", "Turn Rate When Damaged= degrees/sec", "|", "Acceleration= dist/(sec^2)",
            "Acceleration When Damaged= dist/(sec^2)", "|", "Braking=1234567 dist/(sec^2)", "Min Turn Speed= dist/sec"}));

        // Only spaces make a value empty; a tab is shown. Surfaces is free text.
        in.handling[0] = Summary::handlingBoxes()[0].textWith(QStringLiteral("GROUND"));
        in.locomotorComboText.clear();
        in.cost.clear();
        in.maxHealth = QStringLiteral("\t");
        const QList<SummaryRow> blank = Summary::build(in);
        QStringList values;
        for (int row : {3, 5, 16, 18}) // max health, cost, locomotor, surfaces
            values << blank[row].value.value_or(QStringLiteral("-"));
        QCOMPARE(values, (QStringList{"\t", "N/A", "N/A", "GROUND"}));
    }

    void objectValuesComeFromOneReadOfTheBlock()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"),
                              crlf({"Object Tank", "  BuildCost = 800", "  Armor = HeavyPlate", "  ArmorSet",
                                    "    Armor = SecondPlate", "  End", "  MaxHealth = 300", "  MaxHealthBonus = 50",
                                    "  Locomotor = SET_NORMAL Treads", "  WeaponSet", "    Conditions = None",
                                    "    Weapon = PRIMARY Cannon", "    WeaponSwapLocked = Yes", "  End", "  WeaponSet",
                                    "    Conditions = VETERAN ELITE", "    Weapon = PRIMARY BigCannon",
                                    "    Weapon = SECONDARY MG", "    Weapon = TERTIARY Rocket", "  End", "End"})));
        GamePath = game.path();
        SParse parser;
        const ObjectValues v = ObjectValues::load(parser, QStringLiteral("Tank"), QStringLiteral("FactionUnit.ini"));
        QVERIFY(v.found);
        QCOMPARE(v.cost, QStringLiteral("800"));
        QCOMPARE(v.maxHealth, QStringLiteral("30050")); // two lines starting MaxHealth run together
        QCOMPARE(v.armour, QStringLiteral("HeavyPlate"));
        QCOMPARE(v.conditions, (QStringList{"None", "ELITE"}));
        QCOMPARE(v.locomotors, QStringList{"Treads"});
        QCOMPARE(ObjectValues::weaponsOfSet(v.weaponSets[0]), (std::array<QString, 3>{"Cannon", "", ""}));
        QCOMPARE(ObjectValues::weaponsOfSet(v.weaponSets[1]), (std::array<QString, 3>{"BigCannon", "MG", "Rocket"}));
        QVERIFY(!ObjectValues::load(parser, QStringLiteral("Nothing"), QStringLiteral("FactionUnit.ini")).found);
    }
};

QTEST_GUILESS_MAIN(tst_SummaryRows)
#include "tst_summaryrows.moc"
