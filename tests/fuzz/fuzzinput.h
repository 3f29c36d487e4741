#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <unistd.h>

// Fuzz inputs reach the engine through files, as game data does. Each process
// writes its scratch files in a folder of its own, in $TMPDIR when set and in
// memory-backed storage otherwise, with a game's Data\INI\Object folders
// made; the folder goes when the process ends.
inline QString fuzzScratchFolder()
{
    struct Scratch
    {
        QString path;
        explicit Scratch(const QString &folder)
            : path(folder)
        {
            QDir().mkpath(path + QStringLiteral("/Data/INI/Object"));
        }
        ~Scratch() { QDir(path).removeRecursively(); }
    };
    static const Scratch scratch([] {
        QString base = qEnvironmentVariable("TMPDIR");
        if (base.isEmpty())
            base = QFile::exists(QStringLiteral("/dev/shm")) ? QStringLiteral("/dev/shm") : QStringLiteral("/tmp");
        return base + QStringLiteral("/zarnith-fuzz-") + QString::number(getpid());
    }());
    return scratch.path;
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
