#include "frmcmdbtn.h"

#include "engine/globals.h"
#include "engine/tvitem.h"
#include "platform/eventyield.h"

#include <QTableWidget>

namespace {
QPointer<FrmCmdBtn> g_instance;
}

FrmCmdBtn *FrmCmdBtn::open(const QString &entry, bool show)
{
    return openWindow(g_instance, entry, show);
}

FrmCmdBtn *FrmCmdBtn::existing()
{
    return g_instance && !g_instance->isClosing() ? g_instance.data() : nullptr;
}

FrmCmdBtn::FrmCmdBtn()
    : SubEditor({"FrmCmdBtn", QStringLiteral("Command Button Editor"), QSize(12840, 8415), QStringLiteral("Name"),
                 4440, QStringLiteral("Value"), 6440, QStringLiteral("CommandButton"),
                 QStringLiteral("CommandButton.ini"), QStringLiteral("Edit Command Button in Manual Editor")})
    , m_loader(new TVItem(this))
{
    m_loader->setObjectName(QStringLiteral("TVItem1"));
}

void FrmCmdBtn::fillEntries()
{
    m_loader->setLineHandler([this](const QString &Line) {
        EventYield::yield();
        if (const std::optional<QString> name = ViewerRows::listEntryName(Line, u"CommandButton")) {
            const int n = entryList()->rowCount() + 1;
            addEntry(*name, QStringLiteral("Key%1").arg(n));
        }
    });
    m_loader->OpenFile(GamePath + QStringLiteral("\\Data\\INI\\CommandButton.ini"));
    m_loader->setLineHandler({});
}

QList<ViewerRow> FrmCmdBtn::rowsFor(const QString &name)
{
    return ViewerRows::GetCmdBtnData(parser(), name).rows;
}
