#pragma once

#include "sparse.h"

#include <QString>
#include <QStringList>

#include <array>

// What the main window shows for one object, read the way the window reads
// it: the object's block once from its file, every value taken from that text.
// Nothing is kept between loads, so a file changed on disk shows at once.
struct ObjectValues
{
    bool found = false;     // the object's block exists in its file
    QString maxHealth;      // each field with its line ends removed; several
    QString initialHealth;  // matching lines run together, as the game data
    QString cost;           // lookups give them
    QString buildTime;
    QString visionRange;
    QString shroudClearingRange;
    QString armour;         // first value of the "Armor " lines
    QStringList weaponSets; // ExtractWeapons' slots, the last one always empty
    QStringList conditions; // one entry per weapon set
    QStringList locomotors; // locomotor names in block order

    // Reads the object named name from Object\file (file such as "FactionUnit.ini").
    static ObjectValues load(SParse &parser, const QString &name, const QString &file);

    // The primary, secondary and tertiary weapon of one weapon set's text.
    // Line 0 of the set's "Weapon" values is its own "WeaponSet" header; the
    // three after it are the weapons, marker words shown empty.
    static std::array<QString, 3> weaponsOfSet(const QString &setText);

    // Empty for the marker words "weaponset", "yes", "no" (any case) and a bare line end.
    static QString BlankMarkerWord(const QString &value);
};
