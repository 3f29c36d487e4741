#include "manualedit/completion.h"
#include "manualedit/textcheck.h"

#include "../common/testgame.h"

#include <QTest>

// What the raw editor offers and underlines, read from the text it holds:
// the completion context of each kind of line, and the data check run on an
// edited text in place of its file.
class tst_TextAssist : public QObject
{
    Q_OBJECT

private:
    TestGame m_game;
    DataIndex m_base;

    static constexpr int kFactionUnit = 0; // its place in the data check's files

    // The text with "|" marking the caret.
    static Completion::Context at(const char *marked)
    {
        QByteArray text(marked);
        const qsizetype caret = text.indexOf('|');
        text.remove(caret, 1);
        return Completion::contextAt(text, caret);
    }

    static QStringList shown(const QList<TextCheck::Mark> &marks, const QByteArray &text)
    {
        QStringList out;
        for (const TextCheck::Mark &mark : marks)
            out << QString::fromUtf8(text.mid(mark.from, mark.to - mark.from)) + QLatin1String(": ") + mark.message;
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_game.writeIni(QStringLiteral("Object/FactionUnit.ini"), crlf({"Object Tank", "  Armor = Plate", "End"})));
        QVERIFY(m_game.writeIni(QStringLiteral("Object/FactionBuilding.ini"), crlf({"Object Depot", "End"})));
        QVERIFY(m_game.writeIni(QStringLiteral("Weapon.ini"), crlf({
            "Weapon Cannon ; the gun",
            "  PrimaryDamage = 40 ; per shot",
            "  ; a note",
            "",
            "  DamageType = ARMOR_PIERCING",
            "End",
            "Weapon cannonLight",
            "End",
            "Weapon Laser",
            "End",
        })));
        QVERIFY(m_game.writeIni(QStringLiteral("Armor.ini"), crlf({"Armor Plate", "  Armor = DEFAULT 50%", "End"})));
        QVERIFY(m_game.writeIni(QStringLiteral("Locomotor.ini"), crlf({"Locomotor Treads", "End"})));
        QVERIFY(m_game.writeIni(QStringLiteral("CommandButton.ini"), crlf({"CommandButton Cmd_Go", "End"})));
        QVERIFY(m_game.writeIni(QStringLiteral("CommandSet.ini"), crlf({"CommandSet TankSet", "  1 = Cmd_Go", "End"})));
        QVERIFY(m_base.build(m_game.path()));
    }

    void completionContext_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("what");
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QByteArray>("prefix");
        using C = Completion::Context;
        QTest::newRow("weapon slot") << QByteArray("Object Tank\r\n  WeaponSet\r\n    Weapon = PRIMARY Can|\r\n  End\r\nEnd\r\n")
                                     << int(C::Name) << QByteArray("Weapon") << QByteArray("Can");
        QTest::newRow("second weapon on the line") << QByteArray("Object T\r\n  Weapon = PRIMARY Cannon SECONDARY |")
                                                   << int(C::Name) << QByteArray("Weapon") << QByteArray();
        QTest::newRow("armour right after =") << QByteArray("Object T\r\n  ArmorSet\r\n    Armor =Pl|")
                                              << int(C::Name) << QByteArray("Armor") << QByteArray("Pl");
        QTest::newRow("locomotor") << QByteArray("OBJECT T\n  Locomotor = SET_NORMAL Tre|")
                                   << int(C::Name) << QByteArray("Locomotor") << QByteArray("Tre");
        QTest::newRow("command set") << QByteArray("Object T\r\n  CommandSet = |")
                                     << int(C::Name) << QByteArray("CommandSet") << QByteArray();
        QTest::newRow("numbered slot") << QByteArray("CommandSet S\r\n  12 = Cmd|\r\nEnd")
                                       << int(C::Name) << QByteArray("CommandButton") << QByteArray("Cmd");
        QTest::newRow("parameter of the object") << QByteArray("Object T\r\n  Max|")
                                                 << int(C::Parameter) << QByteArray("object") << QByteArray("Max");
        QTest::newRow("parameter of a sub-block") << QByteArray("Object T\r\n  WeaponSet\r\n    Weapon = PRIMARY X\r\n    Con|")
                                                  << int(C::Parameter) << QByteArray("weaponset") << QByteArray("Con");
        QTest::newRow("after the sub-block's End") << QByteArray("Object T\r\n  ArmorSet\r\n    Armor = P\r\n  End\r\n  |")
                                                   << int(C::Parameter) << QByteArray("object") << QByteArray();
        QTest::newRow("weapon parameter outside an object") << QByteArray("Weapon W\r\n  Weapon = Cannon|")
                                                            << int(C::Nothing) << QByteArray() << QByteArray();
        QTest::newRow("a name for no kind") << QByteArray("Object T\r\n  Side = Am|")
                                            << int(C::Nothing) << QByteArray() << QByteArray();
        QTest::newRow("in a comment") << QByteArray("Object T\r\n  ; Armor = P|")
                                      << int(C::Nothing) << QByteArray() << QByteArray();
        QTest::newRow("a header line") << QByteArray("Object T|") << int(C::Nothing) << QByteArray() << QByteArray();
        QTest::newRow("after a top End") << QByteArray("Object T\r\nEnd\r\n  Armor = |")
                                         << int(C::Nothing) << QByteArray() << QByteArray();
        QTest::newRow("after a parameter's name") << QByteArray("Object T\r\n  Max |")
                                                  << int(C::Nothing) << QByteArray() << QByteArray();
        QTest::newRow("two words before =") << QByteArray("Object T\r\n  Max Health|")
                                            << int(C::Nothing) << QByteArray() << QByteArray();
    }

    void completionContext()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, what);
        QFETCH(QByteArray, kind);
        QFETCH(QByteArray, prefix);
        const Completion::Context context = at(text.constData());
        QCOMPARE(int(context.what), what);
        QCOMPARE(context.kind, kind);
        QCOMPARE(context.prefix, prefix);
        if (what != Completion::Context::Nothing)
            QCOMPARE(text.mid(context.start, prefix.size() + 1), prefix + '|');
    }

    void parameterNamesByBlock()
    {
        const QByteArray text = "Object A\r\n  maxHealth = 1\r\n  WeaponSet\r\n    Weapon = PRIMARY X\r\n  End\r\nEnd\r\n"
                                "Object B\r\n  Cost = 3 ; c\r\n  MaxHealth = 2\r\n  ; Hidden = 1\r\nEnd\r\n";
        const auto names = Completion::parameterNames(text);
        QCOMPARE(names.value("object"), (QList<QByteArray>{"Cost", "maxHealth", "WeaponSet"}));
        QCOMPARE(names.value("weaponset"), QList<QByteArray>{"Weapon"});
        QCOMPARE(Completion::narrowed({"Cannon", "cannonLight", "Laser"}, "CAN"), (QList<QByteArray>{"Cannon", "cannonLight"}));
        QCOMPARE(TextCheck::definedNames(m_base, QStringLiteral("Weapon")), (QList<QByteArray>{"Cannon", "cannonLight", "Laser"}));
    }

    // The check's problems for the edited text, before and after an edit,
    // placed on the names they are about.
    void problemsFollowTheText()
    {
        QByteArray text = "Object Tank\r\n  Armor = Plate\r\nEnd\r\n";
        TextCheck::Result before = TextCheck::run(m_base, kFactionUnit, text);
        QVERIFY(before.problems.isEmpty());

        text = "Object Tänk\r\n  Armor = Plait\r\n  Weapon = PRIMARY Laser Lazer\r\nObject Depot\r\nEnd\r\nObject TÄNK\r\nEnd";
        const TextCheck::Result after = TextCheck::run(m_base, kFactionUnit, text);
        QCOMPARE(shown(after.marks, text), (QStringList{
            "Tänk: Object Tänk has no End line before line 4",
            "Plait: Object Tänk names the Armor Plait, which no block defines",
            "Lazer: Object Tänk names the Weapon Lazer, which no block defines",
            "TÄNK: Object TÄNK is already defined on line 1",
        }));
        // A name defined again in another file is no problem of this one; the
        // text stands in for its file in the returned index, the others stay.
        QCOMPARE(after.index.definitions(u"t\u00e4nk").size(), 2);
        QCOMPARE(after.index.definitions(u"Cannon").size(), 1);
    }

    void marksOfOddLines()
    {
        // A lone LF is text within the game's line; a problem past the text has no place.
        const QByteArray text = "a\nb\rline two\r\nthree";
        const QList<DataProblem> problems{
            {"x", 2, "k", "m2", 5, 3}, {"x", 3, "k", "whole", -1, 0}, {"x", 9, "k", "past", 0, 1}};
        QCOMPARE(shown(TextCheck::marksOf(problems, text), text), (QStringList{"two: m2", "three: whole"}));
    }

    void cardRows()
    {
        const QStringList card{"Weapon Cannon", "Weapon.ini, line 1", "PrimaryDamage = 40", "DamageType = ARMOR_PIERCING"};
        QCOMPARE(TextCheck::cardRows(m_base, m_game.path(), QStringLiteral("CANNON"), kFactionUnit, {}), card);
        QVERIFY(TextCheck::cardRows(m_base, m_game.path(), QStringLiteral("Nothing"), kFactionUnit, {}).isEmpty());

        // The shown file's rows come from the editor's text, at most ten values.
        QByteArray text = "Object Tank\r\n";
        for (int i = 1; i <= 12; ++i)
            text += "  P" + QByteArray::number(i) + " = " + QByteArray::number(i) + "\r\n";
        text += "End\r\n";
        const TextCheck::Result edited = TextCheck::run(m_base, kFactionUnit, text);
        const QStringList rows = TextCheck::cardRows(edited.index, m_game.path(), QStringLiteral("Tank"), kFactionUnit, text);
        QCOMPARE(rows.size(), 12);
        QCOMPARE(rows.mid(0, 3), (QStringList{"Object Tank", "Object\\FactionUnit.ini, line 1", "P1 = 1"}));
        QCOMPARE(rows.last(), QStringLiteral("P10 = 10"));
    }
};

QTEST_GUILESS_MAIN(tst_TextAssist)
#include "tst_textassist.moc"
