#pragma once

#include "engine/tvitem.h"

#include <QList>
#include <QHash>
#include <QObject>
#include <QString>

// The object catalogue: every object definition of the eight object files,
// filed by category, side and first character. The catalogue is plain data;
// the main window's tree shows it node for node, in this order.
struct CatalogueNode
{
    QString key;       // unique: a file name for categories, "FUGLA", "CB09", "Key12"...
    QString text;      // what the tree shows
    QString tag;       // the object file for objects and side nodes
    QString parentKey; // empty for top-level nodes
};
Q_DECLARE_TYPEINFO(CatalogueNode, Q_RELOCATABLE_TYPE);

class Catalogue : public QObject
{
    Q_OBJECT

public:
    explicit Catalogue(QObject *parent = nullptr);

    // The object files in the order they are read.
    static const QStringList &objectFiles();

    // Lays out the fixed nodes, then reads each object file of gamePath that
    // exists and adds a node per "Object" line. Emits progress (12.5 per file
    // read, up to 100) between files.
    QList<CatalogueNode> BuildCatalogue(const QString &gamePath);

    // The loader reading the files; its Pass is 1, 2, 3 while the first three
    // files are read and keeps 2 if "FactionProp.ini" is missing, so the later
    // objects are also filed under the player buildings' sides.
    TVItem *loader() const { return m_loader; }

    // The nodes in tree order (each node followed by its children, children in
    // the order they were added) with their depth, 0 for top-level nodes.
    static QList<QPair<int, CatalogueNode>> treeOrder(const QList<CatalogueNode> &nodes);

    // Object nodes sit two levels below a category (under a side or letter
    // group) and have no children; only they load an object.
    static bool isLoadable(const QList<CatalogueNode> &nodes, const CatalogueNode &node);

    // The object file an object node is read from: the key of the category
    // two levels up, whatever file the node was read from (its tag). Empty for
    // a node without such a category.
    static QString objectFile(const QList<CatalogueNode> &nodes, const CatalogueNode &node);

    // Program-wide object-node counter: Key1, Key2, ... never repeat in a run.
    static qint32 objectCounter();

signals:
    void progress(double percent);

private:
    void onLoadingItem(const QString &Key, int Index);
    void onNewLine(const QString &Line);
    // Looks the parent up by key, in any letter case; no node when there is none.
    void addObject(const QString &parentKey, const QString &name, const QString &file);
    void addObjectUnder(const QString &parentKey, const QString &name, const QString &file);
    void addFixedNodes();
    void add(const QString &key, const QString &text, const QString &tag, const QString &parentKey);

    TVItem *m_loader;
    QList<CatalogueNode> m_nodes;
    QHash<QString, QString> m_keys; // lower-case key to key: lookups ignore letter case
    QString m_currentFile;
    int m_fileIndex = 0;
};
