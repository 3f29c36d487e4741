#include "helpviewer.h"

#include "platform/shell.h"
#include "platform/windowkeys.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace {

QPointer<QTextBrowser> g_window;

void open(const QString &anchor)
{
    if (!g_window) {
        g_window = new QTextBrowser;
        g_window->setObjectName(QStringLiteral("HelpViewer"));
        g_window->setAttribute(Qt::WA_DeleteOnClose);
        g_window->setWindowTitle(QStringLiteral("Torvane Zarnith Help"));
        g_window->setOpenExternalLinks(true);
        g_window->resize(720, 560);
        WindowKeys::install(g_window);
        WindowKeys::closeOnCtrlW(g_window);
    }
    const QString guide = HelpViewer::guidePath();
    if (QFileInfo::exists(guide)) {
        QUrl url = QUrl::fromLocalFile(guide);
        if (!anchor.isEmpty())
            url.setFragment(anchor);
        g_window->setSource(url);
    } else {
        g_window->setPlainText(QStringLiteral("The user guide %1 is missing.").arg(guide));
    }
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
}

} // namespace

namespace HelpViewer {

QString guidePath()
{
    return Shell::programFolder() + QStringLiteral("/help/index.html");
}

void showContents()
{
    open(QString());
}

void showContext(int context)
{
    open(context <= 0 ? QString() : QStringLiteral("ctx%1").arg(context));
}

} // namespace HelpViewer
