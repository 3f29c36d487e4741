#include "stockrestore.h"

#include "engine/datacheck.h"
#include "platform/codepage.h"
#include "platform/gamepath.h"
#include "startup/dbctl.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <filesystem>

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

namespace {

bool inside(const QString &path, const QString &root)
{
    return path == root || path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

} // namespace

StockRestore::Outcome StockRestore::restore(const QString &gameFolder, const QString &relativePath,
                                            const QByteArray &text, QString *error)
{
    const auto refuse = [&](const QString &reason) {
        if (error)
            *error = reason;
        return Refused;
    };
    if (!isSafeRelativePath(relativePath))
        return refuse(QStringLiteral("the path leads outside the game folder"));
    const QString target = GamePaths::join(gameFolder, relativePath);
    const QFileInfo info(target);
    if (info.exists())
        return Present;
    // A link to a missing file would have the write land wherever it points.
    if (info.isSymLink())
        return refuse(QStringLiteral("%1 is a symbolic link").arg(QDir::toNativeSeparators(target)));

    // The folders on the way must lie inside the game folder once every link
    // is resolved; new ones are made only below such a folder.
    const QString root = QFileInfo(GamePaths::nativePath(gameFolder)).canonicalFilePath();
    QString existing = info.path();
    while (!QFileInfo::exists(existing)) {
        if (QFileInfo(existing).isSymLink())
            return refuse(QStringLiteral("%1 is a symbolic link").arg(QDir::toNativeSeparators(existing)));
        const QString parent = QFileInfo(existing).path();
        if (parent == existing)
            break;
        existing = parent;
    }
    const auto leadsOut = [&](const QString &folder) {
        const QString real = QFileInfo(folder).canonicalFilePath();
        return root.isEmpty() || real.isEmpty() || !inside(real, root);
    };
    if (leadsOut(existing))
        return refuse(QStringLiteral("%1 leads outside the game folder").arg(QDir::toNativeSeparators(existing)));

    // Written beside the target and renamed into place, so a failed write never
    // leaves a partial file that a later run would take for the game's own.
    const auto failed = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(target), reason);
        return Failed;
    };
    std::error_code made;
    std::filesystem::create_directories(QFile::encodeName(info.path()).toStdString(), made);
    if (made)
        return failed(QString::fromLocal8Bit(made.message()));
    if (leadsOut(info.path()))
        return refuse(QStringLiteral("%1 leads outside the game folder").arg(QDir::toNativeSeparators(info.path())));
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return failed(file.errorString());
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

QStringList StockRestore::missingDataFiles(const QString &gameFolder)
{
    QStringList missing;
    for (const QString &file : DataCheck::dataFiles()) {
        if (!GamePaths::FileExists(GamePaths::join(gameFolder, QStringLiteral("Data\\INI\\") + file)))
            missing << file;
    }
    return missing;
}

bool StockRestore::restoreDataFiles(const QString &gameFolder, const QString &tableFolder,
                                    const QStringList &dataFiles, Report *report)
{
    DBCtl table;
    if (!table.LoadDatabase(tableFolder, QStringLiteral("Data"))) {
        report->error = table.errorString();
        return false;
    }
    for (qint64 i = 0; i < table.RecordCount(); ++i) {
        table.SetRecord(i);
        const auto path = table.GetData(0);
        const auto text = table.GetData(1);
        if (!path || !text) {
            report->error = table.errorString();
            return false;
        }
        const QString relative = CodePage::decode(*path);
        const bool wanted = std::any_of(dataFiles.begin(), dataFiles.end(), [&](const QString &file) {
            return relative.compare(QStringLiteral("Data\\INI\\") + file, Qt::CaseInsensitive) == 0;
        });
        if (!wanted)
            continue;
        QString error;
        switch (restore(gameFolder, relative, *text, &error)) {
        case Written:
            report->written << relative;
            break;
        case Refused:
            report->refused << relative + QStringLiteral(": ") + error;
            break;
        case Failed:
            report->error = error;
            return false;
        case Present:
            break;
        }
    }
    return true;
}
