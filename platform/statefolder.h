#pragma once

#include <QString>

// Where the program keeps state that must outlive a crash but is no setting
// and no document: on Linux $XDG_STATE_HOME (when it is an absolute path) or
// else ~/.local/state, as the XDG base directory rules say; elsewhere the
// platform's local application data folder. Qt 6.4 has no standard location
// for it yet. Empty when no such folder can be named.
namespace StateFolder {

QString userStateFolder();

} // namespace StateFolder
