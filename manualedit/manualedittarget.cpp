#include "manualedittarget.h"

#include "engine/globals.h"

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
