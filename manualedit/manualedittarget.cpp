#include "manualedittarget.h"

#include "engine/globals.h"

DataFile SplitDataFile(const QString &file)
{
    const QLatin1String object("Object\\");
    if (file.startsWith(object, Qt::CaseInsensitive))
        return {ManualEditTarget::ObjectFolder, file.mid(object.size())};
    return {ManualEditTarget::DataFolder, file};
}

bool SetManualEditTarget(ManualEditTarget &target, qint32 BlockFlag, int FolderKind, const QString &FileName)
{
    QString folder;
    switch (FolderKind) {
    case ManualEditTarget::DataFolder:
        folder = QStringLiteral("\\Data\\INI\\");
        break;
    case ManualEditTarget::ObjectFolder:
        folder = QStringLiteral("\\Data\\INI\\Object\\");
        break;
    default:
        return false;
    }
    target.BlockFlag = BlockFlag;
    target.FilePath = GamePath + folder + FileName;
    return true;
}
