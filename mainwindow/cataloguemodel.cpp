#include "cataloguemodel.h"

CatalogueModel::CatalogueModel(QObject *parent)
    : QAbstractItemModel(parent)
{
}

void CatalogueModel::setNodes(const QList<CatalogueNode> &nodes)
{
    beginResetModel();
    m_nodes = nodes;
    const int count = int(nodes.size());
    m_parent.fill(-1, count);
    m_row.fill(0, count);
    m_childCount.fill(0, count);
    m_firstChild.fill(0, count);
    m_roots.clear();
    m_byKey.clear();
    m_objectKeys.clear();
    m_objectKeys.reserve(count);

    // First pass: each node's parent and row. Objects of one group come one
    // after another and share their parent's key text, so the last lookup is
    // usually the answer.
    QString lastKey;
    int lastParent = -1;
    for (int i = 0; i < count; ++i) {
        const QString &parentKey = nodes[i].parentKey;
        int parent = -1;
        if (!parentKey.isEmpty()) {
            if (parentKey.constData() != lastKey.constData() && parentKey != lastKey) {
                lastKey = parentKey;
                lastParent = m_byKey.value(parentKey, -1);
            }
            parent = lastParent;
        }
        m_parent[i] = parent;
        if (parent < 0) {
            m_row[i] = int(m_roots.size());
            m_roots.append(i);
        } else {
            m_row[i] = m_childCount[parent]++;
        }
        // Object nodes ("Key1", "Key2", ...) never have children: keeping them
        // out of the key table keeps loading tens of thousands of them cheap.
        if (nodes[i].key.startsWith(QLatin1String("Key")))
            m_objectKeys.append(i);
        else
            m_byKey.insert(nodes[i].key, i);
    }
    // Second pass: lay the children out parent by parent.
    int next = 0;
    for (int n = 0; n < count; ++n) {
        m_firstChild[n] = next;
        next += m_childCount[n];
    }
    m_children.resize(next);
    for (int i = 0; i < count; ++i) {
        if (m_parent[i] >= 0)
            m_children[m_firstChild[m_parent[i]] + m_row[i]] = i;
    }
    endResetModel();
}

QModelIndex CatalogueModel::indexOfNode(int node) const
{
    return node < 0 ? QModelIndex() : createIndex(m_row[node], 0, quintptr(node));
}

QModelIndex CatalogueModel::indexOfKey(const QString &key) const
{
    const int node = m_byKey.value(key, -1);
    if (node >= 0)
        return indexOfNode(node);
    for (int i : m_objectKeys) {
        if (m_nodes[i].key == key)
            return indexOfNode(i);
    }
    return QModelIndex();
}

QModelIndex CatalogueModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return QModelIndex();
    const int node = parent.isValid() ? m_children[m_firstChild[int(parent.internalId())] + row] : m_roots[row];
    return createIndex(row, 0, quintptr(node));
}

QModelIndex CatalogueModel::parent(const QModelIndex &child) const
{
    return child.isValid() ? indexOfNode(m_parent[int(child.internalId())]) : QModelIndex();
}

int CatalogueModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return parent.isValid() ? m_childCount[int(parent.internalId())] : int(m_roots.size());
}

int CatalogueModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant CatalogueModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const CatalogueNode &node = m_nodes[int(index.internalId())];
    switch (role) {
    case Qt::DisplayRole:
        return node.text;
    case KeyRole:
        return node.key;
    case TagRole:
        return node.tag;
    default:
        return QVariant();
    }
}

Qt::ItemFlags CatalogueModel::flags(const QModelIndex &index) const
{
    // The two unnamed nodes are separator lines between the categories.
    if (!index.isValid() || m_nodes[int(index.internalId())].text.isEmpty())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
