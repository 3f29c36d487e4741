#include "datagen.h"

#include "cli/commandline.h"
#include "engine/datacheck.h"
#include "engine/dataindex.h"
#include "startup/dbfwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <string>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// The commands over the whole data set on the 20 MB generated game, each as
// a ratio to one std::getline read of the files it reads, in the same run.
//   targets: index <= 2x, refs <= 3x, diff <= 4x (game and stock read),
//   table objects <= 3x, matrix of 300 x 300 objects or more <= 3x.

namespace {

QStringList dataPaths(const QString &folder)
{
    QStringList paths;
    for (QString file : DataCheck::dataFiles())
        paths << folder + QStringLiteral("/Data/INI/") + file.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return paths;
}

void readLines(const QStringList &paths)
{
    {
        std::string line;
        long count = 0;
        for (const QString &path : paths) {
            std::ifstream in(path.toStdString(), std::ios::binary);
            while (std::getline(in, line))
                ++count;
        }
        if (count == 0)
            std::fprintf(stderr, "nothing read\n");
    }
}

// The work and the plain read of its files take turns, so that both see the
// same load on a shared machine; the fastest run of each counts.
// Names given on the command line pick the benchmarks that run (for profiling one at a time).
QStringList g_only;

void report(const char *what, const QStringList &paths, const std::function<void()> &work, double target)
{
    const QString name = QString::fromLatin1(what);
    if (!g_only.isEmpty() && !g_only.contains(name) && !g_only.contains(name.section(u' ', 0, 0)))
        return;
    double base = 1e100;
    double ms = 1e100;
    for (int i = 0; i < 7; ++i) {
        base = std::min(base, DataGen::bestOf(1, [&] { readLines(paths); }));
        ms = std::min(ms, DataGen::bestOf(1, work));
    }
    std::printf("%-22s %8.1f ms, std::getline %6.1f ms: ratio %5.2f (target <= %.0f)\n", what, ms, base, ms / base,
                target);
}

std::function<void()> command(std::FILE *sink, const QStringList &args, int expected)
{
    return [=] {
        const int status = CommandLine(sink, stderr).run(args);
        if (status != expected)
            std::fprintf(stderr, "%s exited with %d\n", qPrintable(args.join(u' ')), status);
    };
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    g_only = app.arguments().mid(1);
    QTemporaryDir dir;
    const QString game = dir.filePath(QStringLiteral("game"));
    if (!DataGen::writeGame(game, 20LL * 1024 * 1024)) {
        std::fprintf(stderr, "could not write the game data\n");
        return 2;
    }
    // The stock copy: the same data with one value changed, one block gone and
    // one block more, packed as the stock table is.
    const QString stock = dir.filePath(QStringLiteral("stock"));
    QList<DbfWriter::Record> records;
    const QStringList gameFiles = dataPaths(game);
    const QStringList stockFiles = dataPaths(stock);
    for (qsizetype i = 0; i < gameFiles.size(); ++i) {
        QFile in(gameFiles[i]);
        if (!in.open(QIODevice::ReadOnly))
            return 2;
        QByteArray bytes = in.readAll();
        if (i == 0)
            bytes.replace("  BuildCost = 150\r\n", "  BuildCost = 151\r\n");
        if (i == 8)
            bytes.replace("Weapon GenWeapon3\r\n", "Weapon GenWeaponOld\r\n");
        QDir().mkpath(QFileInfo(stockFiles[i]).path());
        QFile out(stockFiles[i]);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            return 2;
        records.append({"Data\\INI\\" + DataCheck::dataFiles()[i].toLatin1(), bytes});
    }
    const QString table = dir.filePath(QStringLiteral("Stock.DBF"));
    DbfWriter writer;
    if (!writer.write(table, records)) {
        std::fprintf(stderr, "%s\n", qPrintable(writer.errorString()));
        return 2;
    }
#ifdef Q_OS_UNIX
    // The 40 MB just written would otherwise go to disk in the middle of
    // the first measurements, some seconds from now.
    ::sync();
#endif
    std::FILE *sink = std::fopen("/dev/null", "wb");
    if (!sink)
        return 2;

    std::printf("20 MB generated game, each as a ratio to one std::getline read of the files it reads:\n");
    report("index", gameFiles, [&] { DataIndex().build(game); }, 2);
    report("refs GenWeapon7", gameFiles, command(sink, {"refs", game, "GenWeapon7"}, 0), 3);
    report("diff", gameFiles + stockFiles, command(sink, {"diff", game, table}, 1), 4);
    report("table objects", gameFiles, command(sink, {"table", "objects", game}, 0), 3);
    report("table objects (json)", gameFiles, command(sink, {"table", "objects", game, "--format", "json"}, 0), 3);
    // "Unit39" names 43 objects in each of the eight object files: 344 attackers
    // and as many targets.
    report("matrix 344 x 344", gameFiles, command(sink, {"matrix", game, "--attackers", "Unit39", "--targets", "Unit39"}, 0),
           3);
    std::fclose(sink);
    return 0;
}
