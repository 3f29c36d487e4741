#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

// Finding Torvane on this machine. The game is a Windows program: on Linux its
// folder sits in a Steam library (run through Proton) or inside a Wine prefix
// (plain Wine, Lutris, Bottles). A folder is a game folder when it holds
// "torvane.exe" in any letter case.
namespace GameFinder {

struct Limits
{
    // Folders below a Wine prefix that are looked into; six reaches
    // drive_c/Program Files (x86)/Steam/steamapps/common/Torvane.
    int prefixDepth = 6;
    // The whole search stops after this long, with what it found so far.
    int timeLimitMs = 900;
};

struct Result
{
    QStringList folders; // canonical paths, Steam libraries first, each once
    bool complete = true; // false when the time limit cut the search short
};

// Searches the Steam libraries (every library that libraryfolders.vdf lists
// under ~/.steam/steam, ~/.local/share/Steam and the Flatpak Steam folder,
// looking in steamapps/common/*/), the Wine prefixes ~/.wine and $WINEPREFIX,
// Lutris's ~/Games and Bottles's ~/.local/share/bottles/bottles/*. A link is
// followed only when it leads to a folder inside the root being searched, so
// a prefix's dosdevices or a link to elsewhere never widens the search.
Result findGames(const QString &home, const QProcessEnvironment &environment, const Limits &limits = {});

// The Steam libraries listed under the home folder, each library once.
QStringList steamLibraries(const QString &home);

// The Steam app id of a game folder in a library's steamapps/common, read from
// the appmanifest_*.acf whose installdir names the folder; empty when the
// folder is not in a Steam library or no manifest names it.
QString steamAppId(const QString &gameFolder);

// The game program inside a folder, in any letter case; empty when absent.
QString gameProgram(const QString &gameFolder);

// How to start the game in a folder: through "steam -applaunch ID" when the
// folder is in a Steam library with a manifest, else through "wine" (in the
// folder's own prefix) when it is installed. An empty program means no way was
// found; then tried says, one line each, what was looked for.
struct LaunchPlan
{
    QString program;
    QStringList arguments;
    QString workingFolder;
    QString winePrefix; // set WINEPREFIX to this when not empty
    QStringList tried;
};
using ExecutableLookup = std::function<QString(const QString &name)>;
LaunchPlan launchPlan(const QString &gameFolder, const ExecutableLookup &findExecutable);

} // namespace GameFinder
