#pragma once

#include "tvitem.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Finds blocks and parameter values in the game's .ini text. Every read goes
// through the instance's own TVItem; nothing is cached, so each lookup reads
// its file again and always sees what is on disk.
//
// The text rules: a block starts at a first-column header "Keyword Name" and
// ends at the next first-column line beginning with "End" in any case. A
// parameter line is "Name = Value"; its value is the last word before any ";"
// comment. Returned block text joins lines with CR LF.
class SParse : public QObject
{
    Q_OBJECT

public:
    explicit SParse(QObject *parent = nullptr);

    // Name of the block that GetObjectText looks for; set before each lookup.
    QString ObjectName;

    TVItem *loader() const { return m_loader; }

    // Text of the first block of IniFile (relative to Data\INI; null means
    // Object\FactionUnit.ini) whose header is ObjectHeader, one space and
    // exactly ObjectName, followed by the end of the line, a space, a tab or
    // ";". Keyword and name compare without regard to case. Each line is
    // followed by CR LF, the end line included; a block without an end line
    // runs to the end of the file. Empty when no block matches.
    QString GetObjectText(const QString &ObjectHeader, const QString &IniFile = QString());

    // The name a first-column header line gives its block under Keyword: the
    // text after the keyword (in any letter case) and one space, up to the end
    // of the line, a space, a tab or ";". No value when the line is not a
    // header of that keyword. Every reader that looks for blocks uses this rule.
    static std::optional<QStringView> HeaderName(QStringView Line, QStringView Keyword);

    // GetParameterValueNoINI on the block that GetObjectText finds.
    QString GetParameterValue(const QString &ObjectHeader, const QString &Parameter, const QString &IniFile = QString());

    // The values of every line of StrData whose space-trimmed text begins with
    // Parameter (a case-sensitive prefix test: "Speed" also matches
    // "SpeedDamaged"), each followed by CR LF; empty when none matches.
    // Commented-out lines start with ";" after trimming and never match.
    static QString GetParameterValueNoINI(const QString &ObjectHeader, const QString &Parameter, const QString &StrData);

    // Splits the weapon sets of an object's text into WeaponSets: slot k holds
    // the k-th "  WeaponSet" sub-block through its "  End" line; one more,
    // empty slot follows the last set.
    static void ExtractWeapons(const QString &StrData);
    // The slots ExtractWeapons would fill, without touching WeaponSets.
    static QStringList weaponSetsOf(const QString &StrData);

    // The text without its blank (empty or all-space) lines, joined with CR LF.
    static QString RemVBCrLf(const QString &Text);

    // The value of one parameter line: the last space-separated word before
    // the first ";" (a leading ";" is skipped first). Tabs are not separators.
    static QString ParseValue(QStringView Line);

    // The value of exactly one parameter (the name followed by a space) in a
    // block's text, without the final line end; several lines give their
    // values joined by CR LF. Empty optional when no line matches.
    static std::optional<QString> WeaponValue(const QString &Parameter, const QString &StrData);
    static std::optional<QString> LocomotorValue(const QString &Parameter, const QString &StrData);
    static std::optional<QString> CommandButtonValue(const QString &Parameter, const QString &StrData);
    static std::optional<QString> CommandSetValue(const QString &Parameter, const QString &StrData);

    // Locomotors of an object. objectFile is the object file's name, such as
    // "FactionUnit.ini". Each call leaves ObjectName at the last name it used.

    // The last word of each "Locomotor" line of the object's block, in order.
    QStringList locomotorList(const QString &objectName, const QString &objectFile);
    // Those names joined by CR LF; empty when there are none.
    QString GetLocomotorNames(const QString &objectName, const QString &objectFile);
    // The text of each of the object's locomotor blocks, each followed by an extra CR LF.
    QString GetLocomotors(const QString &objectName, const QString &objectFile);

    static constexpr int HandlingCount = 9;
    // Surfaces, Speed, SpeedDamaged, TurnRate, TurnRateDamaged, Acceleration,
    // AccelerationDamaged, Braking, MinTurnSpeed: the order of the handling boxes.
    static const std::array<QString, HandlingCount> &handlingParameters();

    struct LocomotorHandling
    {
        QString name;        // the locomotor looked up, empty when position is past the list
        QString blockText;   // its block followed by CR LF; "CR LF" alone when not defined
        std::array<std::optional<QString>, HandlingCount> values; // empty where the parameter is missing
    };
    // The handling values of the object's locomotor at position (from 0).
    LocomotorHandling GetLocomotorData(const QString &objectName, const QString &objectFile, int position);

private:
    void onProcStart();
    void onNewLine(const QString &Line);
    void onProcDone();
    bool isHeaderLine(const QString &Line) const;

    static std::optional<QString> blockValue(const QString &keyword, const QString &Parameter,
                                             const QString &StrData);

    TVItem *m_loader;
    QString m_keyword;    // keyword and name of the lookup under way
    QString m_name;
    QChar m_headerFirstLower;
    QChar m_headerFirstUpper;
    QString m_collected;
    bool m_reading = false;
    bool m_found = false;
};
