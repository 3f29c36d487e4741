#include "summaryrows.h"

#include <algorithm>

namespace {

// Empty or spaces only: tabs and other white space are shown as they are.
bool blank(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == QLatin1Char(' '); });
}

void valueRow(QList<SummaryRow> &rows, const char *label, const QString &text)
{
    rows.append({QLatin1String(label), blank(text) ? QStringLiteral("N/A") : text});
}

// A whole or decimal number as the data files write it: "800", "-12.5".
bool plainNumber(QStringView text)
{
    qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype digitsFrom = i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    if (i == digitsFrom)
        return false;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        const qsizetype fraction = ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
        if (i == fraction)
            return false;
    }
    return i == text.size();
}

void blankRow(QList<SummaryRow> &rows)
{
    rows.append({QString(), std::nullopt});
}

void separatorRow(QList<SummaryRow> &rows)
{
    rows.append({Summary::separator(), Summary::separator()});
}

bool allDigits(const QString &s)
{
    for (QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return !s.isEmpty();
}

} // namespace

QString HandlingBox::emptyText() const
{
    if (digits == 0)
        return QString();
    return QString(digits, QLatin1Char('_')) + QLatin1Char(' ') + QLatin1String(unit);
}

QString HandlingBox::textWith(const QString &value) const
{
    if (digits == 0)
        return value;
    if (!allDigits(value) || value.size() > digits)
        return emptyText();
    QString text = emptyText();
    text.replace(0, value.size(), value);
    return text;
}

QString HandlingBox::digitsOf(const QString &text) const
{
    if (digits == 0)
        return text;
    return text.left(digits).remove(QLatin1Char('_')).remove(QLatin1Char(' '));
}

namespace Summary {

const std::array<HandlingBox, 9> &handlingBoxes()
{
    static const std::array<HandlingBox, 9> boxes = {{
        {"Surfaces", 0, ""},
        {"Top Speed", 4, "dist/sec"},
        {"Top Speed When Damaged", 4, "dist/sec"},
        {"Turn Rate", 4, "degrees/sec"},
        {"Turn Rate When Damaged", 4, "degrees/sec"},
        {"Acceleration", 4, "dist/(sec^2)"},
        {"Acceleration When Damaged", 4, "dist/(sec^2)"},
        {"Braking", 7, "dist/(sec^2)"},
        {"Min Turn Speed", 4, "dist/sec"},
    }};
    return boxes;
}

QString separator()
{
    return QString(40, QLatin1Char('-'));
}

QString costText(const QString &cost, const QLocale &locale)
{
    // Only plain numbers are money; "nan", "inf", "1e3" and words stay as written.
    QStringView number(cost);
    while (number.startsWith(QLatin1Char(' ')))
        number = number.mid(1);
    while (number.endsWith(QLatin1Char(' ')))
        number.chop(1);
    bool ok = plainNumber(number);
    const double value = ok ? QLocale::c().toDouble(number, &ok) : 0.0;
    if (!ok)
        return cost;
    return locale.toCurrencyString(value, locale.currencySymbol(), 0);
}

QList<SummaryRow> build(const SummaryInput &in, const QLocale &locale)
{
    QList<SummaryRow> rows;
    rows.append({QStringLiteral("Name"), in.name});
    separatorRow(rows);

    valueRow(rows, "Initial Health", in.initialHealth);
    valueRow(rows, "Max Health", in.maxHealth);
    blankRow(rows);
    rows.append({QStringLiteral("Cost"), blank(in.cost) ? QStringLiteral("N/A") : costText(in.cost, locale)});
    valueRow(rows, "Build Speed", in.buildTime);
    separatorRow(rows);
    valueRow(rows, "Shroud Clearing Range", in.shroudClearingRange);
    valueRow(rows, "Vision Range", in.visionRange);
    separatorRow(rows);
    blankRow(rows);
    valueRow(rows, "Primary Weapon", in.primaryWeapon);
    valueRow(rows, "Secondary Weapon", in.secondaryWeapon);
    valueRow(rows, "Tertiary Weapon", in.tertiaryWeapon);

    blankRow(rows);
    rows.append({QStringLiteral("Locomotor"), in.locomotorComboText.isEmpty() ? QStringLiteral("N/A")
                                                                             : in.locomotorTabs.join(QStringLiteral(", "))});

    separatorRow(rows);
    const auto &boxes = handlingBoxes();
    for (int i = 0; i < 9; ++i) {
        const QString &text = in.handling[i];
        const QString label = QLatin1String(boxes[i].label);
        if (text.isEmpty()) {
            rows.append({label, QStringLiteral("N/A")});
            continue;
        }
        QString value = boxes[i].digitsOf(text);
        const QString second = text.section(QLatin1Char(' '), 1, 1);
        if (!second.isEmpty())
            value += QLatin1Char(' ') + second;
        rows.append({label, value});
        if (i == 0 || i == 2 || i == 4 || i == 6)
            blankRow(rows);
    }
    return rows;
}

} // namespace Summary
