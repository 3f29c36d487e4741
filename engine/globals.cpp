#include "globals.h"

QString GamePath;
QStringList WeaponSets;
