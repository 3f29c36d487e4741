#include "cataloguefilter.h"

#include "cataloguemodel.h"

CatalogueFilter::CatalogueFilter(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    // A category or group is shown when anything below it is.
    setRecursiveFilteringEnabled(true);
}

void CatalogueFilter::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    invalidateFilter();
}

bool CatalogueFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_text.isEmpty())
        return true;
    // Only object nodes match; the nodes above them come along through the
    // recursive filtering. The nodes are read directly: a keystroke looks at
    // every one of them.
    const auto *catalogue = static_cast<const CatalogueModel *>(sourceModel());
    const CatalogueNode &node = catalogue->node(catalogue->index(sourceRow, 0, sourceParent));
    return node.key.startsWith(QLatin1String("Key")) && node.text.contains(m_text, Qt::CaseInsensitive);
}
