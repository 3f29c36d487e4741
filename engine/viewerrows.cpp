#include "viewerrows.h"

#include "globals.h"
#include "sparse.h"
#include "tvitem.h"
#include "platform/eventyield.h"

#include <initializer_list>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QStringView trimSpaces(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

using Lookup = std::optional<QString> (*)(const QString &Parameter, const QString &StrData);

// A field row of a viewer's table; a null label marks a separator.
struct Field
{
    const char *label;
    const char *key;
    ViewerRow::EditorKind editor;
    const QStringList *choices;
};

QList<ViewerRow> fieldRows(std::initializer_list<Field> fields, Lookup lookup, const QString &text)
{
    QList<ViewerRow> rows;
    for (const Field &field : fields) {
        if (!field.label) {
            ViewerRows::AddSeparatorRow(rows);
            continue;
        }
        ViewerRow row;
        row.label = QLatin1String(field.label);
        // The value cell, its editor and its choices come only with a value:
        // a key the entry lacks leaves a label that cannot be edited.
        row.value = lookup(QLatin1String(field.key), text);
        if (row.value) {
            row.editor = field.editor;
            if (field.choices)
                row.choices = *field.choices;
        }
        rows.append(row);
    }
    return rows;
}

ViewerData readBlock(SParse &parser, const char *keyword, const char *iniFile, const QString &name)
{
    parser.ObjectName = name;
    ViewerData data;
    data.blockText = parser.GetObjectText(QLatin1String(keyword), QLatin1String(iniFile));
    return data;
}

} // namespace

