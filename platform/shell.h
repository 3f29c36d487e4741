#pragma once

#include <QString>

// Asks the desktop to open a file, folder or web address with its default
// action; programs are started detached in the given working folder. Failures
// are not reported, as with the desktop's own shell.
namespace Shell {

void RunFile(const QString &Filename, const QString &Dir);

// The folder the program runs from: its plugin, stock table and guide live there.
QString programFolder();

// "Version 1.0": the project's major and minor version, as the splash, the
// about box and "zarnith --version" show it.
QString versionText();

} // namespace Shell
