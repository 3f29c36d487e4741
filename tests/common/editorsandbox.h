#pragma once

#include "hooks.h"
#include "testgame.h"

#include "engine/globals.h"
#include "manualedit/backups.h"
#include "manualedit/frmmanedit.h"
#include "manualedit/recoveryfile.h"
#include "manualedit/settingsstore.h"

#include <QLabel>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>

// What the manual editor's window tests share: for each test a new game
// folder whose Weapon.ini holds the text given, new per-user folders
// (settings, backups, recovery files), and the user's answers hooked. The
// editor window goes with the sandbox.
struct EditorSandbox
{
    QTemporaryDir user;
    TestGame game;
    UserHooks answers;
    const QString weapon = QStringLiteral("Data/INI/Weapon.ini");

    explicit EditorSandbox(const QByteArray &weaponText)
    {
        SettingsStore::redirectTo(user.path());
        Backups::redirectTo(user.filePath(QStringLiteral("backups")));
        RecoveryFile::redirectTo(user.filePath(QStringLiteral("recovery")));
        GamePath = game.path();
        answers.install();
        game.write(weapon, weaponText);
    }
    ~EditorSandbox()
    {
        delete FrmManEdit::existing();
        Messages::setHook({});
        ProgramExit::setHook({});
    }

    QString weaponPath() const { return game.path() + QLatin1Char('/') + weapon; }
    QByteArray weaponOnDisk() const { return game.read(weapon); }
    static FrmManEdit *editor() { return FrmManEdit::instance(); }
    static QsciScintilla *text() { return editor()->textControl(); }
    // The status bar's note on the last command.
    static QString note() { return editor()->findChild<QLabel *>(QStringLiteral("SB1_7"))->text(); }
};
