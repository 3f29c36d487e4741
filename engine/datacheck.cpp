#include "datacheck.h"

#include "dataindex.h"

#include <QHash>
#include <QSet>

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
    QHash<QString, QSet<QString>> defined; // keyword -> lower-case names
    for (int i = 0; i < index.fileCount(); ++i) {
        const FileIndex &file = index.file(i);
        if (file.missing)
            unchecked.insert(definingFile.key(dataFiles()[i]));
        for (const IndexBlock &block : file.blocks)
            defined[block.kind].insert(block.name.toLower());
    }

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
        QHash<QString, int> firstDefinition; // keyword + " " + lower-case name -> line
        for (qsizetype b = 0; b < file.blocks.size(); ++b) {
            const IndexBlock &block = file.blocks[b];
            const QString key = block.kind + QLatin1Char(' ') + block.name.toLower();
            if (const auto first = firstDefinition.constFind(key); first != firstDefinition.cend()) {
                fileProblems.append({name, block.line, QStringLiteral("duplicate"),
                                     QStringLiteral("%1 %2 is already defined on line %3")
                                         .arg(block.kind, block.name)
                                         .arg(*first),
                                     block.nameColumn, int(block.name.size())});
            } else {
                firstDefinition.insert(key, block.line);
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
        for (const IndexReference &ref : file.references) {
            if (!unchecked.contains(ref.kind) && !defined.value(ref.kind).contains(ref.name.toLower())) {
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
