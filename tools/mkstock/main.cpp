#include "startup/dbfwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTextStream>

// zarnith-mkstock STOCKFOLDER OUTPUT.DBF: packs every file below STOCKFOLDER
// into the stock table, one record per file, with its path relative to the
// folder written the game's way ("Data\INI\Weapon.ini").
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "usage: zarnith-mkstock STOCKFOLDER OUTPUT.DBF\n";
        return 2;
    }
    const QDir root(args[1]);
    QStringList files;
    QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << root.relativeFilePath(it.next());
    // A stable order keeps the table identical from one build to the next.
    std::sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });

    QList<DbfWriter::Record> records;
    for (const QString &relative : files) {
        QFile file(root.filePath(relative));
        if (!file.open(QIODevice::ReadOnly)) {
            err << "cannot read " << file.fileName() << ": " << file.errorString() << "\n";
            return 2;
        }
        records.append({QDir::toNativeSeparators(relative).replace(QLatin1Char('/'), QLatin1Char('\\')).toLatin1(),
                        file.readAll()});
    }
    DbfWriter writer;
    if (!writer.write(args[2], records)) {
        err << writer.errorString() << "\n";
        return 2;
    }
    return 0;
}
