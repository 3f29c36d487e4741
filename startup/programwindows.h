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

// Opens a window by its name ("FrmOpt", "FrmWE", ...), selecting entry in a viewer's list.
void showWindow(const QString &name, const QString &entry, bool show);

} // namespace ProgramWindows
