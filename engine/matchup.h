#pragma once

#include "dataindex.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What a weapon does to an object: the damage one shot deals after the
// target's armour, and how many shots and how long it takes to kill it.
// Nothing here writes game data.
//
// The rule, as the game data gives it:
// - A weapon deals its "PrimaryDamage" per shot, of its "DamageType", and
//   waits "ReloadDelay" milliseconds between shots (each read as the weapons
//   editor reads it: SParse::WeaponValue).
// - A target's armour is the "Armor" of its first "ArmorSet" whose
//   "Conditions" is None (letter case ignored), or of its first ArmorSet when
//   none is; without any ArmorSet every damage type counts in full. Its
//   health is "MaxHealth", looked up as the main window looks it up
//   (ObjectValues::load), so several matching lines run together.
// - An armour's line "Armor = TYPE P%" gives the percentage for TYPE (type
//   compared without regard to case, the first such line counts); without a
//   line for the type its DEFAULT line counts; without either, 100%.
// - Effective damage = damage x percentage / 100. Shots to kill are the
//   fewest whole shots whose total reaches the health, at least one; "never"
//   when the effective damage is 0 or less. Time to kill is (shots - 1) x
//   ReloadDelay, in seconds.
//
// Numbers are decimals with an optional sign ("60", "-2.5", ".5"); a
// percentage may end in "%". They are counted to four decimal places (more are
// rounded), so exact multiples stay exact. Anything else is no number: the
// results that depend on it stay empty and the note says why.

// A decimal read from the game data, in units of 1/10000.
struct MatchupNumber
{
    qint64 units = 0;

    // No value for text that is no number, or a number of 10^12 or more.
    static std::optional<MatchupNumber> parse(QStringView text, bool percentSign = false);
};

// The results of one weapon against one target; empty texts where a value
// was missing or no number, and then a note.
struct MatchupResult
{
    QString percent;   // at most two decimals, no trailing zeros: "50", "2.5"
    QString effective; // likewise
    QString shots;     // a whole number, or "never"
    QString seconds;   // one decimal; empty without ReloadDelay or when shots is "never"
    QString note;
};

// One "Armor = TYPE P%" line of an armour block.
struct MatchupArmourLine
{
    QString type;
    QString percent; // as written, "%" included
};

// One weapon of a weapon set: "Weapon = PRIMARY HarrowCannonMk1".
struct MatchupSlot
{
    int set = 0;        // counted from 0, as `zarnith-cli object --set` counts
    QString conditions; // the set's Conditions value
    QString slot;       // the word before the weapon's name; empty when the line has none
    QString weapon;
};

struct MatchupWeapon
{
    bool found = false;
    QString damage;     // PrimaryDamage as written
    QString damageType; // DamageType as written
    QString reloadDelay; // empty when the weapon has none
};

struct MatchupTarget
{
    bool hasArmourSet = false;
    QString armour; // the chosen ArmorSet's Armor value
    QString health; // MaxHealth as written
};

// One line of `zarnith-cli matchup`.
struct MatchupRow
{
    MatchupSlot slot;
    QString damageType;
    QString damage;
    QString armour;
    QString health;
    MatchupResult result;
};

class MatchupData;

// Shots to kill for attackers x targets, row by row.
struct MatchupMatrix
{
    QList<int> attackers; // objects, by position in MatchupData
    QList<int> targets;
    QStringList cells; // "never", a whole number, or empty where there is no result
    QString cell(qsizetype attacker, qsizetype target) const { return cells[attacker * targets.size() + target]; }
};

namespace Matchup {

// The armour's percentage for damageType by the lines' rule: its own line,
// else the DEFAULT line, else "100%".
QString percentFor(const QList<MatchupArmourLine> &lines, QStringView damageType);

// The rule on the values as written; reloadDelay empty when there is none.
MatchupResult evaluate(const QString &damage, const QString &percent, const QString &health,
                       const QString &reloadDelay);

// How a number is shown: at most two decimals, rounded half away from zero,
// no trailing zeros.
QString formatHundredths(qint64 hundredths);

// A matrix as text: a header row "attacker" and the targets' names, then a
// row per attacker. Tsv and Csv write fields as `zarnith-cli table` does
// (Tables::tsvField, Tables::csvField); Json writes {"targets": [names],
// "rows": [{"attacker", "weapon", "shots": [number, "never" or null]}]}.
enum Format { Tsv, Csv, Json };
QByteArray writeMatrix(const MatchupData &data, const MatchupMatrix &matrix, Format format);

// The "Armor = TYPE P%" lines of an armour block's text (lines joined by CR LF).
QList<MatchupArmourLine> armourLines(const QString &blockText);
// The weapons of each weapon set of an object's text, sets in order and the
// slots of each set in PRIMARY, SECONDARY, TERTIARY order (other slot words
// after them, in line order). A weapon named None is no weapon.
QList<MatchupSlot> weaponSlots(const QString &objectText);
// The target's armour and health from its object text.
MatchupTarget target(const QString &objectText);

} // namespace Matchup

