#include "programwindows.h"

#include "frmsplash.h"

#include "mainwindow/frmabout.h"
#include "mainwindow/frmcheckdata.h"
#include "mainwindow/frmedit.h"
#include "manualedit/frmmanedit.h"
#include "manualedit/frmopt.h"
#include "subeditors/frmarmour.h"
#include "subeditors/frmcmdbtn.h"
#include "subeditors/frmcmdset.h"
#include "subeditors/frmwe.h"
#include "platform/windowkeys.h"
#include "wholedata/frmcompare.h"
#include "wholedata/frmfindinfiles.h"
#include "wholedata/frmmatchups.h"
#include "wholedata/frmrefs.h"
#include "wholedata/tableexport.h"
#include "wizard/frmwizard.h"

#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {
QPointer<frmWizard> g_wizard;
}

namespace ProgramWindows {

frmWizard *wizard()
{
    return g_wizard;
}

void showWizard()
{
    if (!g_wizard) {
        g_wizard = new frmWizard;
        QObject::connect(g_wizard, &frmWizard::finishRequested, [] {
            // Start-up runs again once the wizard's own click has returned.
            QTimer::singleShot(0, [] { (new frmSplash(false))->Form_Load(); });
        });
    }
    g_wizard->show();
    g_wizard->raise();
}

void connectMainWindow(FrmEdit *main)
{
    // Start-up runs again after the wizard, with the same main window.
    if (main->property("windowsConnected").toBool())
        return;
    main->setProperty("windowsConnected", true);
    QObject::connect(main, &FrmEdit::showWindowRequested, main,
                     [](const QString &name, const QString &entry, bool show) { showWindow(name, entry, show); });
    QObject::connect(main, &FrmEdit::manualEditRequested, main,
                     [](int blockFlag, int folderKind, const QString &fileName, const QString &text) {
                         openManualEditor(blockFlag, folderKind, fileName, text);
                     });
    main->setExitCheck([] { return FrmManEdit::closeForExit(); });
}

void showWindow(const QString &name, const QString &entry, bool show)
{
    if (name == QLatin1String("FrmWE"))
        FrmWE::open(entry, show);
    else if (name == QLatin1String("FrmArmour"))
        FrmArmour::open(entry, show);
    else if (name == QLatin1String("FrmCmdBtn"))
        FrmCmdBtn::open(entry, show);
    else if (name == QLatin1String("FrmCmdSet"))
        FrmCmdSet::open(entry, show);
    else if (name == QLatin1String("About"))
        frmAbout::open();
    else if (name == QLatin1String("FrmCheckData")) {
        FrmCheckData *check = FrmCheckData::open();
        if (!check->property("wired").toBool()) {
            check->setProperty("wired", true);
            // Queued: the editor's loading turns the event loop, which must
            // not happen inside the list's own handling of the click. The
            // check counts lines the game's way.
            QObject::connect(
                check, &FrmCheckData::openRequested, check,
                [](int kind, const QString &file, int line) { FrmManEdit::instance()->OpenFileAtGameLine(kind, file, line); },
                Qt::QueuedConnection);
        }
    }
    else if (name == QLatin1String("FrmRefs") || name == QLatin1String("FrmCompare")) {
        QWidget *window;
        if (name == QLatin1String("FrmRefs"))
            window = FrmRefs::open(entry);
        else
            window = FrmCompare::open();
        if (window && !window->property("wired").toBool()) {
            window->setProperty("wired", true);
            // Queued, as for the data check. The index counts lines the
            // game's way; the stock comparison counts a lone LF as a line end,
            // as the editor does.
            if (auto *refs = qobject_cast<FrmRefs *>(window)) {
                QObject::connect(
                    refs, &FrmRefs::openRequested, refs,
                    [](int kind, const QString &file, int line) {
                        FrmManEdit::instance()->OpenFileAtGameLine(kind, file, line);
                    },
                    Qt::QueuedConnection);
            } else if (auto *compare = qobject_cast<FrmCompare *>(window)) {
                QObject::connect(
                    compare, &FrmCompare::openRequested, compare,
                    [](int kind, const QString &file, int line) { FrmManEdit::instance()->OpenFileAt(kind, file, line); },
                    Qt::QueuedConnection);
            }
        }
    }
    else if (name == QLatin1String("FrmFindInFiles"))
        FrmFindInFiles::open();
    else if (name == QLatin1String("FrmMatchups")) {
        if (show)
            FrmMatchups::open(entry);
        else if (FrmMatchups *matchups = FrmMatchups::existing())
            matchups->choose(entry);
    }
    else if (name == QLatin1String("ExportObjects"))
        TableExport::exportKind(FrmEdit::existing(), QStringLiteral("objects"));
    else if (name == QLatin1String("FrmOpt")) {
        FrmOpt *options = FrmOpt::open();
        if (!options->property("wired").toBool()) {
            options->setProperty("wired", true);
            WindowKeys::install(options, options->findChild<QPushButton *>(QStringLiteral("BtnOK")));
            QObject::connect(options, &FrmOpt::applied, options, [] {
                if (FrmEdit *main = FrmEdit::existing()) {
                    main->applyTreeFont();
                    main->showStoredTab();
                }
            });
        }
    }
}

void openManualEditor(int blockFlag, int folderKind, const QString &fileName, const QString &text)
{
    FrmManEdit *editor = FrmManEdit::instance();
    if (blockFlag == 0)
        editor->OpenFile(folderKind, fileName);
    else
        editor->OpenBlock(text);
}

} // namespace ProgramWindows
