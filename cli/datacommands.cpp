#include "commandline.h"

#include "engine/datacheck.h"
#include "engine/dataindex.h"
#include "engine/globals.h"
#include "platform/gamepath.h"

// The commands over the whole data set.

bool CommandLine::noDataFiles()
{
    const QStringList &files = DataCheck::dataFiles();
    if (std::any_of(files.cbegin(), files.cend(), [](const QString &file) {
            return GamePaths::FileExists(GamePath + QStringLiteral("\\Data\\INI\\") + file);
        }))
        return false;
    fail(2, QStringLiteral("no data files in %1").arg(GamePaths::join(GamePath, QStringLiteral("Data\\INI"))));
    return true;
}

int CommandLine::refs(const QStringList &args)
{
    if (!useGame(args[0]) || noDataFiles())
        return 2;
    DataIndex index;
    index.build(GamePath);
    const QList<IndexHit> defined = index.definitions(args[1]);
    const QList<IndexHit> used = index.references(args[1]);
    QByteArray out;
    for (const auto &[role, hits] : {std::pair{"defined", &defined}, std::pair{"used", &used}}) {
        for (const IndexHit &hit : *hits) {
            out += QByteArray(role) + '\t' + rowText(hit.kind) + '\t' + rowText(hit.name) + '\t' + rowText(hit.file) + '\t'
                   + QByteArray::number(hit.line) + '\n';
        }
    }
    write(out);
    return defined.isEmpty() && used.isEmpty() ? 1 : 0;
}
