#pragma once

#include <QString>

class QComboBox;

// A combo box's list kept in the settings: key "ItemNum" holds the count and
// keys "0Name", "1Name", ... the entries in list order. None of these steps
// changes the combo's edit text.
namespace ComboList {

// Empties the list, then adds the stored entries. Nothing is added when the
// count is missing, -1 or not a number; a count past 32767 loads the first
// 32767 entries.
void LoadComboList(const QString &app, const QString &section, QComboBox *combo);

// Stores every entry, then the count. An empty list stores nothing.
void SaveComboList(const QString &app, const QString &section, const QComboBox *combo);

// Removes every entry that repeats an earlier one exactly (letter case
// counts); the first of each stays where it is.
void RemoveDuplicateItems(QComboBox *combo);

} // namespace ComboList
