#include "frmfindinfiles.h"

#include "engine/datagrep.h"
#include "engine/globals.h"
#include "manualedit/frmmanedit.h"
#include "manualedit/manualedittarget.h"
#include "platform/busywindow.h"
#include "platform/windowplacement.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPointer<FrmFindInFiles> g_window;

// Rows go into the list in batches: one at a time, a long list would cost
// more to fill than to find.
constexpr qint64 kFlushMs = 100;

} // namespace

FrmFindInFiles *FrmFindInFiles::open(const QString &text)
{
    if (!g_window) {
        g_window = new FrmFindInFiles;
        // Queued: the editor's loading turns the event loop, which must not
        // happen inside the list's own handling of the double-click.
        connect(
            g_window, &FrmFindInFiles::openRequested, g_window,
            [](int kind, const QString &file, int line) { FrmManEdit::instance()->OpenFileAtGameLine(kind, file, line); },
            Qt::QueuedConnection);
    }
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    if (!text.isEmpty())
        g_window->search(text, false);
    return g_window;
}

FrmFindInFiles::FrmFindInFiles(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FrmFindInFiles"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Find in Files - Torvane Zarnith"));
    resize(820, 460);
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("TxtFind"));
    m_text->setPlaceholderText(QStringLiteral("Text to find in every data file"));
    m_regex = new QCheckBox(QStringLiteral("&Regular expression"), this);
    m_regex->setObjectName(QStringLiteral("ChkRegex"));
    m_find = new QPushButton(QStringLiteral("Find"), this);
    m_find->setObjectName(QStringLiteral("BtnFind"));
    m_find->setDefault(true);
    row->addWidget(m_text, 1);
    row->addWidget(m_regex);
    row->addWidget(m_find);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("PrgSearch"));
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);
    m_progress->hide();
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("LblSummary"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("LstResults"));
    m_list->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Line"), QStringLiteral("Text")});
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->setUniformRowHeights(true);
    layout->addLayout(row);
    layout->addWidget(m_progress);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    connect(m_find, &QPushButton::clicked, this, [this] {
        if (m_busy)
            m_stop = true;
        else
            search(m_text->text(), m_regex->isChecked());
    });
    connect(m_text, &QLineEdit::returnPressed, this, [this] {
        if (!m_busy)
            search(m_text->text(), m_regex->isChecked());
    });
    connect(m_list, &QTreeWidget::itemActivated, this, &FrmFindInFiles::onActivated);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    WindowPlacement::LoadWindowPos(this);
}

void FrmFindInFiles::flush(QList<QTreeWidgetItem *> &pending)
{
    m_list->addTopLevelItems(pending);
    pending.clear();
    m_summary->setText(QStringLiteral("Searching... %1 line(s) so far").arg(m_list->topLevelItemCount()));
}

void FrmFindInFiles::search(const QString &text, bool regex)
{
    if (m_busy || m_closing)
        return;
    m_text->setText(text);
    m_regex->setChecked(regex);
    m_list->clear();
    QString error;
    const std::optional<DataGrep::Matcher> matcher = DataGrep::Matcher::make(text, regex, &error);
    if (!matcher) {
        m_summary->setText(error.left(1).toUpper() + error.mid(1) + QLatin1Char('.'));
        return;
    }
    m_busy = true;
    m_stop = false;
    m_find->setText(QStringLiteral("Stop"));
    m_progress->show();
    m_summary->setText(QStringLiteral("Searching..."));
    QList<QTreeWidgetItem *> pending;
    QElapsedTimer sinceFlush;
    sinceFlush.start();
    int rows = 0;
    const bool complete = DataGrep::search(
        GamePath, *matcher,
        [&](const DataGrep::Hit &hit) {
            auto *item = new QTreeWidgetItem({hit.file, QString::number(hit.line), hit.text});
            item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            pending.append(item);
            m_stop = m_stop || ++rows >= kMaxRows;
            if (sinceFlush.elapsed() >= kFlushMs && !m_closing) {
                flush(pending);
                sinceFlush.start();
            }
        },
        [this] { return m_closing || m_stop; });
    m_busy = false;
    // Closed while the search gave the event loop turns: the window waited for it.
    if (m_closing) {
        qDeleteAll(pending);
        deleteLater();
        return;
    }
    flush(pending);
    m_find->setText(QStringLiteral("Find"));
    m_progress->hide();
    m_list->resizeColumnToContents(0);
    m_list->resizeColumnToContents(1);
    const int count = m_list->topLevelItemCount();
    if (rows >= kMaxRows)
        m_summary->setText(QStringLiteral("Stopped after the first %1 lines. Narrow the search to see the rest.").arg(count));
    else if (!complete)
        m_summary->setText(QStringLiteral("Stopped: %1 line(s) found before.").arg(count));
    else if (count == 0)
        m_summary->setText((regex ? QStringLiteral("No line of the data files matches %1.") : QStringLiteral("No line of the data files contains %1.")).arg(text));
    else
        m_summary->setText(QStringLiteral("%1 line(s). Double-click a row to open it.").arg(count));
    if (count > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

void FrmFindInFiles::onActivated(QTreeWidgetItem *item)
{
    const DataFile file = SplitDataFile(item->text(0));
    emit openRequested(file.FolderKind, file.FileName, item->text(1).toInt());
}

void FrmFindInFiles::closeEvent(QCloseEvent *event)
{
    WindowPlacement::SaveWindowPos(this);
    // A search under way runs on this window: it stops at its next line and
    // deletes the window then.
    BusyWindow::closing(this, m_busy, m_closing, &g_window);
    event->accept();
}
