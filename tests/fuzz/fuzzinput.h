#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <unistd.h>

// Fuzz inputs reach the engine through files, as game data does. Each process
// writes to its own scratch files in memory-backed storage.
inline QString fuzzScratchFolder()
{
    static const QString folder = [] {
        const QString base = QFile::exists(QStringLiteral("/dev/shm")) ? QStringLiteral("/dev/shm") : QStringLiteral("/tmp");
        return base + QStringLiteral("/zarnith-fuzz-") + QString::number(getpid());
    }();
    return folder;
}

inline bool writeScratch(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Splits the input at the first n newlines into n short fields and a rest.
inline QList<QByteArray> splitFields(const uint8_t *data, size_t size, int n)
{
    QByteArray all(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QByteArray> fields;
    for (int i = 0; i < n; ++i) {
        const qsizetype nl = all.indexOf('\n');
        if (nl < 0) {
            fields << all;
            all.clear();
            continue;
        }
        fields << all.left(nl);
        all.remove(0, nl + 1);
    }
    fields << all;
    return fields;
}
