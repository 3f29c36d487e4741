#include "commandline.h"

#include "engine/datacheck.h"
#include "engine/globals.h"
#include "engine/objectvalues.h"
#include "engine/summaryrows.h"
#include "startup/catalogue.h"
#include "startup/dbctl.h"
#include "startup/stockrestore.h"
#include "engine/sparse.h"
#include "engine/tvitem.h"
#include "engine/viewerrows.h"
#include "platform/codepage.h"
#include "platform/gamefinder.h"
#include "platform/gamepath.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

const CommandLine::Command CommandLine::kCommands[] = {
    {"block", "GAME KEYWORD INIFILE NAME", "print the text of one block, byte for byte",
     "zarnith-cli block ~/Torvane Weapon Weapon.ini HarrowCannonMk1", 4, 4, &CommandLine::block},
    {"value", "GAME KEYWORD INIFILE NAME PARAMETER",
     "print the values of a parameter in one block, each followed by CR LF",
     "zarnith-cli value ~/Torvane Object Object/FactionUnit.ini AmericaHarrowTank BuildCost", 5, 5, &CommandLine::value},
    {"locomotors", "GAME OBJECTFILE NAME",
     "print each locomotor of an object with its nine handling values, tab-separated",
     "zarnith-cli locomotors ~/Torvane FactionUnit.ini AmericaHarrowTank", 3, 3, &CommandLine::locomotors},
    {"stock", "list [TABLE.DBF] | restore GAME [TABLE.DBF]",
     "list the stock table (index, path, length, SHA-256), or restore its missing files into a game folder",
     "zarnith-cli stock restore ~/Torvane", 1, 3, &CommandLine::stock},
    {"catalogue", "GAME", "print the object tree: depth, key, text and tag of each node, in tree order",
     "zarnith-cli catalogue ~/Torvane", 1, 1, &CommandLine::catalogue},
    {"object", "GAME NAME [--set N] [--locomotor N]",
     "print the summary list the main window shows for an object (weapon set N, locomotor tab N, from 0)",
     "zarnith-cli object ~/Torvane AmericaHarrowTank --set 1", 2, 6, &CommandLine::object},
    {"weapon", "GAME NAME",
     "print the rows the weapons editor shows for a weapon: label, value, editor kind and choices, tab-separated",
     "zarnith-cli weapon ~/Torvane HarrowCannonMk1", 2, 2, &CommandLine::weapon},
    {"armour", "GAME NAME", "print the rows the armour editor shows for an armour, as for weapon",
     "zarnith-cli armour ~/Torvane TankPlate", 2, 2, &CommandLine::armour},
    {"cmdbutton", "GAME NAME", "print the rows the command button editor shows for a button, as for weapon",
     "zarnith-cli cmdbutton ~/Torvane Cmd_Halt", 2, 2, &CommandLine::cmdbutton},
    {"cmdset", "GAME NAME",
     "print the twelve slots the command set editor shows for a set, every command button as a choice",
     "zarnith-cli cmdset ~/Torvane AmericaSapperCommandSet", 2, 2, &CommandLine::cmdset},
    {"check", "GAME",
     "check the data files against each other: file, line, kind and message of each problem; exit 1 when any",
     "zarnith-cli check ~/Torvane", 1, 1, &CommandLine::check},
    {"refs", "GAME NAME",
     "print where a name is defined and used: role (defined or used), kind, name, file and line, tab-separated; "
     "exit 1 when neither",
     "zarnith-cli refs ~/Torvane TankPlate", 2, 2, &CommandLine::refs},
    {"diff", "GAME [TABLE.DBF]",
     "compare the data files with the stock table block by block: file, state, kind, name, line and text of each "
     "difference; exit 1 when any",
     "zarnith-cli diff ~/Torvane", 1, 2, &CommandLine::diff},
    {"grep", "GAME PATTERN [--regex]",
     "print every line of the data files that contains PATTERN (letter case ignored) or matches it as a regular "
     "expression: file, line and text, tab-separated; exit 1 when none",
     "zarnith-cli grep ~/Torvane TankPlate", 2, 3, &CommandLine::grep},
    {"table", "KIND GAME [--format tsv|csv|json]",
     "print every block of a kind (objects, weapons, armours, locomotors, commandbuttons, commandsets) with its "
     "parameters, as UTF-8",
     "zarnith-cli table weapons ~/Torvane --format csv", 2, 4, &CommandLine::table},
    {"matchup", "GAME ATTACKER TARGET",
     "print what each weapon of the attacker's weapon sets does to the target: set, conditions, slot, weapon, "
     "damagetype, damage, armour, percent, effective, health, shots, seconds and note, tab-separated",
     "zarnith-cli matchup ~/Torvane AmericaHarrowTank ChinaTalonTank", 3, 3, &CommandLine::matchup},
    {"matrix", "GAME [--attackers TEXT] [--targets TEXT] [--format tsv|csv|json]",
     "print the shots each attacker's primary weapon needs to kill each target, for the objects whose names "
     "contain the texts (letter case ignored): a row per attacker, a column per target",
     "zarnith-cli matrix ~/Torvane --attackers Tank --targets Tank --format csv", 1, 7, &CommandLine::matrix},
    {"find-games", "[HOME]",
     "print the Torvane folders found in Steam libraries and Wine, Lutris and Bottles prefixes, one a line; "
     "exit 1 when none",
     "zarnith-cli find-games", 0, 1, &CommandLine::findGames},
    {"help", "", "print this list", "zarnith-cli help", 0, 0, &CommandLine::help},
};

