#pragma once

#include <QList>
#include <QString>

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

QList<DataProblem> check(const QString &gamePath);

} // namespace DataCheck