// The objects of the eight object files, the weapons of Weapon.ini and the
// armours of Armor.ini (where the main window and the viewers look them up),
// read in one pass with the engine index's block rules (dataindex.h), and the
// rule applied to them. Objects keep the order of the data files and of the blocks in
// them, the catalogue's order; names are looked up without regard to case,
// the first block of a name counting.
class MatchupData
{
public:
    // Reads the data files of gamePath. False, with the data read so far,
    // when cancelled returns true (asked between lines); progress is told the
    // files read so far out of the thirteen.
    bool build(const QString &gamePath, const std::function<bool()> &cancelled = {},
               const std::function<void(int done, int total)> &progress = {});
    // Objects whose names keep turns down are listed by name only (their
    // weapons and target values read as empty): a reader that needs a few
    // objects out of thousands keeps no more text than those. Set before build.
    void setObjectFilter(std::function<bool(QStringView name)> keep) { m_keep = std::move(keep); }
    // Adds the blocks of text as if it were the data file at position
    // fileIndex of DataCheck::dataFiles() (for text held in memory).
    void addText(int fileIndex, const QByteArray &bytes);

    int objectCount() const { return int(m_objects.size()); }
    const QString &objectName(int object) const { return m_objects[object].name; }
    // The object's file as the data check writes it ("Object\FactionUnit.ini").
    QString objectFile(int object) const;
    // The first object named name, or -1.
    int findObject(QStringView name) const;

    // The weapons of every set of the object.
    const QList<MatchupSlot> &weaponSlots(int object) const;
    // The primary weapon of the object's first weapon set; no value when it has none.
    std::optional<MatchupSlot> primaryWeapon(int object) const;
    const MatchupTarget &target(int object) const;

    MatchupWeapon weapon(QStringView name) const;
    // The lines of the armour named name; no value when no such armour exists.
    std::optional<QList<MatchupArmourLine>> armour(QStringView name) const;

    // One weapon against one target.
    MatchupRow row(const MatchupSlot &slot, int target) const;
    // Every weapon of the attacker's sets against the target.
    QList<MatchupRow> rows(int attacker, int target) const;

    // The objects whose names contain text (letter case ignored), in order.
    QList<int> objectsContaining(QStringView text) const;
    // The shots of each attacker's primary weapon (primaryWeapon) against each
    // target; empty cells for an attacker without one and where a value is no number.
    MatchupMatrix matrix(const QList<int> &attackers, const QList<int> &targets,
                         const std::function<bool()> &cancelled = {}) const;

private:
    struct Object
    {
        QString name;
        int file = 0;
        QString text;
        // Read from the text when first asked for.
        mutable std::optional<QList<MatchupSlot>> slotList;
        mutable std::optional<MatchupTarget> target;
    };
    struct Block
    {
        QString text;
        mutable std::optional<MatchupWeapon> weapon;
        mutable std::optional<QList<MatchupArmourLine>> armour;
    };

    // Reads one file's lines through the loader into the lists; false when stopped.
    bool read(int fileIndex, const std::function<void(class TVItem &)> &start, const std::function<bool()> &cancelled);
    const Block *block(const QHash<QString, int> &names, const QList<Block> &blocks, QStringView name) const;

    std::function<bool(QStringView)> m_keep;
    QList<Object> m_objects;
    QHash<QString, int> m_objectNames; // lower-case name to the first object of that name
    QList<Block> m_weapons;
    QHash<QString, int> m_weaponNames;
    QList<Block> m_armours;
    QHash<QString, int> m_armourNames;
};
