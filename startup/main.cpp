#include "frmsplash.h"

#include "engine/busyhook.h"
#include "mainwindow/frmedit.h"
#include "manualedit/settingsstore.h"
#include "platform/shell.h"

#include <QApplication>
#include <QFileInfo>
#include <QPluginLoader>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// Answers --help and --version without a display.
int printAndExit(int argc, char *argv[], bool help)
{
    QCoreApplication app(argc, argv);
    const QString folder = QCoreApplication::applicationDirPath();
    QString text;
    if (help) {
        text = QStringLiteral("Usage: zarnith [-Reinstall] [--game FOLDER] [--select NAME]\n"
                              "A viewer and raw-text editor for the data files of Torvane.\n\n"
                              "  -Reinstall     run the setup wizard (the whole command line, any letter case)\n"
                              "  --game FOLDER  the game folder to use while none has been set up\n"
                              "  --select NAME  choose the object NAME once the catalogue is read\n"
                              "  --help         print this text\n"
                              "  --version      print the version and where the program's own files are\n");
    } else {
        const auto state = [](const QString &path) {
            return path + (QFileInfo(path).isFile() ? QStringLiteral(" (found)") : QStringLiteral(" (missing)"));
        };
        QPluginLoader plugin(folder + QStringLiteral("/libtabulox.so"));
        const bool loads = plugin.load();
        text = QStringLiteral("Torvane Zarnith %1\n").arg(Shell::versionText())
               + QStringLiteral("Program folder: %1\n").arg(folder)
               + QStringLiteral("Stock table: %1\n").arg(state(folder + QStringLiteral("/Data.DBF")))
               + QStringLiteral("Stock memo file: %1\n").arg(state(folder + QStringLiteral("/Data.DBT")))
               + QStringLiteral("User guide: %1\n").arg(state(folder + QStringLiteral("/help/index.html")))
               + QStringLiteral("List control: %1 (%2)\n")
                     .arg(plugin.fileName(), loads ? QStringLiteral("loads") : plugin.errorString());
    }
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "--version") == 0))
        return printAndExit(argc, argv, std::strcmp(argv[1], "--help") == 0);

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
    const qsizetype game = arguments.indexOf(QStringLiteral("--game"));
    if (game >= 0 && game + 1 < arguments.size())
        frmSplash::setDefaultGameFolder(QFileInfo(arguments[game + 1]).absoluteFilePath());
    QTimer::singleShot(0, [reinstall] { (new frmSplash(reinstall))->Form_Load(); });
    // The last window to close does not end the program: only its exit paths do.
    QApplication::setQuitOnLastWindowClosed(false);
    return QApplication::exec();
}
