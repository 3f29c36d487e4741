#pragma once

#include "subeditor.h"

class TVItem;

// The armour viewer: every armour of Armor.ini and, for the chosen one, a
// row per damage type with its percentage. "Test" opens "Insert Parameter",
// which adds damage-type rows to the list.
class FrmArmour : public SubEditor
{
    Q_OBJECT

public:
    static FrmArmour *open(const QString &entry = QString(), bool show = true);
    static FrmArmour *existing();

    FrmArmour();

    // Appends a row labelled with the damage type and without a value cell;
    // false while the list is being filled.
    bool appendDamageTypeRow(const QString &type);

private:
    void fillEntries() override;
    bool selectsFirstRow() const override;
    QList<ViewerRow> rowsFor(const QString &name) override;

    TVItem *m_loader;
};
