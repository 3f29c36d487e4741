#pragma once

class QAbstractButton;
class QWidget;

// The keys every small window answers to, as dialogs do: Escape closes the
// window; Enter presses its default button, unless the focus is in a list or
// a text area that uses Enter itself. Keys that a control inside handles
// (Escape closing a drop-down, Enter in a list) never reach the window.
namespace WindowKeys {

void install(QWidget *window, QAbstractButton *defaultButton = nullptr);

// Ctrl+W closes the window too (the help window, as a browser's tab would).
void closeOnCtrlW(QWidget *window);

} // namespace WindowKeys
