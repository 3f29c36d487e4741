#include "diskstate.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

QByteArray DiskState::digest(QByteArrayView bytes, const std::atomic<bool> *stop)
{
    constexpr qsizetype kPiece = 1024 * 1024;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (qsizetype at = 0; at < bytes.size(); at += kPiece) {
        if (stop && stop->load(std::memory_order_relaxed))
            return QByteArray();
        hash.addData(bytes.sliced(at, std::min(kPiece, bytes.size() - at)));
    }
    return hash.result();
}

namespace {

// Whether the file is there, and its size and time as the file system gives them.
DiskState looked(const QString &path)
{
    DiskState state;
    const QFileInfo info(path);
    state.exists = info.exists();
    if (state.exists) {
        state.size = info.size();
        state.modified = info.lastModified();
    }
    return state;
}

} // namespace

DiskState DiskState::of(const QString &path, const QByteArray &bytes)
{
    DiskState state = looked(path);
    if (state.exists)
        state.sha256 = digest(bytes);
    return state;
}

DiskState DiskState::read(const QString &path, QByteArray *bytes)
{
    DiskState state = looked(path);
    if (!state.exists)
        return state;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return state;
    const QByteArray all = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return state;
    // The size of what was read: the file may have grown since it was looked at.
    state.size = all.size();
    state.sha256 = digest(all);
    if (bytes)
        *bytes = all;
    return state;
}

bool DiskState::sameSizeAndTime(const QString &path) const
{
    const DiskState now = looked(path);
    return now.exists && now.size == size && now.modified == modified;
}

DiskState::Change DiskState::compare(const QString &path, DiskState *refreshed) const
{
    const QFileInfo info(path);
    if (!info.exists())
        return exists ? Gone : Same;
    if (!exists)
        return Back;
    if (info.size() == size && info.lastModified() == modified)
        return Same;
    const DiskState now = read(path);
    if (!now.sha256.isEmpty() && now.sha256 == sha256) {
        if (refreshed)
            *refreshed = now;
        return Same;
    }
    return Changed;
}
