#include "fontdialog.h"

#include <QFontDialog>

#include <algorithm>

namespace {
FontDialog::Hook g_hook;
}

namespace FontDialog {

void setHook(Hook hook)
{
    g_hook = std::move(hook);
}

std::optional<QFont> ShowFontDialog(QWidget *parent)
{
    QFont initial(QStringLiteral("Times New Roman"));
    initial.setPointSize(10);
    initial.setWeight(QFont::Normal);

    std::optional<QFont> chosen;
    if (g_hook) {
        chosen = g_hook(initial);
    } else {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, parent);
        if (ok)
            chosen = font;
    }
    if (chosen) {
        // A pixel-sized font has no point size; it gets the smallest one offered.
        const qreal size = chosen->pointSizeF() > 0 ? chosen->pointSizeF() : 10.0;
        chosen->setPointSizeF(std::clamp(size, 10.0, 72.0));
    }
    return chosen;
}

bool IsBold(int Weight)
{
    return Weight == 700;
}

} // namespace FontDialog
