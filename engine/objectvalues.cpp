#include "objectvalues.h"

#include "globals.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString withoutLineEnds(QString text)
{
    return text.remove(kCrLf);
}

} // namespace

ObjectValues ObjectValues::load(SParse &parser, const QString &name, const QString &file)
{
    ObjectValues v;
    parser.ObjectName = name;
    const QString text = parser.GetObjectText(QStringLiteral("Object"), QStringLiteral("Object\\") + file);
    v.found = !text.isEmpty();
    const auto value = [&](const char *key) {
        return withoutLineEnds(SParse::GetParameterValueNoINI(QStringLiteral("Object"), QLatin1String(key), text));
    };
    v.maxHealth = value("MaxHealth");
    v.initialHealth = value("InitialHealth");
    v.cost = value("BuildCost");
    v.buildTime = value("BuildTime");
    v.visionRange = value("VisionRange");
    v.shroudClearingRange = value("ShroudClearingRange");
    const QString armour = SParse::GetParameterValueNoINI(QStringLiteral("Object"), QStringLiteral("Armor "), text);
    v.armour = armour.left(armour.indexOf(kCrLf));

    SParse::ExtractWeapons(text);
    v.weaponSets = WeaponSets;
    for (qsizetype i = 0; i + 1 < v.weaponSets.size(); ++i) {
        v.conditions << withoutLineEnds(
            SParse::GetParameterValueNoINI(QStringLiteral("Weapon"), QStringLiteral("Conditions"), v.weaponSets[i]));
    }

    QStringList names = SParse::GetParameterValueNoINI(QStringLiteral("Object"), QStringLiteral("Locomotor"), text).split(kCrLf);
    names.removeLast();
    v.locomotors = names;
    return v;
}

std::array<QString, 3> ObjectValues::weaponsOfSet(const QString &setText)
{
    const QStringList lines =
        SParse::GetParameterValueNoINI(QStringLiteral("Weapon"), QStringLiteral("Weapon"), setText).split(kCrLf);
    std::array<QString, 3> weapons;
    for (int i = 0; i < 3; ++i)
        weapons[i] = BlankMarkerWord(lines.value(i + 1));
    return weapons;
}

QString ObjectValues::BlankMarkerWord(const QString &value)
{
    const QString lower = value.toLower();
    if (lower == QLatin1String("weaponset") || lower == QLatin1String("yes") || lower == QLatin1String("no") || value == kCrLf)
        return QString();
    return value;
}
