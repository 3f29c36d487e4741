#include "gamerun.h"

#include "platform/gamefinder.h"
#include "platform/gamepath.h"
#include "platform/messages.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

namespace GameRun {

void start(QWidget *parent, const QString &gameFolder)
{
    const QString folder = GamePaths::nativePath(gameFolder);
    GameFinder::LaunchPlan plan =
        GameFinder::launchPlan(folder, [](const QString &name) { return QStandardPaths::findExecutable(name); });
    if (!plan.program.isEmpty()) {
        QProcess process;
        process.setProgram(plan.program);
        process.setArguments(plan.arguments);
        process.setWorkingDirectory(plan.workingFolder);
        if (!plan.winePrefix.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("WINEPREFIX"), plan.winePrefix);
            process.setProcessEnvironment(environment);
        }
        if (process.startDetached())
            return;
        plan.tried << QStringLiteral("%1 could not be started: %2").arg(plan.program, process.errorString());
    }
    const QString text = QStringLiteral("Torvane could not be started from %1.\r\n\r\nTried:\r\n- %2\r\n\r\n"
                                        "Start the game from Steam, Lutris or Bottles, or install Wine and run "
                                        "\"wine torvane.exe\" in the game folder.")
                             .arg(QDir::toNativeSeparators(folder), plan.tried.join(QStringLiteral("\r\n- ")));
    Messages::inform(parent, text, QString(), QMessageBox::Warning);
}

} // namespace GameRun