namespace ViewerRows {

QString editorKindName(ViewerRow::EditorKind kind)
{
    switch (kind) {
    case ViewerRow::TextBox:
        return QStringLiteral("TxtBox");
    case ViewerRow::ComboBox:
        return QStringLiteral("CboBox");
    case ViewerRow::NoEditor:
        break;
    }
    return QString();
}

void AddSeparatorRow(QList<ViewerRow> &List)
{
    List.append({QString(40, u'-'), QString(20, u'-'), ViewerRow::NoEditor, {}});
}

std::optional<QString> listEntryName(QStringView line, QStringView prefix)
{
    if (!TVItem::CheckText(line, prefix))
        return std::nullopt;
    const qsizetype first = line.indexOf(u' ');
    if (first < 0)
        return std::nullopt;
    const qsizetype second = line.indexOf(u' ', first + 1);
    return line.mid(first + 1, second < 0 ? -1 : second - first - 1).toString();
}

const QStringList &damageTypes()
{
    static const QStringList types = {
        QStringLiteral("ARMOR_PIERCING"), QStringLiteral("AURORA_BOMB"),   QStringLiteral("COMANCHE_VULCAN"),
        QStringLiteral("CRUSH"),          QStringLiteral("EXPLOSION"),     QStringLiteral("FLESHY_SNIPER"),
        QStringLiteral("Gattling"),       QStringLiteral("JET_MISSILES"),  QStringLiteral("KILL_PILOT"),
        QStringLiteral("LASER"),          QStringLiteral("MELEE"),         QStringLiteral("RADIATION"),
        QStringLiteral("SMALL_ARMS"),     QStringLiteral("SNIPER"),        QStringLiteral("INFANTRY_MISSILE"),
    };
    return types;
}

const QStringList &deathTypes()
{
    static const QStringList types = {
        QStringLiteral("BURNED"), QStringLiteral("CRUSHED"),  QStringLiteral("EXPLODED"),      QStringLiteral("LASERED"),
        QStringLiteral("NORMAL"), QStringLiteral("POISONED"), QStringLiteral("POISONED_BETA"), QStringLiteral("SUICIDED"),
    };
    return types;
}

const QStringList &commandTypes()
{
    static const QStringList types = {
        QStringLiteral("ATTACK_MOVE"),
        QStringLiteral("CANCEL_UNIT_BUILD"),
        QStringLiteral("CANCEL_UPGRADE"),
        QStringLiteral("COMBATDROP"),
        QStringLiteral("CONVERT_TO_CARBOMB"),
        QStringLiteral("DOZER_CONSTRUCT"),
        QStringLiteral("DOZER_CONSTRUCT_CANCEL"),
        QStringLiteral("EVACUATE"),
        QStringLiteral("EXECUTE_RAILED_TRANSPORT"),
        QStringLiteral("EXIT_CONTAINER"),
        QStringLiteral("FIRE_WEAPON"),
        QStringLiteral("GUARD"),
        QStringLiteral("GUARD_FLYING_UNITS_ONLY"),
        QStringLiteral("GUARD_WITHOUT_PURSUIT"),
        QStringLiteral("HACK_INTERNET"),
        QStringLiteral("HIJACK_VEHICLE"),
        QStringLiteral("OBJECT_UPGRADE"),
        QStringLiteral("PLACE_BEACON"),
        QStringLiteral("PLAYER_UPGRADE"),
        QStringLiteral("PURCHASE_SCIENCE"),
        QStringLiteral("SELL"),
        QStringLiteral("SET_RALLY_POINT"),
        QStringLiteral("SPECIAL_POWER"),
        QStringLiteral("SPECIAL_POWER_FROM_COMMAND_CENTER"),
        QStringLiteral("STOP"),
        QStringLiteral("SWITCH_WEAPON"),
        QStringLiteral("TOGGLE_OVERCHARGE"),
        QStringLiteral("UNIT_BUILD"),
    };
    return types;
}

const QStringList &buttonBorderTypes()
{
    static const QStringList types = {
        QStringLiteral("ACTION"), QStringLiteral("BUILD"), QStringLiteral("NONE"),
        QStringLiteral("SYSTEM"), QStringLiteral("UPGRADE"),
    };
    return types;
}

const QStringList &armourDamageTypes()
{
    static const QStringList types = {
        QStringLiteral("EXPLOSION"),       QStringLiteral("CRUSH"),         QStringLiteral("ARMOR_PIERCING"),
        QStringLiteral("SMALL_ARMS"),      QStringLiteral("GATTLING"),      QStringLiteral("RADIATION"),
        QStringLiteral("FLAME"),           QStringLiteral("LASER"),         QStringLiteral("SNIPER"),
        QStringLiteral("POISON"),          QStringLiteral("HEALING"),       QStringLiteral("UNRESISTABLE"),
        QStringLiteral("WATER"),           QStringLiteral("DEPLOY"),        QStringLiteral("SURRENDER"),
        QStringLiteral("HACK"),            QStringLiteral("KILL_PILOT"),    QStringLiteral("PENALTY"),
        QStringLiteral("FALLING"),         QStringLiteral("MELEE"),         QStringLiteral("DISARM"),
        QStringLiteral("HAZARD_CLEANUP"),  QStringLiteral("INFANTRY_MISSILE"), QStringLiteral("AURORA_BOMB"),
        QStringLiteral("LAND_MINE"),       QStringLiteral("JET_MISSILES"),  QStringLiteral("STEALTHJET_MISSILES"),
        QStringLiteral("MOLOTOV_COCKTAIL"), QStringLiteral("COMANCHE_VULCAN"), QStringLiteral("FLESHY_SNIPER"),
    };
    return types;
}

QList<ViewerRow> weaponRows(const QString &blockText)
{
    const Field separator{nullptr, nullptr, ViewerRow::NoEditor, nullptr};
    return fieldRows(
        {
            {"Weapon Damage", "PrimaryDamage", ViewerRow::TextBox, nullptr},
            {"Weapon Damage Radius", "PrimaryDamageRadius", ViewerRow::TextBox, nullptr},
            separator,
            {"Weapon Speed", "WeaponSpeed", ViewerRow::TextBox, nullptr},
            {"Weapon Range", "AttackRange", ViewerRow::TextBox, nullptr},
            {"Weapon Recoil", "WeaponRecoil", ViewerRow::TextBox, nullptr},
            separator,
            {"Accuracy When Attacking Infantry", "ScatterRadiusVsInfantry", ViewerRow::TextBox, nullptr},
            separator,
            {"Minimum Target Pitch", "MinTargetPitch", ViewerRow::TextBox, nullptr},
            {"Maximum Target Pitch", "MaxTargetPitch", ViewerRow::TextBox, nullptr},
            separator,
            {"Damage Type", "DamageType", ViewerRow::ComboBox, &damageTypes()},
            {"Death Type", "DeathType", ViewerRow::ComboBox, &deathTypes()},
            separator,
            {"Projectile Object", "ProjectileObject", ViewerRow::TextBox, nullptr},
            {"Fire FX", "FireFX", ViewerRow::TextBox, nullptr},
            {"Fire Sound", "FireSound", ViewerRow::TextBox, nullptr},
        },
        &SParse::WeaponValue, blockText);
}

ViewerData GetWeaponData(SParse &parser, const QString &name)
{
    ViewerData data = readBlock(parser, "Weapon", "Weapon.ini", name);
    data.rows = weaponRows(data.blockText + kCrLf);
    return data;
}

ArmourLine SParseArmourLine(QString &StrLine)
{
    ArmourLine result;

    // The damage type: the first word after the first "=". A line without
    // "=" keeps its whole trimmed text to take the word from.
    QStringView s = trimSpaces(StrLine);
    const qsizetype equals = s.indexOf(u'=');
    if (equals >= 0) {
        const qsizetype next = s.indexOf(u'=', equals + 1);
        s = s.mid(equals + 1, next < 0 ? -1 : next - equals - 1);
    }
    for (QStringView piece : s.split(u' ')) {
        if (!trimSpaces(piece).isEmpty()) {
            result.type = piece.toString();
            break;
        }
    }

    // The percentage: the last word of the text before the last ";", cut at
    // its first "%" and given a "%" again. The comment appended to a line
    // without one makes that text end with a space, so a line without a "%"
    // (or with a space before it) shows a lone "%".
    if (!StrLine.contains(u';'))
        StrLine += QStringLiteral(" ;A Comment");
    const QList<QStringView> pieces = QStringView(StrLine).split(u';');
    QStringView t = pieces[pieces.size() - 2];
    const qsizetype percent = t.indexOf(u'%');
    if (percent >= 0)
        t = t.left(percent);
    const qsizetype space = t.lastIndexOf(u' ');
    result.percent = t.mid(space + 1).toString() + u'%';
    return result;
}

QList<ViewerRow> SParseArmourText(QString &StrText)
{
    StrText = SParse::RemVBCrLf(StrText);
    const QStringList lines = StrText.split(kCrLf);
    QList<ViewerRow> rows;
    // The header line and the last line (normally "End") are not armour lines.
    for (qsizetype i = 1; i < lines.size() - 1; ++i) {
        if (trimSpaces(lines[i]).isEmpty())
            continue;
        QString line = SParse::RemVBCrLf(lines[i]);
        const ArmourLine parsed = SParseArmourLine(line);
        rows.append({parsed.type, parsed.percent, ViewerRow::TextBox, {}});
    }
    return rows;
}

ViewerData GetArmourData(SParse &parser, const QString &name)
{
    ViewerData data = readBlock(parser, "Armor", "Armor.ini", name);
    QString text = data.blockText + kCrLf;
    data.rows = SParseArmourText(text);
    return data;
}

QList<ViewerRow> commandButtonRows(const QString &blockText)
{
    const Field separator{nullptr, nullptr, ViewerRow::NoEditor, nullptr};
    return fieldRows(
        {
            {"Command Type", "Command", ViewerRow::ComboBox, &commandTypes()},
            separator,
            {"Button Border Type", "ButtonBorderType", ViewerRow::ComboBox, &buttonBorderTypes()},
            {"Button Image ", "ButtonImage", ViewerRow::TextBox, nullptr},
            separator,
            {"Text Label", "TextLabel", ViewerRow::TextBox, nullptr},
            {"Description Label", "DescriptLabel", ViewerRow::TextBox, nullptr},
            separator,
            {"Object", "Object", ViewerRow::TextBox, nullptr},
            {"Options", "Options", ViewerRow::TextBox, nullptr},
            separator,
            {"SpecialPower", "SpecialPower", ViewerRow::TextBox, nullptr},
            separator,
            {"Radius Cursor Type", "RadiusCursorType", ViewerRow::TextBox, nullptr},
            {"Invalid Cursor Name", "InvalidCursorName", ViewerRow::TextBox, nullptr},
        },
        &SParse::CommandButtonValue, blockText);
}

ViewerData GetCmdBtnData(SParse &parser, const QString &name)
{
    ViewerData data = readBlock(parser, "CommandButton", "CommandButton.ini", name);
    data.rows = commandButtonRows(data.blockText + kCrLf);
    return data;
}

std::optional<QString> commandButtonName(const QString &line)
{
    static const QString keyword = QStringLiteral("CommandButton");
    if (!TVItem::CheckText(line, keyword))
        return std::nullopt;
    const QStringView trimmed = trimSpaces(line);
    const qsizetype last = trimmed.lastIndexOf(keyword);
    const QStringView name = trimSpaces(trimmed.mid(last + keyword.size()));
    // An empty name would only add a blank choice, which no list offers.
    if (name.isEmpty())
        return std::nullopt;
    return name.toString();
}

QStringList CommandButtonNames(TVItem &loader)
{
    QStringList names;
    loader.setLineHandler([&names](const QString &Line) {
        EventYield::yield();
        if (std::optional<QString> name = commandButtonName(Line))
            names.append(*name);
    });
    loader.OpenFile(GamePath + QStringLiteral("\\Data\\INI\\CommandButton.ini"));
    loader.setLineHandler({});
    return names;
}

QList<ViewerRow> commandSetRows(const QString &blockText, const QStringList &CommandButtonNames)
{
    QList<ViewerRow> rows;
    for (int slot = 1; slot <= 12; ++slot) {
        ViewerRow row;
        row.label = QString::number(slot);
        // The slot number and a space are the key, so slot 1 never takes the
        // line of slot 11; a slot given twice shows its first line.
        if (std::optional<QString> value = SParse::CommandSetValue(row.label, blockText)) {
            const qsizetype end = value->indexOf(kCrLf);
            row.value = end < 0 ? *value : value->left(end);
            row.editor = ViewerRow::ComboBox;
            row.choices = CommandButtonNames;
        }
        rows.append(row);
    }
    return rows;
}

ViewerData GetCmdSetData(SParse &parser, const QString &name, const QStringList &CommandButtonNames)
{
    ViewerData data = readBlock(parser, "CommandSet", "CommandSet.ini", name);
    data.rows = commandSetRows(data.blockText + kCrLf, CommandButtonNames);
    return data;
}

} // namespace ViewerRows
