#include "frmrefs.h"

#include "engine/dataindex.h"
#include "engine/globals.h"
#include "manualedit/manualedittarget.h"
#include "platform/busywindow.h"
#include "platform/windowplacement.h"

#include <QCloseEvent>
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
QPointer<FrmRefs> g_window;
}

FrmRefs *FrmRefs::open(const QString &name)
{
    if (!g_window)
        g_window = new FrmRefs;
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    if (!name.isEmpty())
        g_window->lookUp(name);
    return g_window;
}

FrmRefs::FrmRefs(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FrmRefs"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Find References - Torvane Zarnith"));
    resize(760, 420);
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("TxtName"));
    m_name->setPlaceholderText(QStringLiteral("Name of an object, weapon, armour, locomotor, button or set"));
    auto *find = new QPushButton(QStringLiteral("Find"), this);
    find->setObjectName(QStringLiteral("BtnFind"));
    find->setDefault(true);
    row->addWidget(m_name, 1);
    row->addWidget(find);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("PrgIndex"));
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);
    m_progress->hide();
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("LblSummary"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("LstRefs"));
    m_list->setHeaderLabels({QStringLiteral("Role"), QStringLiteral("Kind"), QStringLiteral("Name"),
                             QStringLiteral("File"), QStringLiteral("Line")});
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->header()->setStretchLastSection(false);
    layout->addLayout(row);
    layout->addWidget(m_progress);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    connect(find, &QPushButton::clicked, this, [this] { lookUp(m_name->text().trimmed()); });
    connect(m_name, &QLineEdit::returnPressed, this, [this] { lookUp(m_name->text().trimmed()); });
    connect(m_list, &QTreeWidget::itemActivated, this, &FrmRefs::onActivated);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    WindowPlacement::LoadWindowPos(this);
}

void FrmRefs::lookUp(const QString &name)
{
    if (m_busy || m_closing || name.isEmpty())
        return;
    m_busy = true;
    m_name->setText(name);
    m_list->clear();
    m_summary->setText(QStringLiteral("Reading the data files..."));
    m_progress->show();
    DataIndex index;
    index.build(GamePath, [this] { return m_closing; });
    m_busy = false;
    // Closed while the index gave the event loop turns: the window waited for it.
    if (m_closing) {
        deleteLater();
        return;
    }
    m_progress->hide();
    const QList<IndexHit> defined = index.definitions(name);
    const QList<IndexHit> used = index.references(name);
    for (const auto &[hits, role] : {std::pair(&defined, "defined"), std::pair(&used, "used")}) {
        for (const IndexHit &hit : *hits) {
            auto *item = new QTreeWidgetItem(
                m_list, {QLatin1String(role), hit.kind, hit.name, hit.file, QString::number(hit.line)});
            item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    for (int c = 0; c < 5; ++c)
        m_list->resizeColumnToContents(c);
    if (!index.hasData())
        m_summary->setText(QStringLiteral("The game folder holds no data files."));
    else if (defined.isEmpty() && used.isEmpty())
        m_summary->setText(QStringLiteral("No block defines or uses %1.").arg(name));
    else
        m_summary->setText(QStringLiteral("%1: %2 definition(s), %3 use(s). Double-click a row to open it.")
                               .arg(name)
                               .arg(defined.size())
                               .arg(used.size()));
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

void FrmRefs::onActivated(QTreeWidgetItem *item)
{
    const DataFile file = SplitDataFile(item->text(3));
    emit openRequested(file.FolderKind, file.FileName, item->text(4).toInt());
}

void FrmRefs::closeEvent(QCloseEvent *event)
{
    WindowPlacement::SaveWindowPos(this);
    // An index still being built runs on this window: it stops at its next
    // line and deletes the window then.
    BusyWindow::closing(this, m_busy, m_closing, &g_window);
    event->accept();
}
