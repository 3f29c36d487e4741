#include "gamepath.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Finds the entry of the folder whose name equals the wanted one without
// regard to letter case; an exact match wins over a case-insensitive one.
QString matchInFolder(const QString &folder, const QString &name)
{
    const QString candidate = folder + QLatin1Char('/') + name;
    if (QFileInfo::exists(candidate))
        return name;
    const QStringList entries = QDir(folder.isEmpty() ? QStringLiteral("/") : folder)
                                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

} // namespace

namespace GamePaths {

QString nativePath(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));

    QString root;
    if (p.size() >= 2 && p[1] == QLatin1Char(':') && p[0].isLetter()) {
        const QChar drive = p[0].toLower();
        const QString prefix = QDir::homePath() + QStringLiteral("/.wine/");
        root = drive == QLatin1Char('c') ? prefix + QStringLiteral("drive_c")
                                         : prefix + QStringLiteral("dosdevices/") + drive + QLatin1Char(':');
        p = p.mid(2);
    } else if (p.startsWith(QLatin1Char('/'))) {
        root = QString(); // components are appended with a leading "/"
    } else {
        root = QStringLiteral(".");
    }

    const QStringList parts = p.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = root;
    bool resolving = true;
    for (const QString &part : parts) {
        if (part == QLatin1String(".")) {
            continue;
        }
        if (part == QLatin1String("..")) {
            current += QStringLiteral("/..");
            continue;
        }
        QString name = part;
        if (resolving) {
            const QString found = matchInFolder(current.isEmpty() ? QStringLiteral("/") : current, part);
            if (found.isEmpty())
                resolving = false; // nothing below a missing folder can exist
            else
                name = found;
        }
        current += QLatin1Char('/') + name;
    }
    if (current.isEmpty())
        return QStringLiteral("/");
    if (root == QLatin1String(".") && current.startsWith(QLatin1String("./")))
        return current.mid(2);
    return current;
}

QString join(const QString &folder, const QString &relative)
{
    QString f = folder;
    while (f.endsWith(QLatin1Char('\\')) || (f.size() > 1 && f.endsWith(QLatin1Char('/'))))
        f.chop(1);
    QString r = relative;
    while (r.startsWith(QLatin1Char('\\')) || r.startsWith(QLatin1Char('/')))
        r.remove(0, 1);
    return nativePath(f + QLatin1Char('/') + r);
}

bool FileExists(const QString &path)
{
    const QFileInfo info(nativePath(path));
    return info.exists() && info.isFile() && info.isReadable();
}

} // namespace GamePaths
