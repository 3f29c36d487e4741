#include "commandline.h"

#include "engine/datacheck.h"
#include "engine/datagrep.h"
#include "engine/dataindex.h"
#include "engine/globals.h"
#include "engine/matchup.h"
#include "engine/stockdiff.h"
#include "engine/tables.h"
#include "platform/gamepath.h"
#include "startup/dbctl.h"

// The commands over the whole data set: where names are defined and used,
// what differs from the stock files, every block of a kind as a table, what
// weapons do to objects.

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

int CommandLine::diff(const QStringList &args)
{
    if (!useGame(args[0]))
        return 2;
    DBCtl table;
    if (!openStock(args.value(1), table))
        return 2;
    QList<std::optional<QByteArray>> stock;
    QString error;
    if (!StockDiff::stockTexts(table, &stock, &error))
        return fail(2, error);
    const QList<StockDiff::Row> rows = StockDiff::rows(StockDiff::compare(GamePath, stock));
    QByteArray out;
    for (const StockDiff::Row &row : rows) {
        out += rowText(row.file) + '\t' + row.state.toLatin1() + '\t' + rowText(row.kind) + '\t' + rowText(row.name) + '\t'
               + QByteArray::number(row.line) + '\t' + rowText(row.text) + '\n';
    }
    write(out);
    return rows.isEmpty() ? 0 : 1;
}

int CommandLine::grep(const QStringList &args)
{
    if (args.size() == 3 && args[2] != QLatin1String("--regex"))
        return fail(2, QStringLiteral("usage: zarnith-cli grep GAME PATTERN [--regex]"));
    QString error;
    const std::optional<DataGrep::Matcher> matcher = DataGrep::Matcher::make(args[1], args.size() == 3, &error);
    if (!matcher)
        return fail(2, error);
    if (!useGame(args[0]) || noDataFiles())
        return 2;
    QByteArray out;
    bool any = false;
    DataGrep::search(GamePath, *matcher, [&](const DataGrep::Hit &hit) {
        any = true;
        out += rowText(hit.file) + '\t' + QByteArray::number(hit.line) + '\t' + rowText(hit.text) + '\n';
        // Rows go out as they come, in pieces, so a search with many hits
        // neither waits for the end nor holds them all.
        if (out.size() > (1 << 16)) {
            write(out);
            out.clear();
        }
    });
    write(out);
    return any ? 0 : 1;
}

int CommandLine::table(const QStringList &args)
{
    const std::optional<QString> keyword = Tables::keywordOf(args[0]);
    QString format = QStringLiteral("tsv");
    if (args.size() == 4 && args[2] == QLatin1String("--format"))
        format = args[3];
    const bool formatKnown = QStringList{"tsv", "csv", "json"}.contains(format);
    if (!keyword || !formatKnown || args.size() == 3 || (args.size() == 4 && args[2] != QLatin1String("--format")))
        return fail(2, QStringLiteral("usage: zarnith-cli table %1 GAME [--format tsv|csv|json]")
                           .arg(Tables::kinds().join(u'|')));
    if (!useGame(args[1]) || noDataFiles())
        return 2;
    if (format == QLatin1String("json"))
        write(Tables::json(Tables::read(GamePath, *keyword)));
    else
        write(Tables::rows(GamePath, *keyword, format == QLatin1String("csv") ? Tables::Csv : Tables::Tsv));
    return 0;
}

int CommandLine::matchup(const QStringList &args)
{
    if (!useGame(args[0]) || noDataFiles())
        return 2;
    MatchupData data;
    data.setObjectFilter([&](QStringView name) {
        return name.compare(args[1], Qt::CaseInsensitive) == 0 || name.compare(args[2], Qt::CaseInsensitive) == 0;
    });
    data.build(GamePath);
    const int attacker = data.findObject(args[1]);
    const int target = data.findObject(args[2]);
    for (const auto &[object, name] : {std::pair{attacker, args[1]}, std::pair{target, args[2]}}) {
        if (object < 0)
            return fail(1, QStringLiteral("no object named %1").arg(name));
    }
    QByteArray out;
    for (const MatchupRow &row : data.rows(attacker, target)) {
        const MatchupResult &r = row.result;
        out += QByteArray::number(row.slot.set);
        for (const QString *field : {&row.slot.conditions, &row.slot.slot, &row.slot.weapon, &row.damageType, &row.damage,
                                     &row.armour, &r.percent, &r.effective, &row.health, &r.shots, &r.seconds, &r.note})
            out += '\t' + rowText(*field);
        out += '\n';
    }
    write(out);
    return 0;
}

int CommandLine::matrix(const QStringList &args)
{
    QString attackers;
    QString targets;
    QString format = QStringLiteral("tsv");
    for (qsizetype i = 1; i < args.size(); i += 2) {
        const QString &option = args[i];
        QString *value = option == QLatin1String("--attackers") ? &attackers
                       : option == QLatin1String("--targets")   ? &targets
                       : option == QLatin1String("--format")    ? &format
                                                                : nullptr;
        if (!value || i + 1 >= args.size())
            return fail(2, QStringLiteral("usage: zarnith-cli matrix GAME [--attackers TEXT] [--targets TEXT] "
                                          "[--format tsv|csv|json]"));
        *value = args[i + 1];
    }
    static const QStringList formats{"tsv", "csv", "json"};
    if (!formats.contains(format))
        return fail(2, QStringLiteral("unknown format \"%1\"; use tsv, csv or json").arg(format));
    if (!useGame(args[0]) || noDataFiles())
        return 2;
    MatchupData data;
    data.setObjectFilter([&](QStringView name) {
        return name.contains(attackers, Qt::CaseInsensitive) || name.contains(targets, Qt::CaseInsensitive);
    });
    data.build(GamePath);
    const MatchupMatrix matrix = data.matrix(data.objectsContaining(attackers), data.objectsContaining(targets));
    write(Matchup::writeMatrix(data, matrix, Matchup::Format(formats.indexOf(format))));
    return 0;
}
