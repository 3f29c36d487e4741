#pragma once

#include <QString>

// Paths into a game folder are written the Windows way in the game data and in
// the stored settings ("C:\Program Files\...", GamePath + "\Data\INI\Weapon.ini").
// These helpers turn them into paths of this machine.
namespace GamePaths {

// Turns a path written with "\" or "/" into a native one. A drive letter maps
// into the default Wine prefix (C: to ~/.wine/drive_c, other letters to
// ~/.wine/dosdevices/x:). A component that does not exist with its exact letter
// case is looked up without regard to case in its folder, as the game's own
// platform would; components that exist in no case are kept as written.
QString nativePath(const QString &path);

// nativePath(folder + "\" + relative), without a doubled separator.
QString join(const QString &folder, const QString &relative);

// True when the path names a file whose length can be read; false for folders
// and on any error.
bool FileExists(const QString &path);

} // namespace GamePaths
