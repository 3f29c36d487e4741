#include "programexit.h"

#include "manualedit/settingsstore.h"

#include <QCoreApplication>

#include <cstdlib>

namespace {
ProgramExit::Hook g_hook;
}

namespace ProgramExit {

void setHook(Hook hook)
{
    g_hook = std::move(hook);
}

bool hooked()
{
    return bool(g_hook);
}

void endNow(int code)
{
    SettingsStore::sync();
    if (g_hook) {
        g_hook(code);
        return;
    }
    std::_Exit(code);
}

void endOrderly(int code)
{
    SettingsStore::sync();
    if (g_hook) {
        g_hook(code);
        return;
    }
    QCoreApplication::exit(code);
}

} // namespace ProgramExit
