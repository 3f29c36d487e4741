#include "gamefinder.h"

#include "platform/vdf.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace GameFinder {

namespace {

const QString kProgram = QStringLiteral("torvane.exe");
// Steam's own text files are small; anything larger is not one.
constexpr qint64 kMaxVdfSize = 4 * 1024 * 1024;

QByteArray readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxVdfSize)
        return {};
    return file.read(kMaxVdfSize);
}

QStringList steamRoots(const QString &home)
{
    return {home + QStringLiteral("/.steam/steam"), home + QStringLiteral("/.local/share/Steam"),
            home + QStringLiteral("/.var/app/com.valvesoftware.Steam/.local/share/Steam")};
}

class Search
{
public:
    explicit Search(const Limits &limits)
        : m_limits(limits)
    {
        m_timer.start();
    }

    // Looks for game folders at most maxDepth levels below root.
    void walk(const QString &root, int maxDepth)
    {
        const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
        if (canonicalRoot.isEmpty() || !QFileInfo(canonicalRoot).isDir())
            return;
        QStringList found;
        QSet<QString> visited{canonicalRoot};
        QList<QPair<QString, int>> queue{{canonicalRoot, 0}};
        for (qsizetype next = 0; next < queue.size() && !timedOut(); ++next) {
            const auto [folder, depth] = queue.at(next);
            QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
            bool isGame = false;
            QList<QPair<QString, int>> below;
            while (it.hasNext()) {
                if (timedOut())
                    break;
                it.next();
                const QFileInfo info = it.fileInfo();
                const bool program = info.fileName().compare(kProgram, Qt::CaseInsensitive) == 0;
                if (!program && (depth >= maxDepth || skipped(info)))
                    continue;
                QString path = info.filePath();
                if (info.isSymLink()) {
                    path = info.canonicalFilePath();
                    if (!path.startsWith(canonicalRoot + QLatin1Char('/')))
                        continue;
                }
                if (program) {
                    isGame = isGame || QFileInfo(path).isFile();
                } else if (info.isDir() && (!info.isSymLink() || !visited.contains(path))) {
                    if (info.isSymLink())
                        visited.insert(path);
                    below.append({path, depth + 1});
                }
            }
            // A game folder's own subfolders hold its data, not another game.
            if (isGame)
                found << folder;
            else
                queue << below;
        }
        found.sort();
        for (const QString &folder : std::as_const(found)) {
            if (!m_result.folders.contains(folder))
                m_result.folders << folder;
        }
    }

    Result result() const { return m_result; }

private:
    bool timedOut()
    {
        if (m_timer.elapsed() > m_limits.timeLimitMs)
            m_result.complete = false;
        return !m_result.complete;
    }

    // A prefix's links to the drives and its Windows folder never hold the game.
    static bool skipped(const QFileInfo &info)
    {
        const QString name = info.fileName();
        if (name == QLatin1String("dosdevices"))
            return true;
        return name.compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0
               && info.path().endsWith(QLatin1String("/drive_c"));
    }

    Limits m_limits;
    QElapsedTimer m_timer;
    Result m_result;
};

QStringList subfolders(const QString &folder)
{
    QStringList folders;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        folders << dir.filePath(name);
    return folders;
}

} // namespace

QStringList steamLibraries(const QString &home)
{
    QStringList libraries;
    QSet<QString> seen;
    auto add = [&](const QString &folder) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty() && !seen.contains(canonical)) {
            seen.insert(canonical);
            libraries << canonical;
        }
    };
    for (const QString &root : steamRoots(home)) {
        add(root);
        // Newer Steam keeps the list in steamapps, older in config.
        for (const char *file : {"/steamapps/libraryfolders.vdf", "/config/libraryfolders.vdf"}) {
            for (const QString &library : Vdf::libraryFolders(readSmallFile(root + QLatin1String(file))))
                add(library);
        }
    }
    return libraries;
}

Result findGames(const QString &home, const QProcessEnvironment &environment, const Limits &limits)
{
    Search search(limits);
    for (const QString &library : steamLibraries(home))
        search.walk(library + QStringLiteral("/steamapps/common"), 1);
    QStringList prefixes{home + QStringLiteral("/.wine")};
    const QString winePrefix = environment.value(QStringLiteral("WINEPREFIX"));
    if (!winePrefix.isEmpty())
        prefixes << winePrefix;
    prefixes << subfolders(home + QStringLiteral("/.local/share/bottles/bottles"));
    for (const QString &prefix : std::as_const(prefixes))
        search.walk(prefix, limits.prefixDepth);
    // Lutris puts one folder per game in ~/Games, holding a prefix or the game itself.
    search.walk(home + QStringLiteral("/Games"), limits.prefixDepth + 1);
    return search.result();
}

QString gameProgram(const QString &gameFolder)
{
    const QDir dir(gameFolder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.compare(kProgram, Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    }
    return {};
}

QString steamAppId(const QString &gameFolder)
{
    const QFileInfo folder(QFileInfo(gameFolder).canonicalFilePath());
    const QDir common = folder.dir();
    QDir steamapps = common;
    if (common.dirName().compare(QLatin1String("common"), Qt::CaseInsensitive) != 0 || !steamapps.cdUp()
        || steamapps.dirName().compare(QLatin1String("steamapps"), Qt::CaseInsensitive) != 0)
        return {};
    const QStringList manifests = steamapps.entryList({QStringLiteral("appmanifest_*.acf")}, QDir::Files, QDir::Name);
    for (const QString &name : manifests) {
        const Vdf::AppManifest manifest = Vdf::appManifest(readSmallFile(steamapps.filePath(name)));
        if (!manifest.appId.isEmpty() && manifest.installDir.compare(folder.fileName(), Qt::CaseInsensitive) == 0)
            return manifest.appId;
    }
    return {};
}

LaunchPlan launchPlan(const QString &gameFolder, const ExecutableLookup &findExecutable)
{
    LaunchPlan plan;
    plan.workingFolder = gameFolder;
    const QString program = gameProgram(gameFolder);
    if (program.isEmpty()) {
        plan.tried << QStringLiteral("%1 is not in %2").arg(kProgram, QDir::toNativeSeparators(gameFolder));
        return plan;
    }
    const QString appId = steamAppId(gameFolder);
    if (appId.isEmpty()) {
        plan.tried << QStringLiteral("not in a Steam library with an app manifest");
    } else {
        const QString steam = findExecutable(QStringLiteral("steam"));
        if (!steam.isEmpty()) {
            plan.program = steam;
            plan.arguments = {QStringLiteral("-applaunch"), appId};
            return plan;
        }
        plan.tried << QStringLiteral("steam (app %1) is not installed").arg(appId);
    }
    const QString wine = findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty()) {
        plan.tried << QStringLiteral("wine is not installed");
        return plan;
    }
    plan.program = wine;
    plan.arguments = {program};
    // A game inside a prefix runs in that prefix, not the default one.
    const qsizetype drive = program.indexOf(QLatin1String("/drive_c/"));
    if (drive > 0)
        plan.winePrefix = program.left(drive);
    return plan;
}

} // namespace GameFinder
