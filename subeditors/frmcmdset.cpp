#include "frmcmdset.h"

#include "cmdsetformat.h"

#include "engine/globals.h"
#include "engine/sparse.h"
#include "engine/tvitem.h"
#include "platform/eventyield.h"
#include "platform/helpviewer.h"

#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>

namespace {
QPointer<FrmCmdSet> g_instance;
}

FrmCmdSet *FrmCmdSet::open(const QString &entry, bool show)
{
    return openWindow(g_instance, entry, show);
}

FrmCmdSet *FrmCmdSet::existing()
{
    return g_instance && !g_instance->isClosing() ? g_instance.data() : nullptr;
}

FrmCmdSet::FrmCmdSet()
    : SubEditor({"FrmCmdSet", QStringLiteral("Command Set Editor"), QSize(12840, 8415), QStringLiteral("No."), 750,
                 QStringLiteral("Name"), 6440, QStringLiteral("CommandSet"), QStringLiteral("CommandSet.ini"),
                 QStringLiteral("Edit Command Set in Manual Editor")})
    , m_setLoader(new TVItem(this))
    , m_buttonLoader(new TVItem(this))
{
    m_setLoader->setObjectName(QStringLiteral("TVItem1"));
    m_buttonLoader->setObjectName(QStringLiteral("TVItem2"));

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MnuHelpi"));
    QAction *helpItem = help->addAction(QStringLiteral("Help"));
    helpItem->setObjectName(QStringLiteral("MnuHelp"));
    connect(helpItem, &QAction::triggered, this, [] { HelpViewer::showContents(); });
    QAction *format = help->addAction(QStringLiteral("Show Command Set Format"));
    format->setObjectName(QStringLiteral("MnuCmdFormat"));
    connect(format, &QAction::triggered, this, [] { CmdSetFormat::open(); });
}

void FrmCmdSet::fillEntries()
{
    m_commandButtonNames = ViewerRows::CommandButtonNames(*m_buttonLoader);

    m_setLoader->setLineHandler([this](const QString &Line) {
        EventYield::yield();
        if (const std::optional<QString> name = ViewerRows::listEntryName(Line, u"CommandSet")) {
            const int n = entryList()->rowCount() + 1;
            addEntry(*name, QStringLiteral("Key%1").arg(n));
        }
    });
    m_setLoader->OpenFile(GamePath + QStringLiteral("\\Data\\INI\\CommandSet.ini"));
    m_setLoader->setLineHandler({});
}

QList<ViewerRow> FrmCmdSet::rowsFor(const QString &name)
{
    return ViewerRows::GetCmdSetData(parser(), name, m_commandButtonNames).rows;
}