CommandLine::CommandLine(std::FILE *out, std::FILE *err)
    : m_out(out)
    , m_err(err)
{
}

int CommandLine::run(const QStringList &args)
{
    if (args.isEmpty())
        return fail(2, QStringLiteral("usage: zarnith-cli COMMAND ARGUMENTS; try zarnith-cli --help"));
    const QString name = args.first();
    if (name == QLatin1String("--help") || name == QLatin1String("-h"))
        return help(args);
    for (const Command &command : kCommands) {
        if (name != QLatin1String(command.name))
            continue;
        const QStringList rest = args.mid(1);
        if (rest.size() < command.minArguments || rest.size() > command.maxArguments)
            return fail(2, QStringLiteral("usage: zarnith-cli %1 %2").arg(QLatin1String(command.name),
                                                                         QLatin1String(command.arguments)));
        return (this->*command.handler)(rest);
    }
    return fail(2, QStringLiteral("unknown command \"%1\"; try zarnith-cli --help").arg(name));
}

int CommandLine::help(const QStringList &)
{
    QByteArray text = "Usage: zarnith-cli COMMAND ARGUMENTS\n"
                      "GAME is the game folder; INIFILE is relative to Data\\INI (\"Weapon.ini\", "
                      "\"Object/FactionUnit.ini\").\n\n";
    for (const Command &command : kCommands) {
        text += QByteArray("  ") + command.name + ' ' + command.arguments + "\n      " + command.description
                + "\n      e.g. " + command.example + '\n';
    }
    write(text);
    return 0;
}

bool CommandLine::useGame(const QString &folder)
{
    const QFileInfo info(GamePaths::nativePath(folder));
    if (!info.isDir()) {
        fail(2, QStringLiteral("not a game folder: %1").arg(info.filePath()));
        return false;
    }
    GamePath = info.filePath();
    return true;
}

QString CommandLine::iniArgument(const QString &arg)
{
    QString ini = arg;
    ini.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return ini;
}

int CommandLine::block(const QStringList &args)
{
    if (!useGame(args[0]))
        return 2;
    SParse parser;
    parser.ObjectName = args[3];
    const QString text = parser.GetObjectText(args[1], iniArgument(args[2]));
    if (text.isEmpty())
        return fail(1, QStringLiteral("no %1 block named %2 in %3").arg(args[1], args[3], args[2]));
    write(CodePage::encode(text));
    return 0;
}

int CommandLine::value(const QStringList &args)
{
    if (!useGame(args[0]))
        return 2;
    SParse parser;
    parser.ObjectName = args[3];
    const QString text = parser.GetParameterValue(args[1], args[4], iniArgument(args[2]));
    if (text.isEmpty())
        return fail(1, QStringLiteral("no value of %1 in the %2 block %3").arg(args[4], args[1], args[3]));
    write(CodePage::encode(text));
    return 0;
}

int CommandLine::locomotors(const QStringList &args)
{
    if (!useGame(args[0]))
        return 2;
    SParse parser;
    const QStringList names = parser.locomotorList(args[2], args[1]);
    if (names.isEmpty()) {
        parser.ObjectName = args[2];
        if (parser.GetObjectText(QStringLiteral("Object"), QStringLiteral("Object\\") + args[1]).isEmpty())
            return fail(1, QStringLiteral("no object named %1 in %2").arg(args[2], args[1]));
        return 0;
    }
    for (int i = 0; i < names.size(); ++i) {
        const SParse::LocomotorHandling handling = parser.GetLocomotorData(args[2], args[1], i);
        QByteArray row = rowText(names[i]);
        for (const auto &value : handling.values) {
            row += '\t';
            if (value)
                row += rowText(*value);
        }
        write(row + '\n');
    }
    return 0;
}

