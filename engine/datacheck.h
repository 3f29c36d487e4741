#pragma once

#include <QList>
#include <QString>

#include <functional>

class DataIndex;

// Checks the thirteen data files of a game folder against each other: blocks
// without an end line, blocks defined twice, and names that refer to nothing.
// The check reads the engine's index (dataindex.h): each file is read once,
// through the same line loader and header rule as every lookup.
struct DataProblem
{
    QString file; // relative to Data\INI, as "Object\FactionUnit.ini"
    int line = 0; // from 1
    QString kind; // "missing-end", "duplicate", "unknown-weapon", ...
    QString message;
    // The name the problem is about, in its line (from 0, in characters);
    // -1 for a problem of the whole file.
    int column = -1;
    int length = 0;
};

namespace DataCheck {

// The data files in the order they are checked and reported.
const QStringList &dataFiles();

// A missing data file is one problem of kind "missing-file" (line 0), and
// the names of the kind it defines are then not checked. When cancelled
// returns true (it is asked between lines), the check stops and returns nothing.
QList<DataProblem> check(const QString &gamePath, const std::function<bool()> &cancelled = {});

// The problems of an index already built, as check reports them: each file's
// problems in line order, files in dataFiles() order. With onlyFile, the
// problems of that file (its place in dataFiles()), checked against them all.
QList<DataProblem> check(const DataIndex &index, int onlyFile = -1);

} // namespace DataCheck
