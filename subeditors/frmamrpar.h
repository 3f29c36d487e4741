#pragma once

#include <QWidget>

class TabuletProxy;

// "Insert Parameter": the damage types an armour line can name, one of which
// "Add" or "OK" appends as a row to the armour viewer's value list. Nothing
// is written to Armor.ini; the row is gone at the viewer's next selection.
class FrmAmrPar : public QWidget
{
    Q_OBJECT

public:
    // The single window, created on first use and shown.
    static FrmAmrPar *open();
    static FrmAmrPar *existing();

    FrmAmrPar();
    ~FrmAmrPar() override;

    TabuletProxy &list() const { return *m_list; }

private:
    // Appends the selected damage type to the armour viewer; false when no
    // type is selected or no armour viewer is open.
    bool addSelected();
    void onAdd();
    void onOk();

    TabuletProxy *m_list = nullptr;
};
