#pragma once

#include <functional>

// Ends the program at once with the given code, after the settings have been
// written: windows get no chance to run their closing steps. Tests replace it
// with a hook so that the test process lives on; endNow then returns, so
// callers stop their own work right after calling it.
namespace ProgramExit {

void endNow(int code = 0);
// Ends through the event loop (QApplication::exit), for the orderly exits.
void endOrderly(int code = 0);

using Hook = std::function<void(int code)>;
void setHook(Hook hook);
// True when a hook has been installed.
bool hooked();

} // namespace ProgramExit
