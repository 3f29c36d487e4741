#include "engine/globals.h"
#include "engine/sparse.h"

#include "../common/testgame.h"

#include <QTest>

class tst_Locomotors : public QObject
{
    Q_OBJECT

private:
    TestGame m_game;

private slots:
    void initTestCase()
    {
        QVERIFY(m_game.writeIni(QStringLiteral("Object/FactionUnit.ini"),
                                crlf({"Object Walker", "  Locomotor = SET_NORMAL Legs", "  Health = 5",
                                      "  Locomotor = SET_FREEFALL Chute Wings ; two names, the last counts", "End",
                                      "Object Statue", "  Health = 1", "End",
                                      "Object Ghost", "  Locomotor = SET_NORMAL Nowhere", "End"})));
        QVERIFY(m_game.writeIni(QStringLiteral("Locomotor.ini"),
                                crlf({"Locomotor Legs", "  Surfaces = GROUND RUBBLE", "  Speed = 20", "  SpeedDamaged = 10",
                                      "  TurnRate = 180", "  TurnRateDamaged = 90", "  Acceleration = 100",
                                      "  AccelerationDamaged = 50", "  Braking = 200", "  MinTurnSpeed = 0", "End",
                                      "Locomotor Wings", "  Surfaces = AIR", "  Speed=300", "  SpeedDamaged = 150", "End"})));
        GamePath = m_game.path();
    }

    void namesFollowBlockOrderAndTakeTheLastWord()
    {
        SParse parser;
        QCOMPARE(parser.GetLocomotorNames(QStringLiteral("Walker"), QStringLiteral("FactionUnit.ini")),
                 QStringLiteral("Legs\r\nWings"));
        QCOMPARE(parser.ObjectName, QStringLiteral("Walker"));
        QCOMPARE(parser.GetLocomotorNames(QStringLiteral("Statue"), QStringLiteral("FactionUnit.ini")), QString());
    }

    void locomotorTextsEachEndWithAnExtraLineEnd()
    {
        SParse parser;
        const QString texts = parser.GetLocomotors(QStringLiteral("Walker"), QStringLiteral("FactionUnit.ini"));
        QVERIFY(texts.startsWith(QStringLiteral("Locomotor Legs\r\n")));
        QVERIFY(texts.contains(QStringLiteral("End\r\n\r\nLocomotor Wings\r\n")));
        QVERIFY(texts.endsWith(QStringLiteral("End\r\n\r\n")));
        QCOMPARE(parser.ObjectName, QStringLiteral("Wings"));
        // A name that Locomotor.ini does not define adds only the line end.
        QCOMPARE(parser.GetLocomotors(QStringLiteral("Ghost"), QStringLiteral("FactionUnit.ini")), QStringLiteral("\r\n"));
    }

    void handlingValuesComeFromTheChosenLocomotor()
    {
        SParse parser;
        const auto first = parser.GetLocomotorData(QStringLiteral("Walker"), QStringLiteral("FactionUnit.ini"), 0);
        QCOMPARE(first.name, QStringLiteral("Legs"));
        const QStringList expected{"RUBBLE", "20", "10", "180", "90", "100", "50", "200", "0"};
        for (int i = 0; i < SParse::HandlingCount; ++i)
            QCOMPARE(first.values[i].value_or(QStringLiteral("<none>")), expected[i]);

        // "Speed=300" has no space before the equals sign and yields no speed;
        // missing parameters stay empty rather than repeating another value.
        const auto second = parser.GetLocomotorData(QStringLiteral("Walker"), QStringLiteral("FactionUnit.ini"), 1);
        QCOMPARE(second.values[0], std::optional<QString>(QStringLiteral("AIR")));
        QVERIFY(!second.values[1].has_value());
        QCOMPARE(second.values[2], std::optional<QString>(QStringLiteral("150")));
        for (int i = 3; i < SParse::HandlingCount; ++i)
            QVERIFY(!second.values[i].has_value());
    }

    void positionPastTheListFindsNothing()
    {
        SParse parser;
        const auto none = parser.GetLocomotorData(QStringLiteral("Walker"), QStringLiteral("FactionUnit.ini"), 2);
        QVERIFY(none.name.isEmpty());
        QCOMPARE(parser.ObjectName, QStringLiteral("Walker"));
        for (const auto &value : none.values)
            QVERIFY(!value.has_value());
    }
};

QTEST_GUILESS_MAIN(tst_Locomotors)
#include "tst_locomotors.moc"
