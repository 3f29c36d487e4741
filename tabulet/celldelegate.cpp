#include "celldelegate.h"

#include <QApplication>
#include <QPainter>

CellDelegate::CellDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

bool CellDelegate::fullRowSelect() const
{
    return m_fullRowSelect;
}

void CellDelegate::setFullRowSelect(bool fullRowSelect)
{
    m_fullRowSelect = fullRowSelect;
}

void CellDelegate::setCoveredCell(const QModelIndex &index, const QRect &rect)
{
    m_covered = index;
    m_coveredRect = rect;
}

void CellDelegate::clearCoveredCell()
{
    m_covered = QPersistentModelIndex();
    m_coveredRect = QRect();
}

void CellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                         const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (!m_fullRowSelect && index.column() > 0 && (opt.state & QStyle::State_Selected)) {
        // The view has already painted the whole row highlighted; give the
        // cell its plain background back.
        opt.state &= ~QStyle::State_Selected;
        const QPalette::ColorGroup group = (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        const QPalette::ColorRole role = (opt.features & QStyleOptionViewItem::Alternate) ? QPalette::AlternateBase
                                                                                         : QPalette::Base;
        painter->fillRect(opt.rect, opt.palette.brush(group, role));
    }
    if (m_covered.isValid() && index == m_covered && option.rect == m_coveredRect)
        opt.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
}
