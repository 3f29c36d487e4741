#pragma once

#include "engine/stockdiff.h"

#include <QSet>
#include <QWidget>

class QColor;
class QLabel;
class QPlainTextEdit;
class QTreeWidget;

// Two versions of one data file side by side, compared block by block the
// way the stock comparison does (stockdiff.h): the blocks that differ in a
// list, and for the chosen one both texts with the differing lines marked.
// The left side is the older text (the file on disk, a backup), the right
// side the editor's.
class TextDiffView : public QWidget
{
    Q_OBJECT

public:
    explicit TextDiffView(QWidget *parent = nullptr);

    void setCaptions(const QString &left, const QString &right);
    // Both texts as the file holds them (Windows-1252 bytes).
    void compare(const QByteArray &left, const QByteArray &right);
    void clear();

    // The number of blocks that differ, the lines between blocks counted as one.
    int changedBlocks() const { return int(m_diff.blocks.size()); }
    QTreeWidget *blocks() const { return m_blocks; }
    QPlainTextEdit *leftText() const { return m_left; }
    QPlainTextEdit *rightText() const { return m_right; }

    // Shows lines in a text box, marks those whose numbers are in marked and
    // brings the first marked one into view.
    static void showLines(QPlainTextEdit *box, const QStringList &lines, const QList<int> &numbers,
                          const QSet<int> &marked, const QColor &mark);

private:
    void showBlock();

    FileDiff m_diff;
    QLabel *m_summary;
    QTreeWidget *m_blocks;
    QLabel *m_leftCaption;
    QLabel *m_rightCaption;
    QPlainTextEdit *m_left;
    QPlainTextEdit *m_right;
};
