#include "frmcompare.h"

#include "engine/globals.h"
#include "manualedit/manualedittarget.h"
#include "manualedit/textdiffview.h"
#include "platform/busywindow.h"
#include "platform/windowplacement.h"
#include "startup/dbctl.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPointer<FrmCompare> g_window;
QString g_stockTable;

constexpr int kFileRole = Qt::UserRole;
constexpr int kBlockRole = Qt::UserRole + 1;

const char *stateText(BlockDiff::State state)
{
    switch (state) {
    case BlockDiff::Added:
        return "added";
    case BlockDiff::Removed:
        return "removed";
    default:
        return "changed";
    }
}


} // namespace

FrmCompare *FrmCompare::open()
{
    if (!g_window)
        g_window = new FrmCompare;
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    g_window->compare();
    return g_window;
}

void FrmCompare::setStockTable(const QString &dbfPath)
{
    g_stockTable = dbfPath;
}

FrmCompare::FrmCompare(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FrmCompare"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Compare with Stock - Torvane Zarnith"));
    resize(980, 560);
    auto *layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("LblSummary"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("PrgCompare"));
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);
    m_progress->hide();
    m_changes = new QTreeWidget(this);
    m_changes->setObjectName(QStringLiteral("LstChanges"));
    m_changes->setHeaderLabels({QStringLiteral("File or block"), QStringLiteral("Change")});
    m_changes->header()->setStretchLastSection(true);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_stock = new QPlainTextEdit(this);
    m_stock->setObjectName(QStringLiteral("TxtStock"));
    m_game = new QPlainTextEdit(this);
    m_game->setObjectName(QStringLiteral("TxtGame"));
    for (QPlainTextEdit *box : {m_stock, m_game}) {
        box->setReadOnly(true);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setFont(fixed);
    }
    auto *texts = new QSplitter(this);
    auto *stockSide = new QWidget(texts);
    auto *stockLayout = new QVBoxLayout(stockSide);
    stockLayout->setContentsMargins(0, 0, 0, 0);
    stockLayout->addWidget(new QLabel(QStringLiteral("Stock"), stockSide));
    stockLayout->addWidget(m_stock);
    auto *gameSide = new QWidget(texts);
    auto *gameLayout = new QVBoxLayout(gameSide);
    gameLayout->setContentsMargins(0, 0, 0, 0);
    gameLayout->addWidget(new QLabel(QStringLiteral("Game"), gameSide));
    gameLayout->addWidget(m_game);
    auto *split = new QSplitter(this);
    split->addWidget(m_changes);
    split->addWidget(texts);
    split->setStretchFactor(1, 2);
    split->setSizes({400, 580});
    m_open = new QPushButton(QStringLiteral("Open in Manual Editor"), this);
    m_open->setObjectName(QStringLiteral("BtnOpenInEditor"));
    m_open->setEnabled(false);
    auto *again = new QPushButton(QStringLiteral("Compare Again"), this);
    again->setObjectName(QStringLiteral("BtnCompareAgain"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(again);
    buttons->addWidget(m_open);
    layout->addWidget(m_summary);
    layout->addWidget(m_progress);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    connect(m_changes, &QTreeWidget::currentItemChanged, this, &FrmCompare::showBlock);
    connect(m_changes, &QTreeWidget::itemActivated, this, &FrmCompare::openInEditor);
    connect(m_open, &QPushButton::clicked, this, &FrmCompare::openInEditor);
    connect(again, &QPushButton::clicked, this, &FrmCompare::compare);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    WindowPlacement::LoadWindowPos(this);
}

void FrmCompare::compare()
{
    if (m_busy || m_closing)
        return;
    const QString dbf = g_stockTable.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/Data.DBF")
                                               : g_stockTable;
    DBCtl table;
    QList<std::optional<QByteArray>> stock;
    QString error;
    const QFileInfo info(dbf);
    if (!table.LoadDatabase(info.path(), info.completeBaseName()) || !StockDiff::stockTexts(table, &stock, &error)) {
        m_summary->setText(QStringLiteral("The stock table %1 cannot be read: %2")
                               .arg(QDir::toNativeSeparators(dbf), error.isEmpty() ? table.errorString() : error));
        return;
    }
    m_busy = true;
    m_changes->clear();
    m_stock->clear();
    m_game->clear();
    m_summary->setText(QStringLiteral("Comparing the data files with the stock files..."));
    m_progress->show();
    QList<FileDiff> files = StockDiff::compare(GamePath, stock, [this] { return m_closing; });
    m_busy = false;
    if (m_closing) {
        deleteLater();
        return;
    }
    m_progress->hide();
    m_files = std::move(files);
    for (qsizetype f = 0; f < m_files.size(); ++f) {
        const FileDiff &file = m_files[f];
        int counts[3] = {};
        for (const BlockDiff &block : file.blocks)
            ++counts[block.state];
        const QString change = file.missing ? QStringLiteral("missing")
                                            : QStringLiteral("%1 added, %2 removed, %3 changed")
                                                  .arg(counts[BlockDiff::Added])
                                                  .arg(counts[BlockDiff::Removed])
                                                  .arg(counts[BlockDiff::Changed]);
        auto *fileItem = new QTreeWidgetItem(m_changes, {file.file, change});
        fileItem->setData(0, kFileRole, int(f));
        fileItem->setData(0, kBlockRole, -1);
        for (qsizetype b = 0; b < file.blocks.size(); ++b) {
            const BlockDiff &block = file.blocks[b];
            const QString title = block.kind.isEmpty() ? QStringLiteral("(lines between blocks)")
                                                       : block.kind + QLatin1Char(' ') + block.name;
            auto *item = new QTreeWidgetItem(fileItem, {title, QLatin1String(stateText(block.state))});
            item->setData(0, kFileRole, int(f));
            item->setData(0, kBlockRole, int(b));
        }
    }
    m_changes->expandAll();
    m_changes->resizeColumnToContents(0);
    // The first changed block is shown at once, the list ready for the keys.
    if (QTreeWidgetItem *first = m_changes->topLevelItem(0))
        m_changes->setCurrentItem(first->childCount() > 0 ? first->child(0) : first);
    m_changes->setFocus();
    m_summary->setText(m_files.isEmpty() ? QStringLiteral("Every data file is as it came with the game.")
                                         : QStringLiteral("%1 file(s) differ from the stock files. Choose a block to "
                                                          "see both texts.")
                                               .arg(m_files.size()));
}

void FrmCompare::showBlock()
{
    const QTreeWidgetItem *item = m_changes->currentItem();
    const int f = item ? item->data(0, kFileRole).toInt() : -1;
    const int b = item ? item->data(0, kBlockRole).toInt() : -1;
    m_open->setEnabled(item && !m_files.value(f).missing);
    if (f < 0 || f >= m_files.size() || b < 0 || b >= m_files[f].blocks.size()) {
        m_stock->clear();
        m_game->clear();
        return;
    }
    const BlockDiff &block = m_files[f].blocks[b];
    QSet<int> stockMarked;
    QSet<int> gameMarked;
    for (const DiffLine &line : block.lines)
        (line.sign == '-' ? stockMarked : gameMarked).insert(line.line);
    // A block only one side has is marked whole.
    if (block.state == BlockDiff::Removed)
        stockMarked = QSet<int>(block.stockNumbers.cbegin(), block.stockNumbers.cend());
    if (block.state == BlockDiff::Added)
        gameMarked = QSet<int>(block.gameNumbers.cbegin(), block.gameNumbers.cend());
    const bool dark = palette().color(QPalette::Base).lightness() < 128;
    TextDiffView::showLines(m_stock, block.stockText, block.stockNumbers, stockMarked, dark ? QColor(0x6a, 0x2a, 0x2a) : QColor(0xff, 0xd8, 0xd8));
    TextDiffView::showLines(m_game, block.gameText, block.gameNumbers, gameMarked, dark ? QColor(0x2a, 0x5a, 0x2a) : QColor(0xd8, 0xf5, 0xd8));
}

void FrmCompare::openInEditor()
{
    const QTreeWidgetItem *item = m_changes->currentItem();
    if (!item)
        return;
    const int f = item->data(0, kFileRole).toInt();
    const int b = item->data(0, kBlockRole).toInt();
    if (f < 0 || f >= m_files.size() || m_files[f].missing)
        return;
    const DataFile file = SplitDataFile(m_files[f].file);
    const int line = b >= 0 && b < m_files[f].blocks.size() ? m_files[f].blocks[b].gameLine : 0;
    emit openRequested(file.FolderKind, file.FileName, std::max(line, 1));
}

void FrmCompare::closeEvent(QCloseEvent *event)
{
    WindowPlacement::SaveWindowPos(this);
    BusyWindow::closing(this, m_busy, m_closing, &g_window);
    event->accept();
}
