#pragma once

#include "subeditor.h"

class TVItem;

// The command button viewer: every button of CommandButton.ini and the
// chosen button's ten values.
class FrmCmdBtn : public SubEditor
{
    Q_OBJECT

public:
    static FrmCmdBtn *open(const QString &entry = QString(), bool show = true);
    static FrmCmdBtn *existing();

    FrmCmdBtn();

private:
    void fillEntries() override;
    QList<ViewerRow> rowsFor(const QString &name) override;

    TVItem *m_loader;
};
