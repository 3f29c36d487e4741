#include "catalogue.h"

#include "platform/eventyield.h"
#include "platform/gamepath.h"

#include <array>
#include <cstdio>

namespace {

qint32 g_objectCounter = 0;

struct Side
{
    const char *text;
    const char *key; // after "FB" or "FU"
    const char *prefix;
};

constexpr Side kSides[] = {
    {"America", "America", "America"}, {"China", "China", "China"}, {"GLA", "GLA", "GLA"},
    {"Cinematic", "CINE", "CINE"},     {"Other", "Other", nullptr},
};

// 0 America, 1 China, 2 GLA, 3 CINE, 4 Other: the order of kSides.
int sideIndex(const QString &name)
{
    for (int i = 0; i < 4; ++i) {
        if (name.startsWith(QLatin1String(kSides[i].prefix), Qt::CaseSensitive))
            return i;
    }
    return 4;
}

} // namespace

Catalogue::Catalogue(QObject *parent)
    : QObject(parent)
    , m_loader(new TVItem(this))
{
    connect(m_loader, &TVItem::LoadingItem, this, &Catalogue::onLoadingItem);
    m_loader->setLineHandler([this](const QString &Line) { onNewLine(Line); });
}

qint32 Catalogue::objectCounter()
{
    return g_objectCounter;
}

const QStringList &Catalogue::objectFiles()
{
    static const QStringList files{
        "FactionUnit.ini",  "FactionBuilding.ini", "FactionProp.ini", "CivilianBuilding.ini",
        "CivilianUnit.ini", "CivilianProp.ini",    "NatureProp.ini",  "NatureUnit.ini",
    };
    return files;
}

void Catalogue::add(const QString &key, const QString &text, const QString &tag, const QString &parentKey)
{
    m_nodes.append({key, text, tag, parentKey});
    m_keys.insert(key.toLower(), key);
}

void Catalogue::addFixedNodes()
{
    const auto addSides = [this](const QString &file, const QString &prefix) {
        for (const Side &side : kSides)
            add(prefix + QLatin1String(side.key), QLatin1String(side.text), file, file);
    };
    const auto addGroups = [this](const QString &file, const QString &prefix) {
        add(prefix + QStringLiteral("09"), QStringLiteral("0 - 9"), QString(), file);
        for (char c = 'A'; c <= 'Z'; ++c)
            add(prefix + QLatin1Char(c), QString(QLatin1Char(c)), QString(), file);
    };

    add(QStringLiteral("FactionBuilding.ini"), QStringLiteral("Player Buildings"), QStringLiteral("FactionBuilding.ini"), {});
    addSides(QStringLiteral("FactionBuilding.ini"), QStringLiteral("FB"));
    add(QStringLiteral("FactionUnit.ini"), QStringLiteral("Player Units"), QStringLiteral("FactionUnit.ini"), {});
    addSides(QStringLiteral("FactionUnit.ini"), QStringLiteral("FU"));
    add(QStringLiteral("FactionProp.ini"), QStringLiteral("Player Props"), QStringLiteral("FactionProp.ini"), {});
    add(QStringLiteral("Sep1"), QString(), QString(), {});
    add(QStringLiteral("CivilianBuilding.ini"), QStringLiteral("Civilian Buildings"), QString(), {});
    addGroups(QStringLiteral("CivilianBuilding.ini"), QStringLiteral("CB"));
    add(QStringLiteral("CivilianUnit.ini"), QStringLiteral("Civilian Units"), QString(), {});
    addGroups(QStringLiteral("CivilianUnit.ini"), QStringLiteral("CU"));
    add(QStringLiteral("CivilianProp.ini"), QStringLiteral("Civilian Props"), QString(), {});
    addGroups(QStringLiteral("CivilianProp.ini"), QStringLiteral("CP"));
    add(QStringLiteral("Sep2"), QString(), QString(), {});
    add(QStringLiteral("NatureProp.ini"), QStringLiteral("Nature Props"), QString(), {});
    addGroups(QStringLiteral("NatureProp.ini"), QStringLiteral("NP"));
    add(QStringLiteral("NatureUnit.ini"), QStringLiteral("Nature Units"), QString(), {});
}

QList<CatalogueNode> Catalogue::BuildCatalogue(const QString &gamePath)
{
    m_nodes.clear();
    m_keys.clear();
    m_loader->BasePath = gamePath;
    addFixedNodes();

    double progressValue = 12.5;
    const QStringList &files = objectFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString &file = files[i];
        if (!GamePaths::FileExists(gamePath + QStringLiteral("\\Data\\INI\\Object\\") + file))
            continue;
        if (i < 3) {
            m_loader->Pass = i + 1;
            EventYield::yield();
        }
        m_currentFile = file;
        m_loader->AddTVItem(file);
        EventYield::yield();
        emit progress(progressValue);
        progressValue += 12.5;
    }
    return m_nodes;
}

void Catalogue::onLoadingItem(const QString &, int Index)
{
    m_fileIndex = Index;
}

void Catalogue::addObject(const QString &parentKey, const QString &name, const QString &file)
{
    // A name whose first character has no group finds no parent and is left
    // out, but it has used up its key number as every object does; a
    // lower-case first letter finds the group of its capital.
    const auto parent = m_keys.constFind(parentKey.toLower());
    if (parent == m_keys.constEnd()) {
        ++g_objectCounter;
        return;
    }
    addObjectUnder(*parent, name, file);
}

