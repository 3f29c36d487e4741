#include "engine/viewerrows.h"

#include "../common/testgame.h"

#include <QTest>

namespace {

QString lines(std::initializer_list<const char *> list)
{
    return QString::fromLatin1(crlf(list));
}

// "label=value" per row, "label" alone for a row without a value cell, "-" for a separator.
QStringList shown(const QList<ViewerRow> &rows)
{
    QStringList out;
    for (const ViewerRow &row : rows)
        out << (row.label.startsWith(u'-') ? QStringLiteral("-") : row.value ? row.label + u'=' + *row.value : row.label);
    return out;
}

} // namespace

class tst_ViewerRows : public QObject
{
    Q_OBJECT

private slots:
    // A value is the last word of each line of exactly its key; the editor
    // and the choices come with the value cell.
    void valuesTakeTheirExactKeysAndBringEditorAndChoices()
    {
        const QList<ViewerRow> weapon = ViewerRows::weaponRows(
            lines({"Weapon W", "  PrimaryDamageRadius = 5", "  FireFX = FX_A", "  FireFX = FX_B FX_C", "End"}));
        QCOMPARE(shown(weapon).mid(0, 2), (QStringList{"Weapon Damage", "Weapon Damage Radius=5"}));
        QCOMPARE(weapon[0].editor, ViewerRow::NoEditor);
        QCOMPARE(shown(weapon)[16], QStringLiteral("Fire FX=FX_A\r\nFX_C"));
        QCOMPARE(weapon[16].editor, ViewerRow::TextBox);
        const QList<ViewerRow> button = ViewerRows::commandButtonRows(lines(
            {"CommandButton B", "  Command = NEW_KIND", "  ButtonBorderType = BUILD", "  ObjectUpgrade = U", "End"}));
        QCOMPARE(shown(button)[0], QStringLiteral("Command Type=NEW_KIND"));
        QCOMPARE(button[0].choices.size(), 28);
        QCOMPARE(button[2].choices, QStringList({"ACTION", "BUILD", "NONE", "SYSTEM", "UPGRADE"}));
        QCOMPARE(shown(button)[8], QStringLiteral("Object"));
    }

    // The label column as the viewers show it, separators included.
    void labelColumnsOfWeaponsAndButtons()
    {
        QCOMPARE(shown(ViewerRows::weaponRows(lines({"Weapon W", "End"}))),
                 (QStringList{"Weapon Damage", "Weapon Damage Radius", "-", "Weapon Speed", "Weapon Range",
                              "Weapon Recoil", "-", "Accuracy When Attacking Infantry", "-", "Minimum Target Pitch",
                              "Maximum Target Pitch", "-", "Damage Type", "Death Type", "-", "Projectile Object",
                              "Fire FX", "Fire Sound"}));
        QCOMPARE(shown(ViewerRows::commandButtonRows(lines({"CommandButton B", "End"}))),
                 (QStringList{"Command Type", "-", "Button Border Type", "Button Image ", "-", "Text Label",
                              "Description Label", "-", "Object", "Options", "-", "SpecialPower", "-",
                              "Radius Cursor Type", "Invalid Cursor Name"}));
    }

    void armourLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("shown"); // damage type and percentage
        QTest::newRow("spaced with comment") << "  Armor = CRUSH      25%   ; less" << "CRUSH 25%";
        QTest::newRow("no percent sign") << "  Armor = FLAME 10" << "FLAME %";
        QTest::newRow("nothing after equals") << "  Armor =" << " %";
        QTest::newRow("comment only") << "  ; tanks are tough" << "; %";
    }
    void armourLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, shown);
        const ArmourLine parsed = ViewerRows::SParseArmourLine(line);
        QCOMPARE(parsed.type + u' ' + parsed.percent, shown);
    }

    void commandSetShowsSlotsOneToTwelve()
    {
        const QStringList names = {"Cmd_A", "Cmd_B"};
        const QList<ViewerRow> rows = ViewerRows::commandSetRows(
            lines({"CommandSet S", "  11 = Cmd_Eleven", "  2 = Cmd_Two", "  3 = Cmd_Three ; note", "  2 = Cmd_Again",
                   "  14 = Cmd_Fourteen", "End"}),
            names);
        QCOMPARE(shown(rows), QStringList({"1", "2=Cmd_Two", "3=Cmd_Three", "4", "5", "6", "7", "8", "9", "10",
                                           "11=Cmd_Eleven", "12"}));
        QCOMPARE(rows[10].choices, names);
        QVERIFY(rows[0].choices.isEmpty());
    }

    void listAndChoiceNamesComeFromHeaderLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("entry");  // null: the line lists nothing
        QTest::addColumn<QString>("choice"); // null: the line offers no choice

        QTest::newRow("two spaces") << "CommandButton  Cmd_B  " << "" << "Cmd_B";
        QTest::newRow("name holding the keyword") << "CommandButton Cmd_CommandButtonC" << "Cmd_CommandButtonC" << "C";
        QTest::newRow("keyword alone") << "CommandButton" << QString() << QString();
        QTest::newRow("indented") << "  CommandButton X" << QString() << QString();
    }
    void listAndChoiceNamesComeFromHeaderLines()
    {
        QFETCH(QString, line);
        QFETCH(QString, entry);
        QFETCH(QString, choice);
        QCOMPARE(ViewerRows::listEntryName(line, u"CommandButton").value_or(QString()), entry);
        QCOMPARE(ViewerRows::listEntryName(line, u"CommandButton").has_value(), !entry.isNull());
        QCOMPARE(ViewerRows::commandButtonName(line).value_or(QString()), choice);
    }
};

QTEST_GUILESS_MAIN(tst_ViewerRows)
#include "tst_viewerrows.moc"
