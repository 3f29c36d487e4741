#pragma once

#include <Qt>

// The list's key and mouse events speak the original platform's numbers:
// virtual key codes (Escape 27, Enter 13, A 65), a Shift mask of 1 Shift,
// 2 Ctrl and 4 Alt, and a button mask of 1 left, 2 right and 4 middle.
namespace KeyCodes {

// 0 for a key the original platform has no code for.
short fromQtKey(int key, Qt::KeyboardModifiers modifiers);
// Qt::Key_unknown for a code with no Qt key.
int toQtKey(short keyCode);

short shiftMask(Qt::KeyboardModifiers modifiers);
Qt::KeyboardModifiers modifiers(short shiftMask);

short buttonMask(Qt::MouseButtons buttons);

}
