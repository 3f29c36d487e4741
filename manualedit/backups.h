#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// Earlier versions of the game files that the manual editor replaced, kept
// per user. Each game folder and data file has its own series, a folder named
// after the game folder's canonical path and the file
// ("home-anna-Games-Torvane/Weapon.ini/", ".../Object/FactionUnit.ini/"), so
// that saves in a modded copy never push out the backups of a clean install.
// Each copy is named after the file plus the time it was kept
// ("Weapon.ini.20261206-211530-123"), so names sort oldest first; the newest
// Kept copies of a series stay, older ones are deleted.
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

    // A game folder's part of a series' name: its canonical path (as given
    // when it does not exist) with the separators and drive colon as dashes
    // and no leading one ("/home/anna/Games/Torvane" gives "home-anna-Games-Torvane").
    static QString seriesName(const QString &gameFolder);
    // The series folder of dataFile ("Weapon.ini", "Object\FactionUnit.ini",
    // as the data check names them) in gameFolder.
    static QString seriesFolder(const QString &gameFolder, const QString &dataFile);

    // The kept copies in a series folder, newest first, as full paths.
    static QStringList list(const QString &series);
    // When a copy was kept, from its name (local time); invalid for another name.
    static QDateTime keptAt(const QString &copy);

    // Copies the file at path into its series folder, then deletes the oldest
    // copies beyond Kept. True when there is no file to keep. False, with
    // errorString(), when the file cannot be read or the copy cannot be
    // written; a copy that fails half way leaves nothing under a copy's name.
    bool backUp(const QString &path, const QString &series);
    // The same, except that nothing is copied when the file already holds
    // exactly replacement: saving unchanged text loses no version, and twenty
    // such saves must not push every real version out.
    bool backUpBefore(const QString &path, const QByteArray &replacement, const QString &series);

    // Copies kept by earlier versions, all in the backup folder itself, go
    // into the series of gameFolder (the only game folder they can have come
    // from), each by its file name; then each series keeps its newest Kept.
    // Returns the number of copies moved.
    static int moveOldCopies(const QString &gameFolder);

    QString errorString() const { return m_error; }

private:
    bool keep(const QString &path, const QByteArray *replacement, const QString &series);

    QString m_error;
};
