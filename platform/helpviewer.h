#pragma once

#include <QString>

// The program's user guide, shown in a small help window. Contexts are the
// numbers the windows ask for: 0 the contents, 62 the missing stock files,
// 1010 to 1040 the steps of the setup wizard.
namespace HelpViewer {

void showContents();
void showContext(int context);

// The guide's file in the program folder.
QString guidePath();

} // namespace HelpViewer
