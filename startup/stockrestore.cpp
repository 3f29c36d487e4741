#include "stockrestore.h"

#include "platform/gamepath.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

bool StockRestore::isSafeRelativePath(const QString &relativePath)
{
    QString p = relativePath;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (p.isEmpty() || p.startsWith(QLatin1Char('/')) || p.contains(QLatin1Char(':')) || p.contains(QChar(0)))
        return false;
    const QStringList parts = p.split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (part.trimmed() == QLatin1String(".."))
            return false;
    }
    return !parts.last().isEmpty();
}

StockRestore::Outcome StockRestore::restore(const QString &gameFolder, const QString &relativePath,
                                            const QByteArray &text, QString *error)
{
    if (!isSafeRelativePath(relativePath))
        return Refused;
    const QString target = GamePaths::join(gameFolder, relativePath);
    if (QFileInfo::exists(target))
        return Present;

    // Written beside the target and renamed into place, so a failed write never
    // leaves a partial file that a later run would take for the game's own.
    QDir().mkpath(QFileInfo(target).path());
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(target), file.errorString());
        return Failed;
    }
    return Written;
}

const char *StockRestore::outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Written:
        return "written";
    case Present:
        return "present";
    case Refused:
        return "refused";
    case Failed:
        break;
    }
    return "failed";
}
