#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DBCtl;

// Compares the thirteen data files of a game folder with their stock copies,
// block by block. Blocks are found by the engine index's rules (dataindex.h)
// and paired by kind and name, letter case ignored; a name defined twice pairs
// its definitions in order of appearance. A pair with different lines gets a
// line diff of the two blocks: a shortest edit script (a longest common
// subsequence), as diff(1) gives. The lines of a file outside every block
// (comments between blocks, say) are compared the same way, as one more unit
// with an empty kind and name.
//
// Line endings (CR LF, a lone CR or a lone LF) and spaces or tabs at the end
// of a line do not count as differences; everything else does, comments included.
struct DiffLine
{
    char sign = '-';  // '-': only in the stock block; '+': only in the game block
    int line = 0;     // the line's number in its own file, from 1
    QString text;     // as stored
};

struct BlockDiff
{
    enum State { Added, Removed, Changed };
    State state = Changed;
    QString kind; // both empty for the lines outside every block
    QString name;
    int gameLine = 0;  // the header line in the game file (0 for a removed block)
    int stockLine = 0; // the header line in the stock file (0 for an added block)
    // The unit's lines on each side, with their line numbers (empty for the
    // side that lacks the block).
    QList<int> gameNumbers;
    QStringList gameText;
    QList<int> stockNumbers;
    QStringList stockText;
    // Changed: every differing line in hunk order, the '-' lines of a hunk before its '+' lines.
    QList<DiffLine> lines;
};

struct FileDiff
{
    int fileIndex = 0;    // position in DataCheck::dataFiles()
    QString file;         // as check writes it
    bool missing = false; // the game folder lacks the file (no blocks then)
    QList<BlockDiff> blocks; // in game file order, each removed block where the stock file had it
};

namespace StockDiff {

// The stock copy of each data file in the table, by DataCheck::dataFiles()
// position; no value where the table holds none. False, with the reason in
// error, when a record cannot be read.
bool stockTexts(DBCtl &table, QList<std::optional<QByteArray>> *texts, QString *error);

// One file's game text against its stock text.
FileDiff compareFile(const QByteArray &game, const QByteArray &stock);

// The files that differ, in dataFiles() order: a file the game folder lacks
// (when the table has it) is missing; files without a stock copy are not
// compared. Empty when cancelled returns true (asked between files).
QList<FileDiff> compare(const QString &gamePath, const QList<std::optional<QByteArray>> &stock,
                        const std::function<bool()> &cancelled = {});

// Rows of `zarnith-cli diff`: file, state ("missing-file", "added",
// "removed", "-", "+"), kind, name, line, text.
struct Row
{
    QString file;
    QString state;
    QString kind;
    QString name;
    int line = 0;
    QString text;
};
QList<Row> rows(const QList<FileDiff> &files);

} // namespace StockDiff
