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

    void namesAndTextsFollowBlockOrder()
    {
        SParse parser;
        const QString file = QStringLiteral("FactionUnit.ini");
        QCOMPARE(parser.GetLocomotorNames(QStringLiteral("Walker"), file), QStringLiteral("Legs\r\nWings"));
        QCOMPARE(parser.GetLocomotorNames(QStringLiteral("Statue"), file), QString());
        // Each block text is followed by an extra line end; a name without a block adds only that.
        const QString texts = parser.GetLocomotors(QStringLiteral("Walker"), file);
        QVERIFY(texts.startsWith(QStringLiteral("Locomotor Legs\r\n")));
        QVERIFY(texts.contains(QStringLiteral("End\r\n\r\nLocomotor Wings\r\n")));
        QVERIFY(texts.endsWith(QStringLiteral("End\r\n\r\n")));
        QCOMPARE(parser.GetLocomotors(QStringLiteral("Ghost"), file), QStringLiteral("\r\n"));
    }

    void handlingValuesComeFromTheChosenLocomotor_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("values"); // "-" for a missing parameter
        QTest::newRow("first") << 0 << "Legs" << "RUBBLE 20 10 180 90 100 50 200 0";
        // "Speed=300" lacks the space after the name: no speed, and no other value stands in.
        QTest::newRow("second") << 1 << "Wings" << "AIR - 150 - - - - - -";
        QTest::newRow("past the list") << 2 << "" << "- - - - - - - - -";
    }
    void handlingValuesComeFromTheChosenLocomotor()
    {
        QFETCH(int, position);
        QFETCH(QString, name);
        QFETCH(QString, values);
        SParse parser;
        const auto handling = parser.GetLocomotorData(QStringLiteral("Walker"), QStringLiteral("FactionUnit.ini"), position);
        QCOMPARE(handling.name, name);
        QStringList shown;
        for (const auto &value : handling.values)
            shown << value.value_or(QStringLiteral("-"));
        QCOMPARE(shown.join(u' '), values);
    }
};

QTEST_GUILESS_MAIN(tst_Locomotors)
#include "tst_locomotors.moc"
