#include "engine/matchup.h"

#include "../common/testgame.h"

#include <QTest>

// The damage rule: armour percentages, shots and time to kill, and how the
// values are found in the data.
class tst_Matchup : public QObject
{
    Q_OBJECT

private:
    static QString slotText(const MatchupSlot &s)
    {
        return QStringList{QString::number(s.set), s.conditions, s.slot, s.weapon}.join(u'|');
    }

private slots:
    void percentForArmourLine_data()
    {
        QTest::addColumn<QStringList>("lines"); // "TYPE P" pairs
        QTest::addColumn<QString>("damageType");
        QTest::addColumn<QString>("percent");
        QTest::newRow("the type's own line") << QStringList{"DEFAULT 100%", "SMALL_ARMS 50%"} << "SMALL_ARMS" << "50%";
        QTest::newRow("type compared without case") << QStringList{"small_arms 50%"} << "SMALL_ARMS" << "50%";
        QTest::newRow("DEFAULT when no line names the type")
            << QStringList{"SMALL_ARMS 50%", "DEFAULT 80%"} << "CRUSH" << "80%";
        QTest::newRow("neither: 100%") << QStringList{"SMALL_ARMS 50%"} << "CRUSH" << "100%";
        QTest::newRow("first line of a type counts") << QStringList{"CRUSH 10%", "CRUSH 90%"} << "CRUSH" << "10%";
        QTest::newRow("a later own line beats an earlier DEFAULT")
            << QStringList{"DEFAULT 100%", "CRUSH 10%"} << "CRUSH" << "10%";
    }
    void percentForArmourLine()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, damageType);
        QFETCH(QString, percent);
        QByteArray text = "Armor Plate\r\n";
        for (const QString &line : lines)
            text += "  Armor = " + line.toLatin1() + "   ; comment\r\n";
        text += "End\r\n";
        QCOMPARE(Matchup::percentFor(Matchup::armourLines(QString::fromLatin1(text)), damageType), percent);
    }

    void evaluate_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<QString>("health");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QStringList>("expected"); // percent, effective, shots, seconds
        QTest::addColumn<QString>("note");         // a part of the note; empty for none
        QTest::newRow("exact multiple") << "60.0" << "100%" << "300.0" << "2200"
                                        << QStringList{"100", "60", "5", "8.8"} << "";
        QTest::newRow("just past a multiple needs one more")
            << "60" << "100%" << "300.01" << "2200" << QStringList{"100", "60", "6", "11.0"} << "";
        QTest::newRow("just below a multiple") << "60" << "100%" << "299.99" << "" << QStringList{"100", "60", "5", ""} << "";
        QTest::newRow("percentage scales the damage") << "60" << "20%" << "300" << "" << QStringList{"20", "12", "25", ""} << "";
        QTest::newRow("decimals kept exact") << "0.7" << "10%" << "0.7" << "" << QStringList{"10", "0.07", "10", ""} << "";
        QTest::newRow("an exact multiple that binary fractions overshoot")
            << "2" << "30%" << "4.2" << "" << QStringList{"30", "0.6", "7", ""} << "";
        QTest::newRow("two decimals at most, no trailing zeros")
            << "5" << "33.333%" << "10" << "" << QStringList{"33.33", "1.67", "7", ""} << "";
        QTest::newRow("one shot takes no time") << "500" << "100%" << "300" << "1000" << QStringList{"100", "500", "1", "0.0"} << "";
        QTest::newRow("zero damage never kills") << "0" << "100%" << "300" << "1000" << QStringList{"100", "0", "never", ""} << "";
        QTest::newRow("negative damage never kills") << "-5" << "100%" << "300" << "" << QStringList{"100", "-5", "never", ""} << "";
        QTest::newRow("immune armour never dies") << "60" << "0%" << "300" << "" << QStringList{"0", "0", "never", ""} << "";
        QTest::newRow("damage that is no number") << "heavy" << "50%" << "300" << "1000"
                                                   << QStringList{"50", "", "", ""} << "PrimaryDamage \"heavy\" is no number";
        QTest::newRow("health that is no number keeps the damage")
            << "60" << "50%" << "300.0300.0" << "" << QStringList{"50", "30", "", ""} << "MaxHealth \"300.0300.0\" is no number";
        QTest::newRow("missing health") << "60" << "50%" << "" << "" << QStringList{"50", "30", "", ""} << "no MaxHealth";
        QTest::newRow("percentage that is no number") << "60" << "half%" << "300" << ""
                                                       << QStringList{"", "", "", ""} << "percentage \"half%\" is no number";
        QTest::newRow("a bare fraction and a percentage without its sign")
            << "+.5" << "50" << "1" << "" << QStringList{"50", "0.25", "4", ""} << "";
        QTest::newRow("a number of 10^12 or more is refused")
            << "1000000000000" << "100%" << "300" << "" << QStringList{"100", "", "", ""} << "is no number";
        QTest::newRow("an exponent is no number") << "6e1" << "100%" << "300" << "" << QStringList{"100", "", "", ""} << "is no number";
        QTest::newRow("delay that is no number leaves only the time empty")
            << "60" << "100%" << "300" << "soon" << QStringList{"100", "60", "5", ""} << "ReloadDelay \"soon\" is no number";
    }
    void evaluate()
    {
        QFETCH(QString, damage);
        QFETCH(QString, percent);
        QFETCH(QString, health);
        QFETCH(QString, delay);
        QFETCH(QStringList, expected);
        QFETCH(QString, note);
        const MatchupResult r = Matchup::evaluate(damage, percent, health, delay);
        QCOMPARE((QStringList{r.percent, r.effective, r.shots, r.seconds}), expected);
        if (note.isEmpty())
            QCOMPARE(r.note, QString());
        else
            QVERIFY2(r.note.contains(note), qPrintable(r.note));
    }

    void weaponSlotsInSetAndSlotOrder_data()
    {
        QTest::addColumn<QByteArray>("object");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("sets counted from 0 with their conditions")
            << crlf({"Object Tank", "  WeaponSet", "    Conditions = None", "    Weapon = PRIMARY Gun", "  End",
                     "  WeaponSet", "    Conditions = PLAYER_UPGRADE", "    Weapon = PRIMARY BigGun", "  End", "End"})
            << QStringList{"0|None|PRIMARY|Gun", "1|PLAYER_UPGRADE|PRIMARY|BigGun"};
        QTest::newRow("slots in PRIMARY, SECONDARY, TERTIARY order")
            << crlf({"Object Tank", "  WeaponSet", "    Weapon = TERTIARY C", "    Weapon = SECONDARY B",
                     "    Weapon = PRIMARY A ; main gun", "  End", "End"})
            << QStringList{"0||PRIMARY|A", "0||SECONDARY|B", "0||TERTIARY|C"};
        QTest::newRow("several weapons on a line, None left out")
            << crlf({"Object Tank", "  WeaponSet", "    Weapon = PRIMARY A SECONDARY None TERTIARY C", "  End", "End"})
            << QStringList{"0||PRIMARY|A", "0||TERTIARY|C"};
        QTest::newRow("no weapon sets") << crlf({"Object Rock", "  MaxHealth = 5", "End"}) << QStringList{};
    }
    void weaponSlotsInSetAndSlotOrder()
    {
        QFETCH(QByteArray, object);
        QFETCH(QStringList, expected);
        QStringList shown;
        for (const MatchupSlot &s : Matchup::weaponSlots(QString::fromLatin1(object)))
            shown << slotText(s);
        QCOMPARE(shown, expected);
    }

    void targetArmourAndHealth_data()
    {
        QTest::addColumn<QByteArray>("object");
        QTest::addColumn<bool>("hasArmourSet");
        QTest::addColumn<QString>("armour");
        QTest::addColumn<QString>("health");
        QTest::newRow("the set whose Conditions is None")
            << crlf({"Object T", "  ArmorSet", "    Conditions = DAMAGED", "    Armor = Worn", "  End", "  ArmorSet",
                     "    Conditions = none", "    Armor = Plate", "  End", "  Body = ActiveBody B",
                     "    MaxHealth = 400.0", "  End", "End"})
            << true << "Plate" << "400.0";
        QTest::newRow("the first set when none says None")
            << crlf({"Object T", "  ArmorSet", "    Conditions = DAMAGED", "    Armor = Worn", "  End", "  ArmorSet",
                     "    Conditions = PLAYER_UPGRADE", "    Armor = Plate", "  End", "End"})
            << true << "Worn" << "";
        QTest::newRow("no armour set") << crlf({"Object T", "  MaxHealth = 50", "End"}) << false << "" << "50";
    }
    void targetArmourAndHealth()
    {
        QFETCH(QByteArray, object);
        QFETCH(bool, hasArmourSet);
        QFETCH(QString, armour);
        QFETCH(QString, health);
        const MatchupTarget t = Matchup::target(QString::fromLatin1(object));
        QCOMPARE(t.hasArmourSet, hasArmourSet);
        QCOMPARE(t.armour, armour);
        QCOMPARE(t.health, health);
    }

    void rowsLookUpWeaponsAndArmoursByName_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("row"); // damage type, armour, percent, shots, note
        QTest::newRow("armour percentage applied") << "Soldier" << "SMALL_ARMS|VEST|50|20|";
        QTest::newRow("no armour set: every type in full") << "Crate" << "SMALL_ARMS||100|5|";
        QTest::newRow("an armour no block defines counts in full")
            << "Ghost" << "SMALL_ARMS|Mist|100|5|no armour named Mist; counted at 100%";
    }
    void rowsLookUpWeaponsAndArmoursByName()
    {
        QFETCH(QString, target);
        QFETCH(QString, row);
        MatchupData data;
        data.addText(0, crlf({"Object Rifleman", "  WeaponSet", "    Weapon = PRIMARY rifle", "  End",
                              "  WeaponSet", "    Weapon = PRIMARY Missing", "  End", "End",
                              "Object Soldier", "  ArmorSet", "    Conditions = None", "    Armor = VEST", "  End",
                              "  MaxHealth = 100", "End",
                              "Object Crate", "  MaxHealth = 50", "End",
                              "Object Ghost", "  ArmorSet", "    Conditions = None", "    Armor = Mist", "  End",
                              "  MaxHealth = 50", "End"}));
        data.addText(8, crlf({"Weapon Rifle", "  PrimaryDamage = 10", "  DamageType = SMALL_ARMS", "End"}));
        data.addText(9, crlf({"Armor Vest", "  Armor = SMALL_ARMS 50%", "End"}));
        const QList<MatchupRow> rows = data.rows(data.findObject(u"rifleman"), data.findObject(target));
        QCOMPARE(rows.size(), 2);
        const MatchupRow &r = rows[0];
        QCOMPARE((QStringList{r.damageType, r.armour, r.result.percent, r.result.shots, r.result.note}).join(u'|'), row);
        // The second set's weapon is defined nowhere: its row says so and has no results.
        QCOMPARE(rows[1].slot.set, 1);
        QCOMPARE(rows[1].result.shots, QString());
        QCOMPARE(rows[1].result.note, QStringLiteral("no weapon named Missing"));
    }
};

QTEST_GUILESS_MAIN(tst_Matchup)
#include "tst_matchup.moc"
