#include "textcheck.h"

#include "engine/tvitem.h"
#include "platform/codepage.h"

#include <algorithm>

namespace TextCheck {

namespace {

// The byte length of the UTF-8 sequence that starts with lead.
qsizetype sequenceLength(unsigned char lead)
{
    if (lead < 0xC0)
        return 1;
    if (lead < 0xE0)
        return 2;
    return lead < 0xF0 ? 3 : 4;
}

} // namespace

Result run(const DataIndex &base, int fileIndex, const QByteArray &utf8)
{
    Result result;
    result.index = base;
    // Text of ASCII alone is the same in the game's code page: most data
    // files are, and a copy of a large one costs more than the look.
    const bool ascii = std::all_of(utf8.cbegin(), utf8.cend(), [](char c) { return (c & 0x80) == 0; });
    result.index.setFile(fileIndex, FileIndex::fromText(ascii ? utf8 : CodePage::fromUtf8(utf8.constData(), utf8.size())));
    result.problems = DataCheck::check(result.index, fileIndex);
    result.marks = marksOf(result.problems, utf8);
    return result;
}

QList<Mark> marksOf(const QList<DataProblem> &problems, QByteArrayView utf8)
{
    QList<Mark> marks;
    marks.reserve(problems.size());
    qsizetype lineStart = 0;
    int line = 1;
    for (const DataProblem &problem : problems) {
        if (problem.line < line)
            continue; // out of order: not from one file's check
        while (line < problem.line && lineStart < utf8.size()) {
            const qsizetype cr = utf8.indexOf('\r', lineStart);
            if (cr < 0) {
                lineStart = utf8.size();
                break;
            }
            lineStart = cr + 1 < utf8.size() && utf8[cr + 1] == '\n' ? cr + 2 : cr + 1;
            ++line;
        }
        if (line < problem.line)
            break;
        // The game's line runs to its CR; a lone LF is text within it.
        qsizetype lineEnd = utf8.indexOf('\r', lineStart);
        if (lineEnd < 0)
            lineEnd = utf8.size();
        qsizetype from = lineStart;
        qsizetype to = lineEnd;
        if (problem.column >= 0) {
            // Columns count the characters of the game's code page, each one
            // UTF-8 sequence here.
            auto advance = [&](qsizetype at, int characters) {
                while (characters-- > 0 && at < lineEnd)
                    at = std::min(lineEnd, at + sequenceLength(static_cast<unsigned char>(utf8[at])));
                return at;
            };
            from = advance(lineStart, problem.column);
            to = advance(from, problem.length);
        }
        marks.append({from, to, problem.message});
    }
    std::stable_sort(marks.begin(), marks.end(), [](const Mark &a, const Mark &b) { return a.from < b.from; });
    return marks;
}

QList<QByteArray> definedNames(const DataIndex &index, const QString &keyword)
{
    QList<QByteArray> names;
    for (int i = 0; i < index.fileCount(); ++i) {
        for (const IndexBlock &block : index.file(i).blocks) {
            if (block.kind == keyword)
                names.append(block.name.toUtf8());
        }
    }
    const auto less = [](const QByteArray &a, const QByteArray &b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
    std::stable_sort(names.begin(), names.end(), less);
    names.erase(std::unique(names.begin(), names.end(),
                            [](const QByteArray &a, const QByteArray &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }),
                names.end());
    return names;
}

QStringList cardRows(const DataIndex &index, const QString &gamePath, const QString &name, int shownFile,
                     QByteArrayView shownUtf8)
{
    const QList<IndexHit> hits = index.definitions(name);
    if (hits.isEmpty())
        return {};
    const IndexHit &hit = hits.first();
    int stop = hit.line + 1;
    for (const IndexBlock &block : index.file(hit.fileIndex).blocks) {
        if (block.line == hit.line)
            stop = block.endLine ? block.endLine : block.lastLine + 1;
    }
    QStringList rows{hit.kind + QLatin1Char(' ') + hit.name, QStringLiteral("%1, line %2").arg(hit.file).arg(hit.line)};
    constexpr int kMaxValues = 10;
    int number = 0;
    TVItem loader;
    loader.setViewHandler([&](QStringView line) {
        ++number;
        if (number <= hit.line || number >= stop || rows.size() >= 2 + kMaxValues)
            return;
        const qsizetype semicolon = line.indexOf(QLatin1Char(';'));
        const QStringView code = (semicolon < 0 ? line : line.left(semicolon)).trimmed();
        if (!code.isEmpty())
            rows.append(code.toString());
    });
    if (hit.fileIndex == shownFile)
        loader.ReadText(CodePage::fromUtf8(shownUtf8.data(), shownUtf8.size()));
    else
        loader.OpenFile(gamePath + QStringLiteral("\\Data\\INI\\") + hit.file);
    return rows;
}

} // namespace TextCheck