bool CommandLine::openStock(const QString &path, DBCtl &table)
{
    const QString dbf = path.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/Data.DBF") : path;
    const QFileInfo info(dbf);
    QString base = info.fileName();
    if (base.endsWith(QLatin1String(".dbf"), Qt::CaseInsensitive))
        base.chop(4);
    if (!table.LoadDatabase(info.path(), base)) {
        fail(2, table.errorString());
        return false;
    }
    return true;
}

int CommandLine::stock(const QStringList &args)
{
    const QString action = args[0];
    const bool list = action == QLatin1String("list") && args.size() <= 2;
    const bool restore = action == QLatin1String("restore") && args.size() >= 2;
    if (!list && !restore)
        return fail(2, QStringLiteral("usage: zarnith-cli stock list [TABLE.DBF] | restore GAME [TABLE.DBF]"));
    if (restore && !QFileInfo(GamePaths::nativePath(args[1])).isDir())
        return fail(2, QStringLiteral("not a game folder: %1").arg(args[1]));

    DBCtl table;
    if (!openStock(args.value(list ? 1 : 2), table))
        return 2;
    int status = 0;
    for (qint64 i = 0; i < table.RecordCount(); ++i) {
        table.SetRecord(i);
        const auto path = table.GetData(0);
        const auto text = table.GetData(1);
        if (!path || !text)
            return fail(2, table.errorString());
        const QString relative = CodePage::decode(*path);
        if (list) {
            write(QByteArray::number(i) + '\t' + rowText(relative) + '\t' + QByteArray::number(text->size()) + '\t'
                  + QCryptographicHash::hash(*text, QCryptographicHash::Sha256).toHex() + '\n');
            continue;
        }
        QString error;
        const auto outcome = StockRestore::restore(GamePaths::nativePath(args[1]), relative, *text, &error);
        QByteArray row = QByteArray(StockRestore::outcomeName(outcome)) + '\t' + rowText(relative);
        if (outcome == StockRestore::Refused)
            row += '\t' + rowText(error);
        write(row + '\n');
        if (outcome == StockRestore::Failed) {
            fail(2, error);
            status = 2;
        }
    }
    return status;
}

int CommandLine::catalogue(const QStringList &args)
{
    if (!useGame(args[0]))
        return 2;
    Catalogue catalogue;
    const auto nodes = Catalogue::treeOrder(catalogue.BuildCatalogue(GamePath));
    QByteArray out;
    for (const auto &[depth, node] : nodes) {
        out += QByteArray::number(depth) + '\t' + rowText(node.key) + '\t' + rowText(node.text) + '\t'
               + rowText(node.tag) + '\n';
    }
    write(out);
    return 0;
}

int CommandLine::object(const QStringList &args)
{
    int set = 0;
    int locomotor = 0;
    for (int i = 2; i < args.size(); i += 2) {
        bool ok = i + 1 < args.size();
        const int n = ok ? args[i + 1].toInt(&ok) : 0;
        if (!ok || n < 0 || (args[i] != QLatin1String("--set") && args[i] != QLatin1String("--locomotor")))
            return fail(2, QStringLiteral("usage: zarnith-cli object GAME NAME [--set N] [--locomotor N]"));
        (args[i] == QLatin1String("--set") ? set : locomotor) = n;
    }
    if (!useGame(args[0]))
        return 2;
    Catalogue catalogue;
    const QList<CatalogueNode> nodes = catalogue.BuildCatalogue(GamePath);
    const auto ordered = Catalogue::treeOrder(nodes);
    const auto chosen = std::find_if(ordered.begin(), ordered.end(),
                                     [&](const auto &entry) { return entry.second.text == args[1]; });
    if (chosen == ordered.end())
        return fail(1, QStringLiteral("no object named %1 in the catalogue").arg(args[1]));

    SummaryInput input;
    input.name = chosen->second.text;
    const auto &boxes = Summary::handlingBoxes();
    for (int i = 0; i < 9; ++i)
        input.handling[i] = boxes[i].emptyText();
    if (Catalogue::isLoadable(nodes, chosen->second)) {
        SParse parser;
        const QString file = Catalogue::objectFile(nodes, chosen->second);
        const ObjectValues values = ObjectValues::load(parser, input.name, file);
        input.initialHealth = values.initialHealth;
        input.maxHealth = values.maxHealth;
        input.cost = values.cost;
        input.buildTime = values.buildTime;
        input.shroudClearingRange = values.shroudClearingRange;
        input.visionRange = values.visionRange;
        const auto weapons = ObjectValues::weaponsOfSet(values.weaponSets.value(set));
        input.primaryWeapon = weapons[0];
        input.secondaryWeapon = weapons[1];
        input.tertiaryWeapon = weapons[2];
        input.locomotorTabs = values.locomotors;
        input.locomotorComboText = values.locomotors.value(locomotor);
        const SParse::LocomotorHandling handling = parser.GetLocomotorData(input.name, file, locomotor);
        for (int i = 0; i < 9; ++i)
            input.handling[i] = boxes[i].textWith(handling.values[i].value_or(QString()));
    }
    // The summary is a view in the user's locale (its currency symbol may lie
    // outside the game's code page), so it is printed as UTF-8.
    const auto utf8 = [](const QString &text) {
        return text.toUtf8().replace("\r", "\\r").replace("\n", "\\n");
    };
    QByteArray out;
    for (const SummaryRow &row : Summary::build(input))
        out += utf8(row.label) + '\t' + (row.value ? utf8(*row.value) : QByteArray()) + '\n';
    write(out);
    return 0;
}

