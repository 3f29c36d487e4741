#pragma once

#include "subeditor.h"

// The weapons viewer: every weapon of the main window's primary-weapon list
// and the chosen weapon's thirteen values from Weapon.ini.
class FrmWE : public SubEditor
{
    Q_OBJECT

public:
    // The single weapons viewer, created and loaded on first use. A given
    // entry's row is selected without showing its values; show false leaves
    // the window as it is.
    static FrmWE *open(const QString &entry = QString(), bool show = true);
    static FrmWE *existing();

    FrmWE();

private:
    void fillEntries() override;
    QList<ViewerRow> rowsFor(const QString &name) override;
};
