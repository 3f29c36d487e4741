#include "backups.h"

#include "engine/datacheck.h"
#include "manualedit/settingsstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

QString g_redirected;

const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");

// "yyyyMMdd-HHmmss-zzz": digits, with dashes at 8 and 15.
bool isStamp(QStringView text)
{
    if (text.size() != 19)
        return false;
    for (int i = 0; i < 19; ++i) {
        const bool dash = i == 8 || i == 15;
        if (dash ? text[i] != u'-' : !(text[i] >= u'0' && text[i] <= u'9'))
            return false;
    }
    return true;
}

// The local time now, unless that does not sort after the newest copy: two
// saves in one millisecond, or a clock set back (summer time ending). Then
// the newest copy's stamp plus one millisecond, reckoned without time zones
// so that the arithmetic never meets a missing or doubled hour.
QString nextStamp(const QString &newest)
{
    const QString now = QDateTime::currentDateTime().toString(kStampFormat);
    if (newest.isEmpty() || now > newest)
        return now;
    const QDateTime last(QDate::fromString(newest.left(8), QStringLiteral("yyyyMMdd")),
                         QTime::fromString(newest.mid(9), QStringLiteral("HHmmss-zzz")), Qt::UTC);
    return last.addMSecs(1).toString(kStampFormat);
}

QString nativeFolder(const QString &folder)
{
    return QDir::toNativeSeparators(folder);
}

// The copies among names: the file name given, a dot and a stamp.
QStringList copiesIn(const QString &dir, const QStringList &names, const QString &fileName)
{
    const QString prefix = fileName + QLatin1Char('.');
    QStringList copies;
    for (const QString &name : names) {
        if (name.startsWith(prefix) && isStamp(QStringView(name).mid(prefix.size())))
            copies << dir + QLatin1Char('/') + name;
    }
    // Stamps sort by plain character order, not by the locale's.
    std::sort(copies.begin(), copies.end(), std::greater<>());
    return copies;
}

void prune(const QStringList &newestFirst)
{
    for (qsizetype i = Backups::Kept; i < newestFirst.size(); ++i)
        QFile::remove(newestFirst[i]);
}

} // namespace

QString Backups::folder()
{
    if (!g_redirected.isEmpty())
        return g_redirected;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return QString();
    return data + QLatin1Char('/') + QLatin1String(Settings::AppName) + QStringLiteral("/backups");
}

void Backups::redirectTo(const QString &folder)
{
    g_redirected = folder;
}

QString Backups::seriesName(const QString &gameFolder)
{
    const QFileInfo info(gameFolder);
    QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QDir::cleanPath(info.absoluteFilePath());
    QString name;
    for (const QChar c : std::as_const(canonical)) {
        const bool separator = c == u'/' || c == u'\\' || c == u':';
        name += separator ? u'-' : c;
    }
    while (name.startsWith(u'-'))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("-") : name;
}

QString Backups::seriesFolder(const QString &gameFolder, const QString &dataFile)
{
    const QString dir = folder();
    if (dir.isEmpty() || dataFile.isEmpty())
        return QString();
    QString relative = dataFile;
    relative.replace(u'\\', u'/');
    return dir + QLatin1Char('/') + seriesName(gameFolder) + QLatin1Char('/') + relative;
}

QStringList Backups::list(const QString &series)
{
    if (series.isEmpty())
        return {};
    const QStringList names = QDir(series).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    return copiesIn(series, names, QFileInfo(series).fileName());
}

QDateTime Backups::keptAt(const QString &copy)
{
    const QString name = QFileInfo(copy).fileName();
    if (name.size() < 20 || !isStamp(QStringView(name).right(19)))
        return QDateTime();
    return QDateTime::fromString(name.right(19), kStampFormat);
}

bool Backups::backUp(const QString &path, const QString &series)
{
    return keep(path, nullptr, series);
}

bool Backups::backUpBefore(const QString &path, const QByteArray &replacement, const QString &series)
{
    return keep(path, &replacement, series);
}

int Backups::moveOldCopies(const QString &gameFolder)
{
    const QString dir = folder();
    if (dir.isEmpty() || gameFolder.isEmpty())
        return 0;
    const QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    int moved = 0;
    QStringList touched;
    for (const QString &name : names) {
        const qsizetype dot = name.size() - 20;
        if (dot <= 0 || name[dot] != u'.' || !isStamp(QStringView(name).mid(dot + 1)))
            continue;
        const QString fileName = name.left(dot);
        // The data file of that name, in the object folder where it lives there.
        QString dataFile = fileName;
        for (const QString &known : DataCheck::dataFiles()) {
            if (known.section(u'\\', -1).compare(fileName, Qt::CaseSensitive) == 0) {
                dataFile = known;
                break;
            }
        }
        const QString series = seriesFolder(gameFolder, dataFile);
        if (!QDir().mkpath(series) || !QFile::rename(dir + QLatin1Char('/') + name, series + QLatin1Char('/') + name))
            continue;
        ++moved;
        if (!touched.contains(series))
            touched << series;
    }
    for (const QString &series : std::as_const(touched))
        prune(list(series));
    return moved;
}

bool Backups::keep(const QString &path, const QByteArray *replacement, const QString &series)
{
    m_error.clear();
    const QFileInfo info(path);
    if (!info.exists())
        return true;

    QFile source(path);
    QByteArray bytes;
    if (source.open(QIODevice::ReadOnly))
        bytes = source.readAll();
    if (!source.isOpen() || source.error() != QFileDevice::NoError) {
        m_error = QStringLiteral("The file %1 cannot be read: %2")
                      .arg(QDir::toNativeSeparators(path), source.errorString());
        return false;
    }
    source.close();
    if (replacement && *replacement == bytes)
        return true;

    const QString dir = series;
    if (dir.isEmpty()) {
        m_error = QStringLiteral("There is no folder for per-user data on this system.");
        return false;
    }
    if (!QDir().mkpath(dir)) {
        m_error = QStringLiteral("The folder %1 cannot be created.").arg(nativeFolder(dir));
        return false;
    }

    // Copies are named after the series' file, whatever letter case the file has on disk.
    const QString name = QFileInfo(series).fileName();
    QStringList copies = list(series);
    const QString newest = copies.isEmpty() ? QString() : QFileInfo(copies.first()).fileName().mid(name.size() + 1);
    const QString target = dir + QLatin1Char('/') + name + QLatin1Char('.') + nextStamp(newest);

    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size() || !copy.commit()) {
        m_error = QStringLiteral("No copy can be written to %1: %2").arg(nativeFolder(dir), copy.errorString());
        return false;
    }

    // The copy is safe; a copy that cannot be deleted only takes room, and
    // goes at the next backup of this name.
    copies.prepend(target);
    prune(copies);
    return true;
}
