#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Steam's key-value text (libraryfolders.vdf, appmanifest_*.acf): pairs of
// quoted or bare tokens, where a key followed by "{ ... }" opens a block.
// Inside quotes a backslash escapes the next character (\\ \" \n \t); "//"
// starts a comment outside quotes. The files are UTF-8.
namespace Vdf {

struct Node
{
    QString key;
    QString value;       // empty for a block
    QList<Node> children; // the pairs of a block, in file order
    bool isBlock = false;

    // The first child whose key matches without regard to letter case, or null.
    const Node *child(const QString &name) const;
};

// Reads the whole text into a root block holding its top-level pairs. Returns
// nothing when braces do not balance, a key has no value, or blocks nest
// deeper than 64 levels; never reads past the text.
std::optional<Node> parse(const QByteArray &text);

// The library folders listed in a libraryfolders.vdf: the "path" of each
// numbered block, or the value of a numbered key in the older flat form.
QStringList libraryFolders(const QByteArray &text);

// The "appid" and "installdir" of an appmanifest_*.acf; empty when absent.
struct AppManifest
{
    QString appId;
    QString installDir;
};
AppManifest appManifest(const QByteArray &text);

} // namespace Vdf
