#include "busyhook.h"

namespace {
BusyHook::Function g_hook = nullptr;
}

namespace BusyHook {

void install(Function hook)
{
    g_hook = hook;
}

void notify(bool busy)
{
    if (g_hook)
        g_hook(busy);
}

} // namespace BusyHook
