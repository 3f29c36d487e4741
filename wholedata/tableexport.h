#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;

// "Export...": every block of one kind (objects, weapons, armours,
// commandbuttons, commandsets) as CSV, the rows `zarnith-cli table KIND GAME
// --format csv` prints, written where the user chooses.
namespace TableExport {

// Asks for the file, reads the data and writes it through a temporary file
// beside it. False when the user cancels or the file cannot be written (said
// in a message).
bool exportKind(QWidget *parent, const QString &kind);

// The file question of every export: the hook's answer, or the user's; empty
// when cancelled.
QString askPath(QWidget *parent, const QString &title, const QString &suggested);
// Writes bytes to path through a temporary file beside it; false after a
// message naming what when that fails.
bool writeFile(QWidget *parent, const QString &path, const QByteArray &bytes, const QString &what);

// Tests answer the file question through a hook, given the suggested path;
// an empty answer is Cancel. An empty hook asks the user again.
using SaveFileHook = std::function<QString(const QString &suggested)>;
void setSaveFileHook(SaveFileHook hook);

} // namespace TableExport
