#include "engine/globals.h"
#include "manualedit/backups.h"
#include "manualedit/frmmanedit.h"
#include "manualedit/recovery.h"
#include "manualedit/settingsstore.h"
#include "platform/messages.h"

#include <QApplication>
#include <QTest>
#include <Qsci/qsciscintilla.h>

#include <cstdio>

// A run of the program that the recovery test kills: it opens Weapon.ini of
// the game folder given, types the text given at its start, says "written"
// once the recovery file is on disk, and then waits to be killed.
// Arguments: game folder, settings folder, recovery folder, text to type.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    GamePath = args[1];
    SettingsStore::redirectTo(args[2]);
    Backups::redirectTo(args[2] + QStringLiteral("/backups"));
    RecoveryFile::redirectTo(args[3]);
    Messages::setHook([](const Messages::Message &) { return QMessageBox::Cancel; });
    RecoveryWriter::setDelay(50);

    FrmManEdit *editor = FrmManEdit::instance();
    if (!editor->OpenFile(0, QStringLiteral("Weapon.ini")))
        return 1;
    QObject::connect(editor->recovery(), &RecoveryWriter::written, [] {
        std::printf("written\n");
        std::fflush(stdout);
    });
    editor->textControl()->setCursorPosition(0, 0);
    QTest::keyClicks(editor->textControl(), args[4]);
    return app.exec();
}
