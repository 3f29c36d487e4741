#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

class SParse;
class TVItem;

// One row of a viewer's value list: what the weapons, armour, command button
// and command set windows show, and what the command line prints for them.
struct ViewerRow
{
    // The list control's TxtBoxType values.
    enum EditorKind { NoEditor = 0, TextBox = 1, ComboBox = 2 };

    QString label;
    // None when the row has no value cell: its key was not found, so it shows
    // a blank value that cannot be edited.
    std::optional<QString> value;
    EditorKind editor = NoEditor;
    // The choices a combo cell offers, in order; empty for every other row.
    QStringList choices;
};

// An entry of a viewer as read from its file.
struct ViewerData
{
    // The entry's block as GetObjectText returns it; empty when the entry is not defined.
    QString blockText;
    QList<ViewerRow> rows;
};

// One line of an armour block, as SParseArmourLine reads it.
struct ArmourLine
{
    QString type;    // ArmourLineType
    QString percent; // ArmourLinePercent
};

namespace ViewerRows {

// "TxtBox", "CboBox" or empty: the kind word of the list control's cell tags.
QString editorKindName(ViewerRow::EditorKind kind);

// Appends a separator: forty "-" as label, twenty "-" as value, no editor.
void AddSeparatorRow(QList<ViewerRow> &List);

// The name an entry list shows for a line of its file: the second
// space-separated word of a line that begins with prefix (case-sensitive,
// untrimmed, so indented lines never count). Two spaces after the prefix give
// an empty name; a line with nothing after the prefix gives none.
std::optional<QString> listEntryName(QStringView line, QStringView prefix);

// The 18 rows of a weapon (13 values, 5 separators) from its block text.
QList<ViewerRow> weaponRows(const QString &blockText);
// Reads the weapon from Weapon.ini through the parser.
ViewerData GetWeaponData(SParse &parser, const QString &name);

// The armour's damage type and percentage from one of its lines. A line
// without ";" receives the comment " ;A Comment" first (StrLine is changed),
// and the percentage always ends in "%", so a line without a "%" shows "%".
ArmourLine SParseArmourLine(QString &StrLine);
// One text-box row per line of an armour block between its header and its
// last line, blank lines left out; StrText receives the text without them.
QList<ViewerRow> SParseArmourText(QString &StrText);
// Reads the armour from Armor.ini through the parser.
ViewerData GetArmourData(SParse &parser, const QString &name);

// The 15 rows of a command button (10 values, 5 separators) from its block text.
QList<ViewerRow> commandButtonRows(const QString &blockText);
ViewerData GetCmdBtnData(SParse &parser, const QString &name);

// The name a line of CommandButton.ini contributes to the command set
// choices: for a line beginning with "CommandButton", the text after the last
// "CommandButton" in it, trimmed of spaces. None for other lines and for a
// line that names nothing.
std::optional<QString> commandButtonName(const QString &line);
// Every command button name of GamePath's CommandButton.ini in file order,
// read through loader; yields to the event loop on every line. Each call
// starts afresh, so reading twice gives the same list.
QStringList CommandButtonNames(TVItem &loader);

// Twelve rows for the slots 1 to 12 of a command set's block text. A slot
// that the set gives shows the button of its first line, with every command
// button name as a choice; a missing slot has no value cell.
QList<ViewerRow> commandSetRows(const QString &blockText, const QStringList &CommandButtonNames);
ViewerData GetCmdSetData(SParse &parser, const QString &name, const QStringList &CommandButtonNames);

// The choice lists, in the order the windows offer them.
const QStringList &damageTypes();
const QStringList &deathTypes();
const QStringList &commandTypes();
const QStringList &buttonBorderTypes();
// The damage types that "Insert Parameter" offers to the armour list.
const QStringList &armourDamageTypes();

} // namespace ViewerRows
