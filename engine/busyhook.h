#pragma once

// The engine knows no windows. A lookup announces that it is busy through this
// hook; the desktop program installs one that shows the hourglass pointer on
// the main window.
namespace BusyHook {

using Function = void (*)(bool busy);

void install(Function hook);
void notify(bool busy);

} // namespace BusyHook
