#pragma once

class QWidget;

// Window placement memory: section "EditWH", keys named after the window's
// objectName, sizes and positions in twips.
namespace WindowPlacement {

// Reads height, width, left, top and state (each defaulting to the window's
// current value) and applies them in that order. A stored value that is not
// a number or lies outside -32768..32767 is skipped.
void LoadWindowPos(QWidget *window);

// A maximised window stores only its state (2), keeping its last normal
// size and position; any other window stores all five values.
void SaveWindowPos(QWidget *window);

// Twips of the screen the window is on.
int toTwips(const QWidget *window, int pixels);
int toPixels(const QWidget *window, int twips);

} // namespace WindowPlacement
