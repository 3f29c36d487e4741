#include "backups.h"

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

QString nativeFolder()
{
    return QDir::toNativeSeparators(Backups::folder());
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

QStringList Backups::list(const QString &fileName)
{
    const QString dir = folder();
    if (dir.isEmpty() || fileName.isEmpty())
        return {};
    const QString prefix = fileName + QLatin1Char('.');
    QStringList copies;
    const QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    for (const QString &name : names) {
        if (name.startsWith(prefix) && isStamp(QStringView(name).mid(prefix.size())))
            copies << dir + QLatin1Char('/') + name;
    }
    // Stamps sort by plain character order, not by the locale's.
    std::sort(copies.begin(), copies.end(), std::greater<>());
    return copies;
}

bool Backups::backUp(const QString &path)
{
    return keep(path, nullptr);
}

bool Backups::backUpBefore(const QString &path, const QByteArray &replacement)
{
    return keep(path, &replacement);
}

bool Backups::keep(const QString &path, const QByteArray *replacement)
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

    const QString dir = folder();
    if (dir.isEmpty()) {
        m_error = QStringLiteral("There is no folder for per-user data on this system.");
        return false;
    }
    if (!QDir().mkpath(dir)) {
        m_error = QStringLiteral("The folder %1 cannot be created.").arg(nativeFolder());
        return false;
    }

    const QString name = info.fileName();
    QStringList copies = list(name);
    const QString newest = copies.isEmpty() ? QString() : QFileInfo(copies.first()).fileName().mid(name.size() + 1);
    const QString target = dir + QLatin1Char('/') + name + QLatin1Char('.') + nextStamp(newest);

    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size() || !copy.commit()) {
        m_error = QStringLiteral("No copy can be written to %1: %2").arg(nativeFolder(), copy.errorString());
        return false;
    }

    // The copy is safe; a copy that cannot be deleted only takes room, and
    // goes at the next backup of this name.
    copies.prepend(target);
    for (qsizetype i = Kept; i < copies.size(); ++i)
        QFile::remove(copies[i]);
    return true;
}
