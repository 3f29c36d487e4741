#pragma once

#include <QString>
#include <QStringList>

// Program-wide state shared by the windows and the engine.

// The game folder, as stored ("C:\Program Files\Ostrel\Torvane" or a native path).
extern QString GamePath;

// The weapon-set texts of the object last passed to SParse::ExtractWeapons.
extern QStringList WeaponSets;
