#include "frmcheckdata.h"

#include "engine/globals.h"
#include "manualedit/manualedittarget.h"
#include "platform/busywindow.h"
#include "platform/windowkeys.h"
#include "platform/windowplacement.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

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
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("BtnClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(again);
    buttons->addWidget(close);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    connect(again, &QPushButton::clicked, this, &FrmCheckData::runCheck);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    WindowKeys::install(this, close);
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
    // A missing file hides every problem it causes: it comes first.
    QList<DataProblem> ordered = problems;
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const DataProblem &p) { return p.kind == QLatin1String("missing-file"); });
    for (const DataProblem &p : std::as_const(ordered)) {
        auto *item = new QTreeWidgetItem(m_list, {p.file, QString::number(p.line), p.kind, p.message});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        const QString full = QStringLiteral("%1, line %2: %3").arg(p.file).arg(p.line).arg(p.message);
        for (int c = 0; c < 4; ++c)
            item->setToolTip(c, full);
    }
    for (int c = 0; c < 3; ++c)
        m_list->resizeColumnToContents(c);
    m_summary->setText(problems.isEmpty() ? QStringLiteral("No problems found: every name refers to a block that exists.")
                          : problems.size() == 1
                              ? QStringLiteral("1 problem found. Double-click it to open its file at that line.")
                              : QStringLiteral("%1 problems found. Double-click one to open its file at that line.")
                                    .arg(problems.size()));
    unsetCursor();
}

void FrmCheckData::onActivated(QTreeWidgetItem *item)
{
    // The line opened last stays marked, so that the next one is easy to find.
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *other = m_list->topLevelItem(i);
        for (int c = 0; c < 4; ++c) {
            QFont f = other->font(c);
            f.setBold(other == item);
            other->setFont(c, f);
        }
    }
    m_list->setCurrentItem(item);
    const DataFile file = SplitDataFile(item->text(0));
    emit openRequested(file.FolderKind, file.FileName, item->text(1).toInt());
}

void FrmCheckData::closeEvent(QCloseEvent *event)
{
    WindowPlacement::SaveWindowPos(this);
    // A check under way still runs on this window: it stops at its next line
    // and deletes the window then.
    BusyWindow::closing(this, m_checking, m_closing, &g_window);
    event->accept();
}
