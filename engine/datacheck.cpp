#include "datacheck.h"

#include "dataindex.h"

#include <QHash>
#include <QSet>

#include <unordered_map>
#include <unordered_set>

namespace {

// Names compared as the lookups compare them, letter case ignored, without
// making a lower-case copy of each: a check looks up every reference.
struct FoldedHash
{
    size_t operator()(QStringView s) const noexcept
    {
        size_t h = 1469598103934665603ULL;
        for (const QChar c : s) {
            const char16_t u = c.unicode();
            h ^= u < 0x80 ? (u >= u'A' && u <= u'Z' ? char16_t(u | 0x20) : u) : c.toCaseFolded().unicode();
            h *= 1099511628211ULL;
        }
        return h;
    }
};

struct FoldedEqual
{
    bool operator()(QStringView a, QStringView b) const noexcept
    {
        return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
    }
};

using NameSet = std::unordered_set<QStringView, FoldedHash, FoldedEqual>;
using NameLines = std::unordered_map<QStringView, int, FoldedHash, FoldedEqual>;

} // namespace

namespace DataCheck {

const QStringList &dataFiles()
{
    static const QStringList files{
        "Object\\FactionUnit.ini",  "Object\\FactionBuilding.ini", "Object\\FactionProp.ini",
        "Object\\CivilianBuilding.ini", "Object\\CivilianUnit.ini", "Object\\CivilianProp.ini",
        "Object\\NatureProp.ini",   "Object\\NatureUnit.ini",      "Weapon.ini",
        "Armor.ini",                "Locomotor.ini",               "CommandButton.ini",
        "CommandSet.ini",
    };
    return files;
}

QList<DataProblem> check(const QString &gamePath, const std::function<bool()> &cancelled)
{
    DataIndex index;
    if (!index.build(gamePath, cancelled))
        return {};
    return check(index);
}

QList<DataProblem> check(const DataIndex &index, int onlyFile)
{
    static const QHash<QString, QString> kinds{
        {"Weapon", "unknown-weapon"},       {"Armor", "unknown-armor"},
        {"Locomotor", "unknown-locomotor"}, {"CommandButton", "unknown-button"},
        {"CommandSet", "unknown-commandset"},
    };
    // Without the file that defines a kind, its names are not checked: the
    // missing file is the one problem to report.
    static const QHash<QString, QString> definingFile{
        {"Weapon", "Weapon.ini"},       {"Armor", "Armor.ini"},           {"Locomotor", "Locomotor.ini"},
        {"CommandButton", "CommandButton.ini"}, {"CommandSet", "CommandSet.ini"},
    };
    QSet<QString> unchecked;
    // The names of the kinds a reference can name (objects are never named),
    // viewing the index's own strings.
    QHash<QString, NameSet> defined;
    for (auto it = kinds.cbegin(); it != kinds.cend(); ++it)
        defined[it.key()];
    for (int i = 0; i < index.fileCount(); ++i) {
        const FileIndex &file = index.file(i);
        if (file.missing)
            unchecked.insert(definingFile.key(dataFiles()[i]));
        for (const IndexBlock &block : file.blocks) {
            if (const auto names = defined.find(block.kind); names != defined.end())
                names->insert(QStringView(block.name));
        }
    }
    QHash<QString, const NameSet *> definedOf;
    for (auto it = defined.begin(); it != defined.end(); ++it)
        definedOf.insert(it.key(), &it.value());

    QList<DataProblem> problems;
    for (int i = 0; i < index.fileCount(); ++i) {
        if (onlyFile >= 0 && i != onlyFile)
            continue;
        const QString &name = dataFiles()[i];
        const FileIndex &file = index.file(i);
        if (file.missing) {
            problems.append({name, 0, QStringLiteral("missing-file"), QStringLiteral("%1 is missing").arg(name), -1, 0});
            continue;
        }
        QList<DataProblem> fileProblems;
        QHash<QString, NameLines> firstDefinition; // keyword -> name -> line
        for (qsizetype b = 0; b < file.blocks.size(); ++b) {
            const IndexBlock &block = file.blocks[b];
            NameLines &lines = firstDefinition[block.kind];
            if (const auto first = lines.find(QStringView(block.name)); first != lines.end()) {
                fileProblems.append({name, block.line, QStringLiteral("duplicate"),
                                     QStringLiteral("%1 %2 is already defined on line %3")
                                         .arg(block.kind, block.name)
                                         .arg(first->second),
                                     block.nameColumn, int(block.name.size())});
            } else {
                lines.emplace(QStringView(block.name), block.line);
            }
            if (block.endLine == 0) {
                // A block without an End line runs until the next header cuts it.
                const QString until = b + 1 < file.blocks.size()
                                          ? QStringLiteral("line %1").arg(file.blocks[b + 1].line)
                                          : QStringLiteral("the end of the file");
                fileProblems.append({name, block.line, QStringLiteral("missing-end"),
                                     QStringLiteral("%1 %2 has no End line before %3").arg(block.kind, block.name, until),
                                     block.nameColumn, int(block.name.size())});
            }
        }
        // The index keeps one string for each name and kind it has read, so
        // most references repeat a few strings: their answers are kept by them.
        QHash<std::pair<const void *, const void *>, bool> answers;
        for (const IndexReference &ref : file.references) {
            const std::pair<const void *, const void *> key{ref.kind.constData(), ref.name.constData()};
            auto answer = answers.constFind(key);
            if (answer == answers.cend()) {
                const NameSet *names = definedOf.value(ref.kind);
                answer = answers.insert(key, unchecked.contains(ref.kind) || (names && names->count(QStringView(ref.name))));
            }
            const bool known = *answer;
            if (!known) {
                const IndexBlock &owner = file.blocks[ref.block];
                fileProblems.append({name, ref.line, kinds.value(ref.kind),
                                     QStringLiteral("%1 %2 names the %3 %4, which no block defines")
                                         .arg(owner.kind, owner.name, ref.kind, ref.name),
                                     ref.column, int(ref.name.size())});
            }
        }
        std::stable_sort(fileProblems.begin(), fileProblems.end(),
                         [](const DataProblem &a, const DataProblem &b) { return a.line < b.line; });
        problems += fileProblems;
    }
    return problems;
}

} // namespace DataCheck
