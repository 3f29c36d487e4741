#pragma once

#include <QPersistentModelIndex>
#include <QRect>
#include <QStyledItemDelegate>

/*
 * Paints the list's cells. It holds the list's full-row-select option (a
 * selected row is highlighted across all its columns or in its label only)
 * and leaves out the text of the cell that an editor currently covers, so no
 * sliver of the old value shows beside the editor.
 */
class CellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit CellDelegate(QObject *parent = nullptr);

    bool fullRowSelect() const;
    void setFullRowSelect(bool fullRowSelect);

    // The text is left out only while the cell is still painted at rect: once
    // the list scrolls, sorts or resizes a column the editor no longer covers it.
    void setCoveredCell(const QModelIndex &index, const QRect &rect);
    void clearCoveredCell();

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    bool m_fullRowSelect = false;
    QPersistentModelIndex m_covered;
    QRect m_coveredRect;
};
