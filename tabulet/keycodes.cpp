#include "keycodes.h"

#include <iterator>

namespace {

struct KeyPair
{
    int qtKey;
    short keyCode;
};

// Letters and digits share their codes with Qt and are not listed; where two
// Qt keys give one code, the first is the one a changed code turns back into.
constexpr KeyPair keyTable[] = {
    {Qt::Key_Backspace, 8},    {Qt::Key_Tab, 9},          {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},       {Qt::Key_Return, 13},      {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},       {Qt::Key_Control, 17},     {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},       {Qt::Key_CapsLock, 20},    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},       {Qt::Key_PageUp, 33},      {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},         {Qt::Key_Home, 36},        {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},          {Qt::Key_Right, 39},       {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},       {Qt::Key_Insert, 45},      {Qt::Key_Delete, 46},
    {Qt::Key_Help, 47},        {Qt::Key_Meta, 91},        {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},    {Qt::Key_ScrollLock, 145}, {Qt::Key_Semicolon, 186},
    {Qt::Key_Equal, 187},      {Qt::Key_Comma, 188},      {Qt::Key_Minus, 189},
    {Qt::Key_Period, 190},     {Qt::Key_Slash, 191},      {Qt::Key_QuoteLeft, 192},
    {Qt::Key_BracketLeft, 219}, {Qt::Key_Backslash, 220}, {Qt::Key_BracketRight, 221},
    {Qt::Key_Apostrophe, 222},
};

// The number pad has codes of its own: digits from 96, then * + (separator) - . /
constexpr int keypadOperators[] = {Qt::Key_Asterisk, Qt::Key_Plus, Qt::Key_unknown,
                                   Qt::Key_Minus, Qt::Key_Period, Qt::Key_Slash};
constexpr short keypadDigitBase = 96;
constexpr short keypadOperatorBase = 106;
constexpr short functionKeyBase = 112; // F1
constexpr int functionKeyCount = 24;

}

namespace KeyCodes {

short fromQtKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return short(keypadDigitBase + (key - Qt::Key_0));
        for (int i = 0; i < int(std::size(keypadOperators)); ++i) {
            if (keypadOperators[i] == key && key != Qt::Key_unknown)
                return short(keypadOperatorBase + i);
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return short(key);
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + functionKeyCount)
        return short(functionKeyBase + (key - Qt::Key_F1));
    for (const KeyPair &pair : keyTable) {
        if (pair.qtKey == key)
            return pair.keyCode;
    }
    return 0;
}

int toQtKey(short keyCode)
{
    if ((keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9'))
        return keyCode;
    if (keyCode >= keypadDigitBase && keyCode < keypadDigitBase + 10)
        return Qt::Key_0 + (keyCode - keypadDigitBase);
    if (keyCode >= keypadOperatorBase && keyCode < keypadOperatorBase + short(std::size(keypadOperators)))
        return keypadOperators[keyCode - keypadOperatorBase];
    if (keyCode >= functionKeyBase && keyCode < functionKeyBase + functionKeyCount)
        return Qt::Key_F1 + (keyCode - functionKeyBase);
    for (const KeyPair &pair : keyTable) {
        if (pair.keyCode == keyCode)
            return pair.qtKey;
    }
    return Qt::Key_unknown;
}

short shiftMask(Qt::KeyboardModifiers modifiers)
{
    short mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= 1;
    if (modifiers & Qt::ControlModifier)
        mask |= 2;
    if (modifiers & Qt::AltModifier)
        mask |= 4;
    return mask;
}

Qt::KeyboardModifiers modifiers(short shiftMask)
{
    Qt::KeyboardModifiers result;
    if (shiftMask & 1)
        result |= Qt::ShiftModifier;
    if (shiftMask & 2)
        result |= Qt::ControlModifier;
    if (shiftMask & 4)
        result |= Qt::AltModifier;
    return result;
}

short buttonMask(Qt::MouseButtons buttons)
{
    short mask = 0;
    if (buttons & Qt::LeftButton)
        mask |= 1;
    if (buttons & Qt::RightButton)
        mask |= 2;
    if (buttons & Qt::MiddleButton)
        mask |= 4;
    return mask;
}

}
