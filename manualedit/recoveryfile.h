#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The unsaved text of a file open in the manual editor, kept on disk so that
// a crash of the program or of the machine does not lose it. One file per
// document in the recovery folder, named after the game file and a digest of
// its path ("Weapon.ini-1a2b3c4d5e6f7081.recovery").
//
// The file is 8-bit text with a fixed header, then the editor's text exactly:
//   Torvane Zarnith recovery 1
//   game=<game folder>
//   kind=<0: Data\INI, 1: Data\INI\Object>
//   file=<file name in that folder>
//   path=<the game file's path on this machine>
//   loaded=<SHA-256 of the file's bytes the text was loaded from, 64 hex digits>
//   text=<length of the text in bytes> <SHA-256 of the text>
//   <the text, UTF-8>
// Each header line ends with one LF. The reader is strict: anything else (a
// damaged, cut short or foreign file) is no recovery file and is never
// offered as someone's work.
struct RecoveryFile
{
    QString gameFolder;
    int folderKind = 0;
    QString fileName;
    QString path;
    QByteArray loadedSha256; // raw digest, 32 bytes
    QByteArray text;         // UTF-8, as the editor holds it

    QByteArray toBytes() const;
    static std::optional<RecoveryFile> fromBytes(QByteArrayView bytes);

    // The recovery folder: the user's state folder + "/Torvane Zarnith/recovery".
    static QString folder();
    // Sends every later call to folder instead; an empty text goes back to the user's.
    static void redirectTo(const QString &folder);
    // The recovery file for the game file at path.
    static QString fileFor(const QString &path);
    // The recovery files in the folder (valid or not), oldest first.
    static QStringList pending();

    // Reads a recovery file; no value when it cannot be read or is no valid one.
    static std::optional<RecoveryFile> load(const QString &file);
    // Writes through a temporary file, so that a crash while writing leaves the
    // previous recovery file whole. False, with error, when it fails.
    bool save(const QString &file, QString *error = nullptr) const;

private:
    QByteArray header() const;
};
