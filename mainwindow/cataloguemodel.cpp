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
    m_children.clear();
    m_children.resize(count);
    m_roots.clear();
    m_byKey.clear();
    m_objectKeys.clear();
    m_objectKeys.reserve(count);
    // Objects of one group come one after another and share their parent's
    // key text, so the last lookup is usually the answer.
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
        QVector<int> &siblings = parent < 0 ? m_roots : m_children[parent];
        m_parent[i] = parent;
        m_row[i] = int(siblings.size());
        siblings.append(i);
        // Object nodes ("Key1", "Key2", ...) never have children: keeping them
        // out of the key table keeps loading tens of thousands of them cheap.
        if (nodes[i].key.startsWith(QLatin1String("Key")))
            m_objectKeys.append(i);
        else
            m_byKey.insert(nodes[i].key, i);
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
    const QVector<int> &siblings = parent.isValid() ? m_children[int(parent.internalId())] : m_roots;
    if (column != 0 || row < 0 || row >= siblings.size())
        return QModelIndex();
    return createIndex(row, 0, quintptr(siblings[row]));
}

QModelIndex CatalogueModel::parent(const QModelIndex &child) const
{
    return child.isValid() ? indexOfNode(m_parent[int(child.internalId())]) : QModelIndex();
}

int CatalogueModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(parent.isValid() ? m_children[int(parent.internalId())].size() : m_roots.size());
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
