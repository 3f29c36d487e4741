#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The read-only summary of the chosen object on the main window's
// "Information" tab, built from what the fields show at that moment.
struct SummaryRow
{
    QString label;
    std::optional<QString> value; // none for a blank row
};

// The nine handling boxes: masks of digit positions followed by a unit.
struct HandlingBox
{
    const char *label;    // the summary row's label
    int digits;           // 0 for free text (Surfaces)
    const char *unit;     // the literal after the digits

    // The box's empty look: a "_" per digit position, a space and the unit.
    QString emptyText() const;
    // What the box shows once the locomotor value has been typed in at its
    // start; a value that is not all digits or has too many is refused, and
    // the box keeps its empty look.
    QString textWith(const QString &value) const;
    // The typed digits of a box's text (its prompts and unit left out).
    QString digitsOf(const QString &text) const;
};

struct SummaryInput
{
    QString name; // the chosen node's text
    QString initialHealth, maxHealth, cost, buildTime, shroudClearingRange, visionRange;
    QString primaryWeapon, secondaryWeapon, tertiaryWeapon;
    QStringList locomotorTabs;  // captions of the locomotor tabs, in order
    QString locomotorComboText; // CboLocomotor's text
    std::array<QString, 9> handling; // each box's full text, prompts and unit included
};

namespace Summary {

const std::array<HandlingBox, 9> &handlingBoxes();

// Separator rows hold forty "-" in both cells.
QString separator();

// A numeric cost in the locale's currency format without decimals; any
// other text unchanged.
QString costText(const QString &cost, const QLocale &locale);

QList<SummaryRow> build(const SummaryInput &input, const QLocale &locale = QLocale());

} // namespace Summary
