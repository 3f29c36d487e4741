#include "frmbackups.h"

#include "manualedit/backups.h"
#include "manualedit/frmmanedit.h"
#include "manualedit/textdiffview.h"
#include "platform/codepage.h"
#include "platform/windowplacement.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPointer<FrmBackups> g_window;

constexpr int kPathRole = Qt::UserRole;

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

FrmBackups *FrmBackups::open(FrmManEdit *editor)
{
    if (!g_window)
        g_window = new FrmBackups(editor);
    g_window->m_editor = editor;
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    g_window->fill();
    return g_window;
}

FrmBackups::FrmBackups(FrmManEdit *editor)
    : QWidget(editor, Qt::Window)
    , m_editor(editor)
{
    setObjectName(QStringLiteral("FrmBackups"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(960, 560);
    auto *layout = new QVBoxLayout(this);
    auto *caption = new QLabel(QStringLiteral("&Backups, newest first:"), this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("LstBackups"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Kept"), QStringLiteral("Size"), QStringLiteral("Changed blocks")});
    m_list->header()->setStretchLastSection(true);
    caption->setBuddy(m_list);
    m_diff = new TextDiffView(this);
    m_diff->setCaptions(QStringLiteral("Backup"), QStringLiteral("In the editor"));
    auto *listSide = new QWidget(this);
    auto *listLayout = new QVBoxLayout(listSide);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(caption);
    listLayout->addWidget(m_list);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(listSide);
    split->addWidget(m_diff);
    split->setStretchFactor(1, 3);
    m_restore = new QPushButton(QStringLiteral("&Restore into Editor"), this);
    m_restore->setObjectName(QStringLiteral("BtnRestore"));
    m_restore->setEnabled(false);
    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("BtnClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_restore);
    buttons->addWidget(close);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    setTabOrder(m_list, m_diff);
    setTabOrder(m_diff, m_restore);
    setTabOrder(m_restore, close);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &FrmBackups::showChosen);
    connect(m_restore, &QPushButton::clicked, this, &FrmBackups::restore);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

void FrmBackups::fill()
{
    m_list->clear();
    m_diff->clear();
    const QString series = m_editor ? m_editor->backupSeries() : QString();
    const QString name = series.isEmpty() ? QString() : QFileInfo(series).fileName();
    setWindowTitle(QStringLiteral("Backups of %1 - Torvane Zarnith").arg(name.isEmpty() ? QStringLiteral("a block") : name));
    const QByteArray current = m_editor ? m_editor->fileBytes() : QByteArray();
    for (const QString &copy : Backups::list(series)) {
        const QByteArray bytes = readAll(copy);
        const QDateTime kept = Backups::keptAt(copy);
        const int changed = int(StockDiff::compareFile(current, bytes).blocks.size());
        auto *item = new QTreeWidgetItem(m_list, {QLocale::system().toString(kept, QLocale::ShortFormat),
                                                  QLocale::system().formattedDataSize(bytes.size()),
                                                  QString::number(changed)});
        item->setData(0, kPathRole, copy);
        item->setToolTip(0, QDir::toNativeSeparators(copy));
    }
    for (int c = 0; c < 2; ++c)
        m_list->resizeColumnToContents(c);
    if (QTreeWidgetItem *first = m_list->topLevelItem(0))
        m_list->setCurrentItem(first);
    else
        m_diff->setCaptions(QStringLiteral("No backups of this file yet: each save keeps the version it replaces."),
                            QString());
    m_list->setFocus();
}

QByteArray FrmBackups::chosenBytes() const
{
    const QTreeWidgetItem *item = m_list->currentItem();
    return item ? readAll(item->data(0, kPathRole).toString()) : QByteArray();
}

void FrmBackups::showChosen()
{
    const bool chosen = m_list->currentItem() != nullptr;
    m_restore->setEnabled(chosen && m_editor);
    if (!chosen || !m_editor) {
        m_diff->clear();
        return;
    }
    m_diff->compare(chosenBytes(), m_editor->fileBytes());
}

bool FrmBackups::restore()
{
    if (!m_editor || !m_list->currentItem())
        return false;
    const QByteArray bytes = chosenBytes();
    if (!m_editor->replaceText(CodePage::toUtf8(bytes.constData(), bytes.size())))
        return false;
    m_editor->setNote(QStringLiteral("Restored the backup of %1; Save keeps it, Ctrl+Z takes it back")
                          .arg(m_list->currentItem()->text(0)));
    m_diff->compare(bytes, m_editor->fileBytes());
    return true;
}
