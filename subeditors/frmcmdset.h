#pragma once

#include "subeditor.h"

#include <QStringList>

class TVItem;

// The command set viewer: every set of CommandSet.ini and the chosen set's
// twelve slots, each offering every command button as a choice.
class FrmCmdSet : public SubEditor
{
    Q_OBJECT

public:
    static FrmCmdSet *open(const QString &entry = QString(), bool show = true);
    static FrmCmdSet *existing();

    FrmCmdSet();

    // The command button names read at load, in file order.
    const QStringList &commandButtonNames() const { return m_commandButtonNames; }

private:
    void fillEntries() override;
    QList<ViewerRow> rowsFor(const QString &name) override;

    TVItem *m_setLoader;
    TVItem *m_buttonLoader;
    QStringList m_commandButtonNames;
};
