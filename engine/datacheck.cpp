#include "datacheck.h"

#include "sparse.h"
#include "tvitem.h"

#include "platform/eventyield.h"
#include "platform/gamepath.h"

#include <QHash>
#include <QSet>

namespace {

const QStringList kKeywords{"Object", "Weapon", "Armor", "Locomotor", "CommandButton", "CommandSet"};

struct Reference
{
    QString file;
    int line;
    QString kind;     // the keyword the name must be defined under
    QString name;
    QString owner;    // the block that names it
};

struct FileScan
{
    QString file;
    QList<DataProblem> problems;
    QList<Reference> references;
    QHash<QString, QSet<QString>> defined; // keyword -> lower-case names
    bool missing = false;
};

// "Name = Value ; comment" -> Name, or empty for lines that are not parameters.
QString parameterName(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char(';')))
        return QString();
    const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : trimmed.left(eq).trimmed();
}

bool isNone(const QString &value)
{
    return value.isEmpty() || value.compare(QLatin1String("None"), Qt::CaseInsensitive) == 0;
}

// The names a Locomotor line gives: every word after the locomotor set
// ("SET_NORMAL Wheels Skimmer"), or the one word of a line without a set.
QStringList locomotorNames(const QString &line)
{
    QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1);
    value.truncate(value.indexOf(QLatin1Char(';')) < 0 ? value.size() : value.indexOf(QLatin1Char(';')));
    QStringList words = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() > 1)
        words.removeFirst();
    return words;
}

// The keyword and name of a block header line, or an empty keyword.
std::pair<QString, QString> header(const QString &line)
{
    // Most lines are indented body text: no keyword can start them.
    if (line.isEmpty() || !line[0].isLetter())
        return {};
    for (const QString &keyword : kKeywords) {
        const std::optional<QStringView> name = SParse::HeaderName(line, keyword);
        if (name && !name->isEmpty())
            return {keyword, name->toString()};
    }
    return {};
}

void scanFile(const QString &gamePath, const QString &file, FileScan &scan, const std::function<bool()> &cancelled)
{
    scan.file = file;
    TVItem loader;
    loader.BasePath = gamePath;
    int lineNumber = 0;
    bool inBlock = false;
    QString keyword;
    QString name;
    int headerLine = 0;
    QHash<QString, int> firstDefinition; // keyword + " " + lower-case name -> line

    const auto missingEnd = [&](int line) {
        scan.problems.append({file, headerLine, QStringLiteral("missing-end"),
                              QStringLiteral("%1 %2 has no End line before %3").arg(keyword, name,
                                  line > 0 ? QStringLiteral("line %1").arg(line) : QStringLiteral("the end of the file"))});
    };

    loader.setLineHandler([&](const QString &Line) {
        EventYield::yield();
        if (cancelled && cancelled())
            return;
        ++lineNumber;
        const auto [headerKeyword, headerName] = header(Line);
        if (!headerKeyword.isEmpty()) {
            if (inBlock)
                missingEnd(lineNumber);
            keyword = headerKeyword;
            name = headerName;
            headerLine = lineNumber;
            inBlock = true;
            const QString key = keyword + QLatin1Char(' ') + name.toLower();
            if (firstDefinition.contains(key)) {
                scan.problems.append({file, lineNumber, QStringLiteral("duplicate"),
                                      QStringLiteral("%1 %2 is already defined on line %3")
                                          .arg(keyword, name)
                                          .arg(firstDefinition.value(key))});
            } else {
                firstDefinition.insert(key, lineNumber);
            }
            scan.defined[keyword].insert(name.toLower());
            return;
        }
        if (!inBlock)
            return;
        if (Line.startsWith(QLatin1String("end"), Qt::CaseInsensitive)) {
            inBlock = false;
            return;
        }
        const QString parameter = parameterName(Line);
        if (parameter.isEmpty())
            return;
        const QString value = SParse::ParseValue(Line);
        if (isNone(value))
            return;
        const auto refer = [&](const char *target, const QString &referred) {
            scan.references.append({file, lineNumber, QLatin1String(target), referred, keyword + QLatin1Char(' ') + name});
        };
        if (keyword == QLatin1String("Object")) {
            if (parameter == QLatin1String("Weapon")) {
                refer("Weapon", value);
            } else if (parameter == QLatin1String("Armor")) {
                refer("Armor", value);
            } else if (parameter == QLatin1String("Locomotor")) {
                for (const QString &locomotor : locomotorNames(Line))
                    refer("Locomotor", locomotor);
            } else if (parameter == QLatin1String("CommandSet")) {
                refer("CommandSet", value);
            }
        } else if (keyword == QLatin1String("CommandSet")) {
            bool slot = false;
            parameter.toInt(&slot);
            if (slot)
                refer("CommandButton", value);
        }
    });
    const QString path = gamePath + QStringLiteral("\\Data\\INI\\") + file;
    if (!GamePaths::FileExists(path)) {
        scan.missing = true;
        scan.problems.append({file, 0, QStringLiteral("missing-file"), QStringLiteral("%1 is missing").arg(file)});
        return;
    }
    loader.OpenFile(path);
    if (inBlock && !(cancelled && cancelled()))
        missingEnd(0);
}

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
    QList<FileScan> scans(dataFiles().size());
    QHash<QString, QSet<QString>> defined;
    for (qsizetype i = 0; i < scans.size(); ++i) {
        if (cancelled && cancelled())
            return {};
        scanFile(gamePath, dataFiles()[i], scans[i], cancelled);
        for (auto it = scans[i].defined.cbegin(); it != scans[i].defined.cend(); ++it)
            defined[it.key()].unite(it.value());
    }
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
    for (const FileScan &scan : scans) {
        if (scan.missing)
            unchecked.insert(definingFile.key(scan.file));
    }
    QList<DataProblem> problems;
    for (const FileScan &scan : scans) {
        QList<DataProblem> fileProblems = scan.problems;
        for (const Reference &ref : scan.references) {
            if (!unchecked.contains(ref.kind) && !defined.value(ref.kind).contains(ref.name.toLower())) {
                fileProblems.append({ref.file, ref.line, kinds.value(ref.kind),
                                     QStringLiteral("%1 names the %2 %3, which no block defines")
                                         .arg(ref.owner, ref.kind, ref.name)});
            }
        }
        std::stable_sort(fileProblems.begin(), fileProblems.end(),
                         [](const DataProblem &a, const DataProblem &b) { return a.line < b.line; });
        problems += fileProblems;
    }
    return problems;
}

} // namespace DataCheck
