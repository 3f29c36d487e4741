#include "windowplacement.h"

#include "manualedit/settingsstore.h"
#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <optional>

namespace {

double dpiOf(const QWidget *window)
{
    const QScreen *screen = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

// A stored value never lies outside 16 bits, so this one stands for "none".
constexpr int kNotStored = 1 << 20;

std::optional<int> readValue(const QString &name, const char *suffix, int current)
{
    bool ok = false;
    const int value = Settings::readWindowValue(name, suffix, QString::number(current)).trimmed().toInt(&ok);
    if (value == kNotStored && current == kNotStored)
        return value;
    if (!ok || value < -32768 || value > 32767)
        return std::nullopt;
    return value;
}

} // namespace

namespace WindowPlacement {

int toTwips(const QWidget *window, int pixels)
{
    return Twips::fromPixels(pixels, dpiOf(window));
}

int toPixels(const QWidget *window, int twips)
{
    return Twips::toPixels(twips, dpiOf(window));
}

void LoadWindowPos(QWidget *window)
{
    const QString name = window->objectName();
    const int state = window->isMaximized() ? 2 : window->isMinimized() ? 1 : 0;
    QSize size = window->size();
    if (auto h = readValue(name, "_Height", toTwips(window, size.height())); h && *h > 0)
        size.setHeight(toPixels(window, *h));
    if (auto w = readValue(name, "_Width", toTwips(window, size.width())); w && *w > 0)
        size.setWidth(toPixels(window, *w));
    window->resize(size);
    // Left and top are the frame's, as they were saved. A window with none
    // stored is left where the window manager puts it, or centred on its owner.
    const QPoint at = window->pos();
    const auto left = readValue(name, "_Left", kNotStored);
    const auto top = readValue(name, "_Top", kNotStored);
    if (left != kNotStored || top != kNotStored) {
        window->move(left && left != kNotStored ? toPixels(window, *left) : at.x(),
                     top && top != kNotStored ? toPixels(window, *top) : at.y());
    } else if (const QWidget *owner = window->parentWidget() ? window->parentWidget()->window() : nullptr) {
        const QRect area = owner->frameGeometry();
        window->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    if (auto s = readValue(name, "WindowState", state)) {
        if (*s == 2)
            window->setWindowState(window->windowState() | Qt::WindowMaximized);
        else if (*s == 1)
            window->setWindowState(window->windowState() | Qt::WindowMinimized);
    }
}

void SaveWindowPos(QWidget *window)
{
    const QString name = window->objectName();
    if (window->isMaximized()) {
        Settings::writeWindowValue(name, "WindowState", QStringLiteral("2"));
        return;
    }
    // The size is the client area's, the position the frame's: what resize()
    // and move() take back.
    const QRect g = window->geometry();
    const QPoint frame = window->pos();
    Settings::writeWindowValue(name, "_Height", QString::number(toTwips(window, g.height())));
    Settings::writeWindowValue(name, "_Width", QString::number(toTwips(window, g.width())));
    Settings::writeWindowValue(name, "_Top", QString::number(toTwips(window, frame.y())));
    Settings::writeWindowValue(name, "_Left", QString::number(toTwips(window, frame.x())));
    Settings::writeWindowValue(name, "WindowState", QString::number(window->isMinimized() ? 1 : 0));
}

} // namespace WindowPlacement
