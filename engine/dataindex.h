#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

// One index of the definitions and references in the thirteen data files,
// built in one pass through the program's line loader with the block lookup's
// header rule (SParse::HeaderName). The data check, the command line's refs
// and the manual editor's go-to-definition all read it, so they cannot disagree.
//
// A block starts at a first-column header "Keyword Name" for one of the six
// keywords Object, Weapon, Armor, Locomotor, CommandButton, CommandSet, and
// ends at the next first-column line that begins with "End" in any case, or
// without an End line at the next header or the end of the file.
//
// References, as the check knows them, inside Object blocks: every weapon name
// of a "Weapon" line (the words after "=" other than the slot words PRIMARY,
// SECONDARY and TERTIARY when there are several), the value of "Armor" and of
// "CommandSet", and every locomotor name of a "Locomotor" line (the words
// after its locomotor set); inside CommandSet blocks the value of each
// numbered slot. "None" and an empty value name nothing.

struct IndexBlock
{
    QString kind;     // the header keyword as the index spells it ("Armor", "CommandButton")
    QString name;     // as written
    int line = 0;     // the header line, from 1
    int endLine = 0;  // the End line; 0 when the block has none
    int lastLine = 0; // its End line, or without one the line before the next header or the file's last line
    int nameColumn = 0; // where the name starts in the header line, from 0
};

struct IndexReference
{
    QString kind;  // the keyword the name must be defined under
    QString name;  // as written
    int block = 0; // position in the file's blocks of the block that holds the reference
    int line = 0;
    int column = 0; // where the name starts in its line, from 0
};

Q_DECLARE_TYPEINFO(IndexBlock, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(IndexReference, Q_RELOCATABLE_TYPE);

// The blocks and references of one file, in file order.
struct FileIndex
{
    bool missing = false; // the file does not exist (it then has nothing else)
    int lineCount = 0;
    QList<IndexBlock> blocks;
    QList<IndexReference> references;

    // The index of text held in memory, read exactly as a file of those bytes.
    static FileIndex fromText(const QByteArray &bytes);
};

// Builds a FileIndex from the lines of one file, given one at a time.
class FileIndexBuilder
{
public:
    // Without references, only the blocks are recorded (for readers that need
    // no more than where each block starts and ends).
    explicit FileIndexBuilder(FileIndex &target, bool references = true)
        : m_index(target)
        , m_references(references)
    {
    }

    // What a line was to the block structure.
    enum LineRole { Outside, Header, Body, End };

    LineRole addLine(QStringView line);
    // Closes a block still open at the end of the file.
    void finish();

private:
    void scanReferences(QStringView line, int number);

    FileIndex &m_index;
    // Names are referred to many times over: each distinct name is made once
    // and shared (the keys view the values' own characters).
    QHash<QStringView, QString> m_names;
    bool m_references;
    bool m_inBlock = false;
    int m_kind = -1; // the open block's keyword, by its position in DataIndex::keywords()
};

// Where a name is defined or used, for the lookups.
struct IndexHit
{
    int fileIndex = 0; // position in DataCheck::dataFiles()
    QString file;      // as check writes it: "Object\FactionUnit.ini", "Weapon.ini"
    int line = 0;      // the header line of a definition, the line of a reference
    QString kind;      // the kind of the block defined, or of the block that holds the reference
    QString name;      // that block's name as written
    QString referredKind; // references only: the keyword the name must be defined under
};

class DataIndex
{
public:
    // The six header keywords, in the order a header line is tried against them.
    static const QList<QString> &keywords();
    // The keyword and name of a header line, or no value.
    static std::optional<std::pair<QString, QStringView>> header(QStringView line);
    // A first-column line that ends a block.
    static bool isEndLine(QStringView line);

    // Reads the thirteen data files of gamePath (DataCheck::dataFiles()).
    // Returns false, with an incomplete index, when cancelled returns true
    // (it is asked between lines).
    bool build(const QString &gamePath, const std::function<bool()> &cancelled = {});

    int fileCount() const { return int(m_files.size()); }
    const FileIndex &file(int i) const { return m_files[i]; }
    // Replaces one file's index, for a file whose text is held elsewhere (an editor).
    void setFile(int i, FileIndex index);
    // True when at least one data file exists.
    bool hasData() const;

    // Every block named name (letter case ignored), in DataCheck::dataFiles()
    // order and then by line.
    QList<IndexHit> definitions(QStringView name) const;
    // Every reference to name (letter case ignored), in the same order.
    QList<IndexHit> references(QStringView name) const;

private:
    QList<FileIndex> m_files;
};
