#pragma once

#include <QString>

// What the manual editor holds: a whole data file, which it may save, or one
// block taken out of a file, which it never saves.
struct ManualEditTarget
{
    enum BlockFlagValue : qint32 { WholeFile = 0, Block = 1 };
    enum FolderKind { DataFolder = 0, ObjectFolder = 1 };

    // Starts as a block, so that an editor that was never given a file has
    // nothing it could write.
    qint32 BlockFlag = Block;
    // GamePath + "\Data\INI\" or "\Data\INI\Object\" + file name, written the
    // game's way; GamePaths::nativePath turns it into a path of this machine.
    QString FilePath;

    bool isWholeFile() const { return BlockFlag == WholeFile; }
};

// A data file as the data check, the index and the stock comparison name it
// ("Object\FactionUnit.ini", "Weapon.ini"): its folder kind and its name there.
struct DataFile
{
    int FolderKind;
    QString FileName;
};
DataFile SplitDataFile(const QString &file);

// Folder kind 0 is the data folder, 1 the object folder under GamePath. Any
// other folder kind leaves the target as it was and returns false.
bool SetManualEditTarget(ManualEditTarget &target, qint32 BlockFlag, int FolderKind, const QString &FileName);
