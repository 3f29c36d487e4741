#include "frmcheckdata.h"

#include "engine/globals.h"
#include "platform/windowplacement.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QPointer<FrmCheckData> g_window;
}

FrmCheckData *FrmCheckData::open()
{
    if (!g_window)
        g_window = new FrmCheckData;
    g_window->show();
    g_window->raise();
    g_window->runCheck();
    return g_window;
}

FrmCheckData::FrmCheckData(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FrmCheckData"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Check Data - Torvane Zarnith"));
    resize(820, 420);
    auto *layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("LblSummary"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("LstProblems"));
    m_list->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Line"), QStringLiteral("Kind"), QStringLiteral("Problem")});
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->header()->setStretchLastSection(true);
    auto *again = new QPushButton(QStringLiteral("Check Again"), this);
    again->setObjectName(QStringLiteral("BtnCheckAgain"));
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    layout->addWidget(again, 0, Qt::AlignRight);
    connect(again, &QPushButton::clicked, this, &FrmCheckData::runCheck);
    connect(m_list, &QTreeWidget::itemActivated, this, &FrmCheckData::onActivated);
    WindowPlacement::LoadWindowPos(this);
}

void FrmCheckData::runCheck()
{
    if (m_checking || m_closing)
        return;
    m_checking = true;
    setCursor(Qt::WaitCursor);
    const QList<DataProblem> problems = DataCheck::check(GamePath, [this] { return m_closing; });
    m_checking = false;
    // Closed while the check gave the event loop turns: the window waited for it.
    if (m_closing) {
        deleteLater();
        return;
    }
    m_list->clear();
    for (const DataProblem &p : problems) {
        auto *item = new QTreeWidgetItem(m_list, {p.file, QString::number(p.line), p.kind, p.message});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int c = 0; c < 3; ++c)
        m_list->resizeColumnToContents(c);
    m_summary->setText(problems.isEmpty() ? QStringLiteral("No problems found: every name refers to a block that exists.")
                                          : QStringLiteral("%1 problems found. Double-click one to open its file at that line.")
                                                .arg(problems.size()));
    unsetCursor();
}

void FrmCheckData::onActivated(QTreeWidgetItem *item)
{
    QString file = item->text(0);
    const bool object = file.startsWith(QLatin1String("Object\\"));
    if (object)
        file = file.mid(7);
    emit openRequested(object ? 1 : 0, file, item->text(1).toInt());
}

void FrmCheckData::closeEvent(QCloseEvent *event)
{
    WindowPlacement::SaveWindowPos(this);
    // A check under way still runs on this window: it stops at its next line
    // and deletes the window then.
    if (m_checking) {
        m_closing = true;
        setAttribute(Qt::WA_DeleteOnClose, false);
    }
    event->accept();
}
