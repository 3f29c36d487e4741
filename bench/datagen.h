#pragma once

#include <QString>

#include <functional>

// Writes large, well-formed game data for benchmarks: object files with
// thousands of objects, each with weapon sets, locomotors and nested modules,
// and the five other data files with everything the objects refer to.
namespace DataGen {

// Writes one object file of about targetBytes and returns the name of its last object.
QString writeObjectFile(const QString &path, qint64 targetBytes);

// Writes a whole game folder (Data/INI and Data/INI/Object) of about
// targetBytes in all, spread over the thirteen files.
bool writeGame(const QString &folder, qint64 targetBytes);

// The fastest of several runs of work, in milliseconds.
double bestOf(int runs, const std::function<void()> &work);

} // namespace DataGen
