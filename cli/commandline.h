#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

class SParse;
struct ViewerData;
struct ViewerRow;

// The command-line front end: each command prints what one window of the
// program shows, for scripts and for checking a mod without the desktop.
// Exit status 0 on success, 1 when the thing asked for is not found, 2 on bad
// usage or an unreadable input.
class CommandLine
{
public:
    CommandLine(std::FILE *out = stdout, std::FILE *err = stderr);

    int run(const QStringList &args);

private:
    struct Command
    {
        const char *name;
        const char *arguments;
        const char *description;
        const char *example;
        int minArguments;
        int maxArguments;
        int (CommandLine::*handler)(const QStringList &args);
    };
    static const Command kCommands[];

    int block(const QStringList &args);
    int value(const QStringList &args);
    int locomotors(const QStringList &args);
    int stock(const QStringList &args);
    int catalogue(const QStringList &args);
    int object(const QStringList &args);
    int weapon(const QStringList &args);
    int armour(const QStringList &args);
    int cmdbutton(const QStringList &args);
    int cmdset(const QStringList &args);
    int check(const QStringList &args);
    int refs(const QStringList &args);
    int diff(const QStringList &args);
    int grep(const QStringList &args);
    int table(const QStringList &args);
    int matchup(const QStringList &args);
    int matrix(const QStringList &args);
    int findGames(const QStringList &args);
    int help(const QStringList &args);

    // Opens the stock table (the program folder's Data.DBF when path is empty).
    bool openStock(const QString &path, class DBCtl &table);

    // Sets the game folder; false (after a message) when it is not a folder.
    bool useGame(const QString &folder);
    // True (after a message) when the game folder holds none of the data files.
    bool noDataFiles();
    // "Object/FactionUnit.ini" and "Object\FactionUnit.ini" both name the same file.
    static QString iniArgument(const QString &arg);
    // Game text as Windows-1252 bytes, with CR and LF shown as \r and \n.
    static QByteArray rowText(const QString &text);

    // One line per viewer row: label, value, editor kind and choices, tab-separated.
    void writeRows(const QList<ViewerRow> &rows);
    // The shared steps of the four viewer commands: read the named entry, print
    // its rows, exit 1 when the file defines no such entry.
    int viewerRows(const QStringList &args, const char *what, const char *file,
                   const std::function<ViewerData(SParse &, const QString &)> &read);

    void write(const QByteArray &bytes);
    int fail(int status, const QString &message);

    std::FILE *m_out;
    std::FILE *m_err;
};
