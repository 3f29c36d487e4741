#include "frmarmour.h"

#include "frmamrpar.h"

#include "engine/globals.h"
#include "engine/sparse.h"
#include "engine/tvitem.h"
#include "mainwindow/frmedit.h"
#include "platform/controlhost.h"
#include "platform/eventyield.h"

#include <QComboBox>
#include <QMenu>
#include <QTableWidget>

namespace {
QPointer<FrmArmour> g_instance;
}

FrmArmour *FrmArmour::open(const QString &entry, bool show)
{
    return openWindow(g_instance, entry, show);
}

FrmArmour *FrmArmour::existing()
{
    return g_instance && !g_instance->isClosing() ? g_instance.data() : nullptr;
}

FrmArmour::FrmArmour()
    : SubEditor({"FrmArmour", QStringLiteral("Armour Editor"), QSize(13545, 8415), QStringLiteral("Name"), 3440,
                 QStringLiteral("Value"), 2440, QStringLiteral("Armor"), QStringLiteral("Armor.ini"),
                 QStringLiteral("Edit Armour in Manual Editor")})
    , m_loader(new TVItem(this))
{
    m_loader->setObjectName(QStringLiteral("TVItem1"));
    QAction *test = fileMenu()->addAction(QStringLiteral("Test"));
    test->setObjectName(QStringLiteral("Test"));
    connect(test, &QAction::triggered, this, [] { FrmAmrPar::open(); });
}

bool FrmArmour::appendDamageTypeRow(const QString &type)
{
    if (isBusy() || !valueList().isValid())
        return false;
    return valueList().AddItem(type, 0);
}

void FrmArmour::fillEntries()
{
    m_loader->setLineHandler([this](const QString &Line) {
        EventYield::yield();
        if (const std::optional<QString> name = ViewerRows::listEntryName(Line, u"Armor")) {
            const int n = entryList()->rowCount() + 1;
            addEntry(*name, QStringLiteral("Key%1").arg(n));
        }
    });
    m_loader->OpenFile(GamePath + QStringLiteral("\\Data\\INI\\Armor.ini"));
    m_loader->setLineHandler({});
}

bool FrmArmour::selectsFirstRow() const
{
    // With an armour chosen on the main window, its row is selected next instead.
    const FrmEdit *main = FrmEdit::existing();
    const QComboBox *armour = main ? main->findChild<QComboBox *>(QStringLiteral("CboArmour")) : nullptr;
    return !armour || armour->currentIndex() < 0;
}

QList<ViewerRow> FrmArmour::rowsFor(const QString &name)
{
    return ViewerRows::GetArmourData(parser(), name).rows;
}
