#include "textdiffview.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSet>
#include <QSplitter>
#include <QTextBlock>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const char *stateText(BlockDiff::State state)
{
    switch (state) {
    case BlockDiff::Added:
        return "only in the editor";
    case BlockDiff::Removed:
        return "only in the older text";
    default:
        return "changed";
    }
}

} // namespace

void TextDiffView::showLines(QPlainTextEdit *box, const QStringList &lines, const QList<int> &numbers, const QSet<int> &marked,
               const QColor &mark)
{
    box->setPlainText(lines.join(QLatin1Char('\n')));
    QList<QTextEdit::ExtraSelection> selections;
    QTextBlock block = box->document()->begin();
    for (qsizetype i = 0; i < numbers.size() && block.isValid(); ++i, block = block.next()) {
        if (!marked.contains(numbers[i]))
            continue;
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(block);
        selection.format.setBackground(mark);
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        selections.append(selection);
    }
    box->setExtraSelections(selections);
    // The first differing line in view: in the lines between blocks it may be far down.
    if (!selections.isEmpty()) {
        QTextCursor first = selections.first().cursor;
        box->setTextCursor(first);
        box->centerCursor();
    }
}

QWidget *captioned(QWidget *parent, QLabel *caption, QWidget *content)
{
    auto *side = new QWidget(parent);
    auto *layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption);
    layout->addWidget(content);
    return side;
}

TextDiffView::TextDiffView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TextDiffView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("LblDiffSummary"));
    m_blocks = new QTreeWidget(this);
    m_blocks->setObjectName(QStringLiteral("LstDiffBlocks"));
    m_blocks->setRootIsDecorated(false);
    m_blocks->setHeaderLabels({QStringLiteral("Block"), QStringLiteral("Change")});
    m_blocks->header()->setStretchLastSection(true);
    m_left = new QPlainTextEdit(this);
    m_left->setObjectName(QStringLiteral("TxtDiffLeft"));
    m_right = new QPlainTextEdit(this);
    m_right->setObjectName(QStringLiteral("TxtDiffRight"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (QPlainTextEdit *box : {m_left, m_right}) {
        box->setReadOnly(true);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setFont(fixed);
    }
    m_leftCaption = new QLabel(this);
    m_rightCaption = new QLabel(this);
    auto *texts = new QSplitter(this);
    texts->addWidget(captioned(texts, m_leftCaption, m_left));
    texts->addWidget(captioned(texts, m_rightCaption, m_right));
    auto *split = new QSplitter(this);
    split->addWidget(m_blocks);
    split->addWidget(texts);
    split->setStretchFactor(1, 3);
    layout->addWidget(m_summary);
    layout->addWidget(split, 1);
    setFocusProxy(m_blocks);
    connect(m_blocks, &QTreeWidget::currentItemChanged, this, &TextDiffView::showBlock);
}

void TextDiffView::setCaptions(const QString &left, const QString &right)
{
    m_leftCaption->setText(left);
    m_rightCaption->setText(right);
}

void TextDiffView::clear()
{
    m_diff = FileDiff();
    m_blocks->clear();
    m_left->clear();
    m_right->clear();
    m_summary->clear();
}

void TextDiffView::compare(const QByteArray &left, const QByteArray &right)
{
    clear();
    m_diff = StockDiff::compareFile(right, left);
    for (qsizetype b = 0; b < m_diff.blocks.size(); ++b) {
        const BlockDiff &block = m_diff.blocks[b];
        const QString title = block.kind.isEmpty() ? QStringLiteral("(lines between blocks)")
                                                   : block.kind + QLatin1Char(' ') + block.name;
        auto *item = new QTreeWidgetItem(m_blocks, {title, QLatin1String(stateText(block.state))});
        item->setData(0, Qt::UserRole, int(b));
    }
    m_blocks->resizeColumnToContents(0);
    m_summary->setText(m_diff.blocks.isEmpty() ? QStringLiteral("Both texts hold the same lines.")
                                               : QStringLiteral("%1 block(s) differ.").arg(m_diff.blocks.size()));
    if (QTreeWidgetItem *first = m_blocks->topLevelItem(0))
        m_blocks->setCurrentItem(first);
}

void TextDiffView::showBlock()
{
    const QTreeWidgetItem *item = m_blocks->currentItem();
    const int b = item ? item->data(0, Qt::UserRole).toInt() : -1;
    if (b < 0 || b >= m_diff.blocks.size()) {
        m_left->clear();
        m_right->clear();
        return;
    }
    // The stock comparison's "stock" side is the older text here, its "game" side the editor's.
    const BlockDiff &block = m_diff.blocks[b];
    QSet<int> leftMarked;
    QSet<int> rightMarked;
    for (const DiffLine &line : block.lines)
        (line.sign == '-' ? leftMarked : rightMarked).insert(line.line);
    if (block.state == BlockDiff::Removed)
        leftMarked = QSet<int>(block.stockNumbers.cbegin(), block.stockNumbers.cend());
    if (block.state == BlockDiff::Added)
        rightMarked = QSet<int>(block.gameNumbers.cbegin(), block.gameNumbers.cend());
    const bool dark = palette().color(QPalette::Base).lightness() < 128;
    showLines(m_left, block.stockText, block.stockNumbers, leftMarked,
              dark ? QColor(0x6a, 0x2a, 0x2a) : QColor(0xff, 0xd8, 0xd8));
    showLines(m_right, block.gameText, block.gameNumbers, rightMarked,
              dark ? QColor(0x2a, 0x5a, 0x2a) : QColor(0xd8, 0xf5, 0xd8));
}
