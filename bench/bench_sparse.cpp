#include "datagen.h"

#include "engine/globals.h"
#include "engine/sparse.h"
#include "engine/tvitem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

// Compares a block lookup with the cheapest possible line-by-line read of the
// same file, and watches memory while a large file is read.
//   targets: lookup <= 2x getline; <= 3x with a running application (yields
//   active); resident memory grows by < 16 MB while reading 50 MB.

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

double getlineMs(const QString &path)
{
    return DataGen::bestOf(5, [&] {
        std::ifstream in(path.toStdString(), std::ios::binary);
        std::string line;
        long count = 0;
        while (std::getline(in, line))
            ++count;
        if (count == 0)
            std::fprintf(stderr, "nothing read\n");
    });
}

double lookupMs(const QString &lastName)
{
    SParse parser;
    parser.ObjectName = lastName;
    return DataGen::bestOf(5, [&] {
        if (parser.GetObjectText(QStringLiteral("Object"), QStringLiteral("Object\\FactionUnit.ini")).isEmpty())
            std::fprintf(stderr, "last block not found\n");
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    const QString objectFile = dir.filePath(QStringLiteral("Data/INI/Object/FactionUnit.ini"));
    GamePath = dir.path();

    // Memory first, before anything else has raised the resident size.
    {
        const QString big = dir.filePath(QStringLiteral("big.ini"));
        DataGen::writeObjectFile(big, 50LL * 1024 * 1024);
        TVItem loader;
        const long before = residentKiB();
        long peak = before;
        long lines = 0;
        QObject::connect(&loader, &TVItem::NewLine, [&](const QString &) {
            if (++lines % 20000 == 0)
                peak = std::max(peak, residentKiB());
        });
        loader.OpenFile(big);
        peak = std::max(peak, residentKiB());
        std::printf("memory: reading 50 MB (%ld lines) grew resident size by %.1f MB (target < 16 MB)\n", lines,
                    (peak - before) / 1024.0);
        QFile::remove(big);
    }

    const QString last = DataGen::writeObjectFile(objectFile, 5LL * 1024 * 1024);
    const double base = getlineMs(objectFile);
    const double plain = lookupMs(last);
    std::printf("5 MB object file: std::getline %.1f ms, GetObjectText of the last block %.1f ms: ratio %.2f (target <= 2)\n",
                base, plain, plain / base);

    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const double base2 = getlineMs(objectFile);
    const double withApp = lookupMs(last);
    std::printf("with a running application: std::getline %.1f ms, lookup %.1f ms: ratio %.2f (target <= 3)\n", base2,
                withApp, withApp / base2);
    return 0;
}
