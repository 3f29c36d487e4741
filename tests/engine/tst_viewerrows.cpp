#include "engine/viewerrows.h"

#include <QTest>

namespace {

QString lines(std::initializer_list<const char *> list)
{
    QString out;
    for (const char *line : list)
        out += QString::fromLatin1(line) + QStringLiteral("\r\n");
    return out;
}

// "label=value" per row, "label" alone for a row without a value cell.
QStringList shown(const QList<ViewerRow> &rows)
{
    QStringList out;
    for (const ViewerRow &row : rows)
        out << (row.value ? row.label + u'=' + *row.value : row.label);
    return out;
}

} // namespace

class tst_ViewerRows : public QObject
{
    Q_OBJECT

private slots:
    void weaponValueIsTheLastWordOfItsExactKey_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("row"); // row 0 or 16 as shown

        QTest::newRow("comment cut off") << "  PrimaryDamage = 50.0 ; base" << "Weapon Damage=50.0";
        QTest::newRow("last word only") << "  FireFX = FX_A FX_B" << "Fire FX=FX_B";
        QTest::newRow("two lines in one cell") << "  FireFX = FX_A\r\n  FireFX = FX_B FX_C" << "Fire FX=FX_A\r\nFX_C";
        QTest::newRow("longer key is another key") << "  PrimaryDamageRadius = 5" << "Weapon Damage";
        QTest::newRow("commented-out line") << "  ;PrimaryDamage = 9" << "Weapon Damage";
    }
    void weaponValueIsTheLastWordOfItsExactKey()
    {
        QFETCH(QString, line);
        QFETCH(QString, row);
        const QList<ViewerRow> rows = ViewerRows::weaponRows(QStringLiteral("Weapon Gun\r\n") + line + QStringLiteral("\r\nEnd\r\n\r\n"));
        const int at = row.startsWith(QLatin1String("Fire FX")) ? 16 : 0;
        QCOMPARE(shown(rows)[at], row);
        // Without a value cell the row has no editor and no choices either.
        QCOMPARE(rows[at].editor == ViewerRow::NoEditor, !rows[at].value);
    }

    void buttonCombosOfferTheirChoicesAndKeepOtherValues()
    {
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
        const auto labels = [](const QList<ViewerRow> &rows) {
            QStringList out;
            for (const ViewerRow &row : rows)
                out << (row.label.startsWith(QLatin1Char('-')) ? QStringLiteral("-") : row.label);
            return out;
        };
        QCOMPARE(labels(ViewerRows::weaponRows(lines({"Weapon W", "End"}))),
                 (QStringList{"Weapon Damage", "Weapon Damage Radius", "-", "Weapon Speed", "Weapon Range",
                              "Weapon Recoil", "-", "Accuracy When Attacking Infantry", "-", "Minimum Target Pitch",
                              "Maximum Target Pitch", "-", "Damage Type", "Death Type", "-", "Projectile Object",
                              "Fire FX", "Fire Sound"}));
        QCOMPARE(labels(ViewerRows::commandButtonRows(lines({"CommandButton B", "End"}))),
                 (QStringList{"Command Type", "-", "Button Border Type", "Button Image ", "-", "Text Label",
                              "Description Label", "-", "Object", "Options", "-", "SpecialPower", "-",
                              "Radius Cursor Type", "Invalid Cursor Name"}));
    }

    void armourLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("percent");

        QTest::newRow("plain") << "  Armor = SMALL_ARMS 50%" << "SMALL_ARMS" << "50%";
        QTest::newRow("spaced with comment") << "  Armor = CRUSH      25%   ; less" << "CRUSH" << "25%";
        QTest::newRow("no percent sign") << "  Armor = FLAME 10" << "FLAME" << "%";
        QTest::newRow("space before percent") << "  Armor = LASER 5 %" << "LASER" << "%";
        QTest::newRow("nothing after equals") << "  Armor =" << "" << "%";
        QTest::newRow("comment only") << "  ; tanks are tough" << ";" << "%";
    }
    void armourLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, type);
        QFETCH(QString, percent);
        const ArmourLine parsed = ViewerRows::SParseArmourLine(line);
        QCOMPARE(parsed.type, type);
        QCOMPARE(parsed.percent, percent);
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

        QTest::newRow("header") << "CommandButton Cmd_A" << "Cmd_A" << "Cmd_A";
        QTest::newRow("two spaces") << "CommandButton  Cmd_B  " << "" << "Cmd_B";
        QTest::newRow("name holding the keyword") << "CommandButton Cmd_CommandButtonC" << "Cmd_CommandButtonC" << "C";
        QTest::newRow("keyword alone") << "CommandButton" << QString() << QString();
        QTest::newRow("indented") << "  CommandButton X" << QString() << QString();
        QTest::newRow("comment") << "; CommandButton X" << QString() << QString();
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
