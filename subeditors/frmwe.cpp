#include "frmwe.h"

#include "mainwindow/frmedit.h"

#include <QComboBox>

namespace {
QPointer<FrmWE> g_instance;
}

FrmWE *FrmWE::open(const QString &entry, bool show)
{
    return openWindow(g_instance, entry, show);
}

FrmWE *FrmWE::existing()
{
    return g_instance && !g_instance->isClosing() ? g_instance.data() : nullptr;
}

FrmWE::FrmWE()
    : SubEditor({"FrmWE", QStringLiteral("Weapon Editor"), QSize(13545, 8415), QStringLiteral("Name"), 4440,
                 QStringLiteral("Value"), 5440, QStringLiteral("Weapon"), QStringLiteral("Weapon.ini"),
                 QStringLiteral("Edit Weapon in Manual Editor")})
{
}

void FrmWE::fillEntries()
{
    // The main window's list decides which weapons appear; Weapon.ini is not read here.
    const FrmEdit *main = FrmEdit::existing();
    const QComboBox *weapons = main ? main->findChild<QComboBox *>(QStringLiteral("PWeapon")) : nullptr;
    if (!weapons)
        return;
    for (int i = 0; i < weapons->count(); ++i)
        addEntry(weapons->itemText(i), QStringLiteral("Key%1").arg(i));
}

QList<ViewerRow> FrmWE::rowsFor(const QString &name)
{
    return ViewerRows::GetWeaponData(parser(), name).rows;
}
