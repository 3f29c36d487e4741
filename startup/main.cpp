#include "frmsplash.h"

#include "engine/busyhook.h"
#include "mainwindow/frmedit.h"
#include "manualedit/settingsstore.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Torvane Zarnith"));
    QApplication::setApplicationVersion(QStringLiteral(ZARNITH_VERSION));

    Settings::seedTreeFont(QApplication::font().family(), QApplication::font().pointSize());
    BusyHook::install([](bool busy) {
        if (FrmEdit *main = FrmEdit::existing()) {
            if (busy)
                main->setCursor(Qt::WaitCursor);
            else
                main->unsetCursor();
        }
    });

    const QStringList arguments = QApplication::arguments().mid(1);
    const bool reinstall = frmSplash::isReinstall(arguments);
    const qsizetype select = arguments.indexOf(QStringLiteral("--select"));
    if (select >= 0 && select + 1 < arguments.size())
        frmSplash::setInitialObject(arguments[select + 1]);
    QTimer::singleShot(0, [reinstall] { (new frmSplash(reinstall))->Form_Load(); });
    // The last window to close does not end the program: only its exit paths do.
    QApplication::setQuitOnLastWindowClosed(false);
    return QApplication::exec();
}
