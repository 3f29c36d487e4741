#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <atomic>

// What the manual editor knows of a game file on disk: whether it is there,
// its size, its modification time and the SHA-256 of its bytes. Other
// programs (a second editor, a mod manager) may change the file while it is
// open; comparing a fresh state with the one taken at loading or saving tells
// whether they did.
//
// Size and time alone decide "unchanged" (reading 20 MB again for every check
// would cost more than the check is worth); a file whose size or time moved
// is read and counts as changed only when its bytes differ, so a file that
// was only touched, or written back with the same bytes, is not reported.
struct DiskState
{
    bool exists = false;
    qint64 size = -1;
    QDateTime modified;
    QByteArray sha256; // raw digest; empty when the file is missing or unreadable

    // The state of the file at path, its bytes read and hashed. A missing file
    // gives exists false; an unreadable one exists with an empty digest.
    static DiskState read(const QString &path, QByteArray *bytes = nullptr);
    // The state of the file at path, which holds bytes: size and time from the
    // file system, the digest from bytes. For the file just read or written.
    static DiskState of(const QString &path, const QByteArray &bytes);
    // The digest of bytes, a piece at a time; empty once stop, when given, is set.
    static QByteArray digest(QByteArrayView bytes, const std::atomic<bool> *stop = nullptr);
    // The file at path exists with this state's size and time.
    bool sameSizeAndTime(const QString &path) const;

    enum Change { Same, Changed, Gone, Back };
    // How the file at path stands against this state, taken earlier. When the
    // size or time moved but the bytes are the same, refreshed is set to the
    // new state, so the next check is cheap again.
    Change compare(const QString &path, DiskState *refreshed = nullptr) const;
};
