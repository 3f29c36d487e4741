#pragma once

#include <QList>
#include <QString>

#include <functional>

// Checks the thirteen data files of a game folder against each other: blocks
// without an end line, blocks defined twice, and names that refer to nothing.
// Each file is read once, through the same line loader as every lookup.
struct DataProblem
{
    QString file; // relative to Data\INI, as "Object\FactionUnit.ini"
    int line = 0; // from 1
    QString kind; // "missing-end", "duplicate", "unknown-weapon", ...
    QString message;
};

namespace DataCheck {

// The data files in the order they are checked and reported.
const QStringList &dataFiles();

// A missing data file is one problem of kind "missing-file" (line 0), and
// the names of the kind it defines are then not checked. When cancelled
// returns true (it is asked between lines), the check stops and the result
// is incomplete.
QList<DataProblem> check(const QString &gamePath, const std::function<bool()> &cancelled = {});

} // namespace DataCheck
