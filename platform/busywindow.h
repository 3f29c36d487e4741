#pragma once

#include <QPointer>
#include <QWidget>

namespace BusyWindow {

// For a window whose long work runs on it, giving the event loop turns: when
// it is closed while busy, it must outlive the close until the work notices
// closing, stops and deletes it. single, the pointer through which the window
// is opened again on request, lets go of it, so that a new one is made.
template<typename Window>
void closing(Window *window, bool busy, bool &closing, QPointer<Window> *single = nullptr)
{
    if (!busy)
        return;
    closing = true;
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    if (single && *single == window)
        *single = nullptr;
}

} // namespace BusyWindow
