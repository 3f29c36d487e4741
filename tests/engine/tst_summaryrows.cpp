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
        QTest::newRow("us thousand") << "1000" << "en_US" << "$1,000";
        QTest::newRow("us eight hundred") << "800" << "en_US" << "$800";
        QTest::newRow("us spaces kept out") << " 1200 " << "en_US" << "$1,200";
        QTest::newRow("germany") << "1100" << "de_DE" << QString::fromUtf8("1.100\u00A0\u20AC");
        QTest::newRow("not a number is unchanged") << "Free" << "en_US" << "Free";
        QTest::newRow("two values run together") << "10002000" << "en_US" << "$10,002,000";
        QTest::newRow("nan") << "nan" << "en_US" << "nan";
        QTest::newRow("inf") << "inf" << "en_US" << "inf";
        QTest::newRow("exponent") << "1e3" << "en_US" << "1e3";
        QTest::newRow("tab inside") << "800\t" << "en_US" << "800\t";
        QTest::newRow("us fraction rounds") << "1234.5" << "en_US" << "$1,235";
        QTest::newRow("germany fraction rounds") << "1234.4" << "de_DE" << QString::fromUtf8("1.234\u00A0\u20AC");
    }
    void costFollowsTheLocaleWithoutDecimals()
    {
        QFETCH(QString, cost);
        QFETCH(QString, locale);
        QFETCH(QString, shown);
        QCOMPARE(Summary::costText(cost, QLocale(locale)), shown);
    }

    void handlingBoxesTakeOnlyWholeNumbersThatFit_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("speed") << 1 << "30" << "30__ dist/sec";
        QTest::newRow("too many digits") << 1 << "12345" << "____ dist/sec";
        QTest::newRow("decimal point") << 3 << "1.5" << "____ degrees/sec";
        QTest::newRow("minus") << 5 << "-5" << "____ dist/(sec^2)";
        QTest::newRow("braking has seven") << 7 << "1234567" << "1234567 dist/(sec^2)";
        QTest::newRow("missing") << 8 << "" << "____ dist/sec";
        QTest::newRow("surfaces free text") << 0 << "GROUND" << "GROUND";
    }
    void handlingBoxesTakeOnlyWholeNumbersThatFit()
    {
        QFETCH(int, box);
        QFETCH(QString, value);
        QFETCH(QString, text);
        QCOMPARE(Summary::handlingBoxes()[box].textWith(value), text);
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
        const auto &boxes = Summary::handlingBoxes();
        in.handling[0] = QString();
        for (int i = 1; i < 9; ++i)
            in.handling[i] = boxes[i].textWith(i == 1 ? QStringLiteral("30") : QString());
        const QList<SummaryRow> rows = Summary::build(in, QLocale(QStringLiteral("en_US")));

        QStringList flat;
        for (const SummaryRow &r : rows)
            flat << (r.value ? r.label + QLatin1Char('=') + *r.value : r.label + QLatin1Char('|'));
        const QString sep = Summary::separator();
        QCOMPARE(flat, (QStringList{
            "Name=Tank", sep + "=" + sep, "Initial Health=300.0", "Max Health=N/A", "|", "Cost=$800", "Build Speed=N/A",
            sep + "=" + sep, "Shroud Clearing Range=N/A", "Vision Range=N/A", sep + "=" + sep, "|",
            "Primary Weapon=Gun", "Secondary Weapon=N/A", "Tertiary Weapon=N/A", "|", "Locomotor=A, B",
            sep + "=" + sep, "Surfaces=N/A", "Top Speed=30 dist/sec", "Top Speed When Damaged= dist/sec", "|",
            "Turn Rate= degrees/sec", "Turn Rate When Damaged= degrees/sec", "|", "Acceleration= dist/(sec^2)",
            "Acceleration When Damaged= dist/(sec^2)", "|", "Braking= dist/(sec^2)", "Min Turn Speed= dist/sec"}));
        QCOMPARE(sep.size(), 40);

        // Only spaces make a value empty; a tab is shown.
        in.locomotorComboText.clear();
        in.cost.clear();
        in.maxHealth = QStringLiteral("\t");
        const QList<SummaryRow> blank = Summary::build(in);
        QCOMPARE(blank.at(16).value, std::optional<QString>(QStringLiteral("N/A")));
        QCOMPARE(blank.at(5).value, std::optional<QString>(QStringLiteral("N/A")));
        QCOMPARE(blank.at(3).value, std::optional<QString>(QStringLiteral("\t")));
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
        QCOMPARE(v.weaponSets.size(), qsizetype(3));
        QCOMPARE(v.locomotors, QStringList{"Treads"});
        QCOMPARE(ObjectValues::weaponsOfSet(v.weaponSets[0]), (std::array<QString, 3>{"Cannon", "", ""}));
        QCOMPARE(ObjectValues::weaponsOfSet(v.weaponSets[1]), (std::array<QString, 3>{"BigCannon", "MG", "Rocket"}));
        QCOMPARE(ObjectValues::weaponsOfSet(QString()), (std::array<QString, 3>{}));

        const ObjectValues missing = ObjectValues::load(parser, QStringLiteral("Nothing"), QStringLiteral("FactionUnit.ini"));
        QVERIFY(!missing.found);
        QCOMPARE(missing.weaponSets, QStringList{QString()});
        QVERIFY(missing.locomotors.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_SummaryRows)
#include "tst_summaryrows.moc"
