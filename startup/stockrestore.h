#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Puts one stock file back into a game folder when the game's own copy is
// missing. An existing file is never overwritten, and a stored path that
// could reach outside the game folder is refused.
class StockRestore
{
public:
    enum Outcome {
        Written,  // the file was missing and now holds the stored text
        Present,  // a file of that name exists (in any letter case) and was left alone
        Refused,  // the stored path is absolute, has a drive letter or a ".." part, or
                  // leads through a symbolic link to a missing file or out of the game folder
        Failed,   // writing failed; nothing partial is left behind
    };

    // relativePath is as stored: "\"-separated, below the game folder. error
    // receives the reason of a refusal or failure.
    static Outcome restore(const QString &gameFolder, const QString &relativePath, const QByteArray &text,
                           QString *error = nullptr);

    // False for paths that could leave the folder they are joined to.
    static bool isSafeRelativePath(const QString &relativePath);

    static const char *outcomeName(Outcome outcome);

    // The thirteen data files (named as DataCheck::dataFiles names them,
    // relative to Data\INI) that the game folder lacks, in that order.
    static QStringList missingDataFiles(const QString &gameFolder);

    struct Report
    {
        QStringList written;  // stored paths put back
        QStringList refused;  // stored path, ": ", reason
        QString error;        // why the table could not be read or a file not written
    };
    // Restores, from the stock table Data.DBF in tableFolder, only the records
    // of the given data files, each with restore()'s rules. False when the
    // table cannot be read or a write failed (report->error says which).
    static bool restoreDataFiles(const QString &gameFolder, const QString &tableFolder, const QStringList &dataFiles,
                                 Report *report);
};