void Catalogue::addObjectUnder(const QString &parentKey, const QString &name, const QString &file)
{
    ++g_objectCounter;
    char key[24];
    const int length = std::snprintf(key, sizeof key, "Key%d", int(g_objectCounter));
    // Object nodes are never parents, so they stay out of the key lookup.
    m_nodes.append({QString::fromLatin1(key, length), name, file, parentKey});
}

void Catalogue::onNewLine(const QString &Line)
{
    EventYield::yield();
    // Body lines are indented; only a first-column "O" can start a header.
    if (Line.isEmpty() || Line[0] != QLatin1Char('O') || !TVItem::CheckText(Line, QStringLiteral("Object")))
        return;
    // The name is the second word; words are separated by single spaces.
    const qsizetype start = Line.indexOf(QLatin1Char(' '));
    const qsizetype end = start < 0 ? -1 : Line.indexOf(QLatin1Char(' '), start + 1);
    const QString name = start < 0 ? QString() : Line.mid(start + 1, end < 0 ? -1 : end - start - 1);
    const QString &file = m_currentFile;

    // The parents' keys are made once: a large catalogue has tens of
    // thousands of objects to file.
    static const QString sides[2][5] = {
        {"FUAmerica", "FUChina", "FUGLA", "FUCINE", "FUOther"},
        {"FBAmerica", "FBChina", "FBGLA", "FBCINE", "FBOther"},
    };
    if (m_loader->Pass == 1 || m_loader->Pass == 2)
        addObjectUnder(sides[m_loader->Pass - 1][sideIndex(name)], name, file);

    switch (m_fileIndex) {
    case 3:
        addObjectUnder(QStringLiteral("FactionProp.ini"), name, file);
        break;
    case 4:
    case 5:
    case 6:
    case 7: {
        static const char *const groupPrefix[] = {"CB", "CU", "CP", "NP"};
        static const auto groups = [] {
            std::array<std::array<QString, 27>, 4> keys; // "09", then A to Z
            for (int p = 0; p < 4; ++p) {
                keys[p][0] = QLatin1String(groupPrefix[p]) + QStringLiteral("09");
                for (int c = 0; c < 26; ++c)
                    keys[p][c + 1] = QLatin1String(groupPrefix[p]) + QChar(u'A' + c);
            }
            return keys;
        }();
        const auto &keys = groups[m_fileIndex - 4];
        const char16_t first = name.isEmpty() ? 0 : name[0].unicode();
        if (first >= u'0' && first <= u'9')
            addObjectUnder(keys[0], name, file);
        else if (first >= u'A' && first <= u'Z')
            addObjectUnder(keys[first - u'A' + 1], name, file);
        else if (first >= u'a' && first <= u'z')
            addObjectUnder(keys[first - u'a' + 1], name, file);
        else if (first != 0)
            addObject(QLatin1String(groupPrefix[m_fileIndex - 4]) + (QChar(first).isDigit() ? QStringLiteral("09") : QString(QChar(first))),
                      name, file);
        break;
    }
    case 8:
        addObjectUnder(QStringLiteral("NatureUnit.ini"), name, file);
        break;
    default:
        break;
    }
}

QList<QPair<int, CatalogueNode>> Catalogue::treeOrder(const QList<CatalogueNode> &nodes)
{
    QHash<QString, QList<int>> children;
    QList<int> roots;
    for (int i = 0; i < nodes.size(); ++i) {
        if (nodes[i].parentKey.isEmpty())
            roots << i;
        else
            children[nodes[i].parentKey] << i;
    }
    QList<QPair<int, CatalogueNode>> ordered;
    ordered.reserve(nodes.size());
    // Depth-first with an explicit stack: the catalogue is three levels deep,
    // but nothing here should depend on that.
    QList<QPair<int, int>> stack; // node index, depth
    for (auto it = roots.crbegin(); it != roots.crend(); ++it)
        stack.append({*it, 0});
    while (!stack.isEmpty()) {
        const auto [index, depth] = stack.takeLast();
        ordered.append({depth, nodes[index]});
        const QList<int> kids = children.value(nodes[index].key);
        for (auto it = kids.crbegin(); it != kids.crend(); ++it)
            stack.append({*it, depth + 1});
    }
    return ordered;
}

QString Catalogue::objectFile(const QList<CatalogueNode> &nodes, const CatalogueNode &node)
{
    const auto parentOf = [&](const CatalogueNode &child) -> const CatalogueNode * {
        if (child.parentKey.isEmpty())
            return nullptr;
        for (const CatalogueNode &n : nodes) {
            if (n.key == child.parentKey)
                return &n;
        }
        return nullptr;
    };
    const CatalogueNode *parent = parentOf(node);
    const CatalogueNode *grandparent = parent ? parentOf(*parent) : nullptr;
    return grandparent ? grandparent->key : QString();
}

bool Catalogue::isLoadable(const QList<CatalogueNode> &nodes, const CatalogueNode &node)
{
    for (const CatalogueNode &other : nodes) {
        if (other.parentKey == node.key)
            return false;
    }
    return node.parentKey.isEmpty() || !node.parentKey.endsWith(QLatin1String("ini"));
}
