#pragma once

#include <QFont>

#include <functional>
#include <optional>

class QWidget;

// The font dialog step that the options window and the manual editor share.
namespace FontDialog {

// Asks for a font, starting from Times New Roman, 10 points, regular. The
// chosen size is kept within 10 to 72 points. Empty when the user cancels,
// so that a cancelled dialog changes nothing.
std::optional<QFont> ShowFontDialog(QWidget *parent);

// Only weight 700 counts as bold: semi-bold (600) and extra-bold (800) do not.
bool IsBold(int Weight);

// Tests answer the dialog through a hook, given the initial font.
using Hook = std::function<std::optional<QFont>(const QFont &initial)>;
void setHook(Hook hook);

} // namespace FontDialog
