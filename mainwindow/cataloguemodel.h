#pragma once

#include "startup/catalogue.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QVector>

// The object catalogue as the tree shows it. Tens of thousands of objects
// load as one list: the nodes are kept as read, with their parents and
// children worked out once, rather than built into an item per node.
class CatalogueModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Role { KeyRole = Qt::UserRole, TagRole = Qt::UserRole + 1 };

    explicit CatalogueModel(QObject *parent = nullptr);

    void setNodes(const QList<CatalogueNode> &nodes);
    const QList<CatalogueNode> &nodes() const { return m_nodes; }
    QModelIndex indexOfKey(const QString &key) const;
    // The node behind a valid index of this model.
    const CatalogueNode &node(const QModelIndex &index) const { return m_nodes[int(index.internalId())]; }

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QModelIndex indexOfNode(int node) const;

    QList<CatalogueNode> m_nodes;
    QVector<int> m_parent;     // node -> parent node, -1 at the top
    QVector<int> m_row;        // node -> row under its parent
    // Children of node n: m_children[m_firstChild[n] .. m_firstChild[n] + m_childCount[n]),
    // in order; one flat list, so tens of thousands of leaves cost no lists of their own.
    QVector<int> m_firstChild;
    QVector<int> m_childCount;
    QVector<int> m_children;
    QVector<int> m_roots;
    QHash<QString, int> m_byKey;   // keys of the category, side and group nodes
    QVector<int> m_objectKeys;     // the object nodes, looked through in order
};
