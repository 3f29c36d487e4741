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

std::optional<int> readValue(const QString &name, const char *suffix, int current)
{
    bool ok = false;
    const int value = Settings::readWindowValue(name, suffix, QString::number(current)).trimmed().toInt(&ok);
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
    const QRect g = window->geometry();
    const int state = window->isMaximized() ? 2 : window->isMinimized() ? 1 : 0;
    QRect placed = g;
    if (auto h = readValue(name, "_Height", toTwips(window, g.height())); h && *h > 0)
        placed.setHeight(toPixels(window, *h));
    if (auto w = readValue(name, "_Width", toTwips(window, g.width())); w && *w > 0)
        placed.setWidth(toPixels(window, *w));
    if (auto l = readValue(name, "_Left", toTwips(window, g.left())))
        placed.moveLeft(toPixels(window, *l));
    if (auto t = readValue(name, "_Top", toTwips(window, g.top())))
        placed.moveTop(toPixels(window, *t));
    window->setGeometry(placed);
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
    const QRect g = window->geometry();
    Settings::writeWindowValue(name, "_Height", QString::number(toTwips(window, g.height())));
    Settings::writeWindowValue(name, "_Width", QString::number(toTwips(window, g.width())));
    Settings::writeWindowValue(name, "_Top", QString::number(toTwips(window, g.top())));
    Settings::writeWindowValue(name, "_Left", QString::number(toTwips(window, g.left())));
    Settings::writeWindowValue(name, "WindowState", QString::number(window->isMinimized() ? 1 : 0));
}

} // namespace WindowPlacement
