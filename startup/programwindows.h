#pragma once

#include <QString>

class FrmEdit;
class frmWizard;

// The single-instance windows of the program and how they reach each other:
// each is created on first use and deleted when closed, so the next use
// builds it afresh.
namespace ProgramWindows {

// The wizard while it exists.
frmWizard *wizard();
// Creates and shows the wizard; its Finish runs start-up again.
void showWizard();

// Wires the main window's requests to the windows that serve them.
void connectMainWindow(FrmEdit *main);

// Puts a whole data file (blockFlag 0; folderKind 0 the data folder, 1 the
// object folder) or a read-only block of text (blockFlag 1, text given) into
// the manual editor and shows it.
void openManualEditor(int blockFlag, int folderKind, const QString &fileName, const QString &text = QString());

// Opens a window by its name ("FrmOpt", "FrmWE", ...), selecting entry in a viewer's list.
void showWindow(const QString &name, const QString &entry, bool show);

} // namespace ProgramWindows