int CommandLine::weapon(const QStringList &args)
{
    return viewerRows(args, "weapon", "Weapon.ini",
                      [](SParse &parser, const QString &name) { return ViewerRows::GetWeaponData(parser, name); });
}

int CommandLine::armour(const QStringList &args)
{
    return viewerRows(args, "armour", "Armor.ini",
                      [](SParse &parser, const QString &name) { return ViewerRows::GetArmourData(parser, name); });
}

int CommandLine::cmdbutton(const QStringList &args)
{
    return viewerRows(args, "command button", "CommandButton.ini",
                      [](SParse &parser, const QString &name) { return ViewerRows::GetCmdBtnData(parser, name); });
}

int CommandLine::cmdset(const QStringList &args)
{
    return viewerRows(args, "command set", "CommandSet.ini", [](SParse &parser, const QString &name) {
        TVItem loader;
        return ViewerRows::GetCmdSetData(parser, name, ViewerRows::CommandButtonNames(loader));
    });
}

int CommandLine::viewerRows(const QStringList &args, const char *what, const char *file,
                            const std::function<ViewerData(SParse &, const QString &)> &read)
{
    if (!useGame(args[0]))
        return 2;
    SParse parser;
    const ViewerData data = read(parser, args[1]);
    if (data.blockText.isEmpty())
        return fail(1, QStringLiteral("no %1 named %2 in %3").arg(QLatin1String(what), args[1], QLatin1String(file)));
    writeRows(data.rows);
    return 0;
}

void CommandLine::writeRows(const QList<ViewerRow> &rows)
{
    QByteArray out;
    for (const ViewerRow &row : rows) {
        out += rowText(row.label) + '\t' + (row.value ? rowText(*row.value) : QByteArray()) + '\t'
               + ViewerRows::editorKindName(row.editor).toLatin1() + '\t' + rowText(row.choices.join(u',')) + '\n';
    }
    write(out);
}

int CommandLine::check(const QStringList &args)
{
    if (!useGame(args[0]))
        return 2;
    const QList<DataProblem> problems = DataCheck::check(GamePath);
    const bool noData = problems.size() == DataCheck::dataFiles().size()
                        && std::all_of(problems.cbegin(), problems.cend(), [](const DataProblem &p) {
                               return p.kind == QLatin1String("missing-file");
                           });
    if (noData)
        return fail(2, QStringLiteral("no data files in %1").arg(GamePaths::join(GamePath, QStringLiteral("Data\\INI"))));
    QByteArray out;
    for (const DataProblem &p : problems) {
        out += rowText(p.file) + '\t' + QByteArray::number(p.line) + '\t' + rowText(p.kind) + '\t'
               + rowText(p.message) + '\n';
    }
    write(out);
    return problems.isEmpty() ? 0 : 1;
}

QByteArray CommandLine::rowText(const QString &text)
{
    QByteArray bytes = CodePage::encode(text);
    bytes.replace("\r", "\\r");
    bytes.replace("\n", "\\n");
    return bytes;
}

void CommandLine::write(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_out);
}

int CommandLine::fail(int status, const QString &message)
{
    const QByteArray line = message.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), m_err);
    return status;
}

int CommandLine::findGames(const QStringList &args)
{
    const QString home = args.isEmpty() ? QDir::homePath() : args.first();
    const GameFinder::Result result = GameFinder::findGames(home, QProcessEnvironment::systemEnvironment());
    QByteArray text;
    for (const QString &folder : result.folders)
        text += QDir::toNativeSeparators(folder).toUtf8() + '\n';
    write(text);
    if (!result.complete)
        std::fprintf(m_err, "the search stopped at its time limit; some folders were not looked into\n");
    return result.folders.isEmpty() ? fail(1, QStringLiteral("no Torvane folder found under %1").arg(home)) : 0;
}
