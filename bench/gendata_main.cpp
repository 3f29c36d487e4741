#include "datagen.h"

#include <QCoreApplication>
#include <QTextStream>

// zarnith-gendata FOLDER [MEGABYTES]: writes a large game folder for trying
// the program and the benchmarks on realistic amounts of data.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() < 2) {
        err << "usage: zarnith-gendata FOLDER [MEGABYTES]\n";
        return 2;
    }
    const qint64 megabytes = args.size() > 2 ? args[2].toLongLong() : 20;
    if (megabytes <= 0 || !DataGen::writeGame(args[1], megabytes * 1024 * 1024)) {
        err << "could not write the game data to " << args[1] << "\n";
        return 2;
    }
    return 0;
}
