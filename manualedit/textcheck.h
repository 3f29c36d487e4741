#pragma once

#include "engine/datacheck.h"
#include "engine/dataindex.h"

#include <QByteArray>
#include <QHash>
#include <QList>

// The data check run on an editor's text: the text stands in for its file
// in an index of the other twelve, and the check's problems for that file
// are placed in the text for underlining.
namespace TextCheck {

// A problem's place in the editor's UTF-8 text: the name it is about (its
// whole line when it has none) as a byte range.
struct Mark
{
    qsizetype from = 0;
    qsizetype to = 0;
    QString message;
};

struct Result
{
    QList<DataProblem> problems; // as the data check reports them for the file
    QList<Mark> marks;           // one for each problem, ordered by from
    DataIndex index;             // the index of the game data with the text in place of its file
};

// fileIndex: the text's file, by its place in DataCheck::dataFiles().
Result run(const DataIndex &base, int fileIndex, const QByteArray &utf8);

// The byte ranges of problems (of one file, in line order) in the UTF-8 text
// of that file. Lines count as the game counts them: CR LF or a lone CR ends one.
QList<Mark> marksOf(const QList<DataProblem> &problems, QByteArrayView utf8);

// The names defined under keyword, sorted and without repeats, letter case ignored.
QList<QByteArray> definedNames(const DataIndex &index, const QString &keyword);

// The rows of a card about the block that defines name (the first of
// several): "Keyword Name", "File, line N", then the first value lines of
// the block (at most ten), without comments. Empty when nothing defines it.
// The shown file's lines come from its text in the editor, the others'
// from their files.
QStringList cardRows(const DataIndex &index, const QString &gamePath, const QString &name, int shownFile,
                     QByteArrayView shownUtf8);

} // namespace TextCheck
