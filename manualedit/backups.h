#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Earlier versions of the game files that the manual editor replaced, kept
// per user in one folder. Each copy is named after the file plus the time it
// was kept ("Weapon.ini.20261206-211530-123"), so names sort oldest first;
// the newest Kept copies of each file name stay, older ones are deleted.
class Backups
{
public:
    static constexpr int Kept = 20;

    // The user's backup folder: the generic data location +
    // "/Torvane Zarnith/backups". Not the application data location, which
    // follows the running program's name: the desktop program, the command
    // line and tests must all agree on one folder.
    static QString folder();
    // Sends every later call to folder instead of the user's; tests and
    // benchmarks use it so they never touch real backups. An empty text goes
    // back to the user's folder.
    static void redirectTo(const QString &folder);

    // The kept copies of files named fileName (letter case as given), newest
    // first, as full paths.
    static QStringList list(const QString &fileName);

    // Copies the file at path into the folder, then deletes the oldest copies
    // beyond Kept. True when there is no file to keep. False, with
    // errorString(), when the file cannot be read or the copy cannot be
    // written; a copy that fails half way leaves nothing under a copy's name.
    bool backUp(const QString &path);
    // The same, except that nothing is copied when the file already holds
    // exactly replacement: saving unchanged text loses no version, and twenty
    // such saves must not push every real version out.
    bool backUpBefore(const QString &path, const QByteArray &replacement);

    QString errorString() const { return m_error; }

private:
    bool keep(const QString &path, const QByteArray *replacement);

    QString m_error;
};
