#include "completion.h"

#include "blockformat.h"

#include <algorithm>

namespace Completion {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

qsizetype lineStartOf(QByteArrayView text, qsizetype at)
{
    while (at > 0 && text[at - 1] != '\n' && text[at - 1] != '\r')
        --at;
    return at;
}

// The start of the line before the one starting at at (which must be > 0).
qsizetype previousLineStart(QByteArrayView text, qsizetype at)
{
    qsizetype end = at - 1;
    if (end > 0 && text[end] == '\n' && text[end - 1] == '\r')
        --end;
    return lineStartOf(text, end);
}

QByteArrayView lineAt(QByteArrayView text, qsizetype start)
{
    return text.sliced(start, BlockFormat::lineEnd(text, start) - start);
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return text.sliced(b, e - b);
}

// The first word of a line: up to a blank, "=" or ";".
QByteArrayView firstWord(QByteArrayView line)
{
    qsizetype b = 0;
    while (b < line.size() && isBlank(line[b]))
        ++b;
    qsizetype e = b;
    while (e < line.size() && !isBlank(line[e]) && line[e] != '=' && line[e] != ';')
        ++e;
    return line.sliced(b, e - b);
}

bool sameText(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isNumber(QByteArrayView text)
{
    bool ok = false;
    (void)QByteArray(text.data(), text.size()).toInt(&ok);
    return ok;
}

// Walks the lines of text from from to before until, calling line(kind,
// line text, keywords of the blocks open before it) for each, blank and
// comment lines included. Returns the keywords open after the last line.
template<typename F>
QList<QByteArray> walk(QByteArrayView text, qsizetype from, qsizetype until, F line)
{
    QList<QByteArray> open;
    // The next line that holds code, which tells whether a line opens a
    // sub-block; found once for a whole run of blank and comment lines.
    qsizetype code = -1;
    qsizetype at = from;
    while (at < until && at < text.size()) {
        const QByteArrayView current = lineAt(text, at);
        const qsizetype next = BlockFormat::nextLineStart(text, at);
        if (code < next) {
            code = next;
            while (code < text.size()) {
                const BlockFormat::Kind k = BlockFormat::kindOf(lineAt(text, code), 0, {});
                if (k != BlockFormat::Kind::Blank && k != BlockFormat::Kind::Comment)
                    break;
                code = BlockFormat::nextLineStart(text, code);
            }
        }
        const QByteArrayView following = code < text.size() ? lineAt(text, code) : QByteArrayView();
        const BlockFormat::Kind kind = BlockFormat::kindOf(current, int(open.size()), following);
        line(kind, current, open);
        switch (kind) {
        case BlockFormat::Kind::Header:
            open = {firstWord(current).toByteArray().toLower()};
            break;
        case BlockFormat::Kind::SubBlock:
            if (!open.isEmpty())
                open.append(firstWord(current).toByteArray().toLower());
            break;
        case BlockFormat::Kind::End:
            if (!open.isEmpty())
                open.removeLast();
            break;
        case BlockFormat::Kind::TopEnd:
            open.clear();
            break;
        default:
            break;
        }
        at = next;
    }
    return open;
}

} // namespace

Context contextAt(QByteArrayView text, qsizetype caret)
{
    caret = std::clamp<qsizetype>(caret, 0, text.size());
    const qsizetype start = lineStartOf(text, caret);
    const QByteArrayView before = text.sliced(start, caret - start);
    // Nothing in a comment, and nothing on a first-column line (a header,
    // an End, a line outside any block).
    if (before.contains(';') || before.isEmpty() || !isBlank(before[0]))
        return {};

    // The header of the caret's block: the nearest first-column line with code.
    qsizetype header = -1;
    qsizetype at = start;
    for (int n = 0; at > 0 && n < kMaxBlockLines; ++n) {
        at = previousLineStart(text, at);
        const QByteArrayView line = lineAt(text, at);
        if (line.isEmpty() || isBlank(line[0]) || line[0] == ';')
            continue;
        if (BlockFormat::kindOf(line, 0, {}) == BlockFormat::Kind::Header)
            header = at;
        break;
    }
    if (header < 0)
        return {};
    const QList<QByteArray> open = walk(text, header, start, [](BlockFormat::Kind, QByteArrayView, const QList<QByteArray> &) {});
    if (open.isEmpty())
        return {};
    const QByteArray &top = open.first();

    const qsizetype equals = before.indexOf('=');
    if (equals < 0) {
        // A parameter's name is the one word of the line, and the caret is
        // at its end (or on a line of blanks).
        const QByteArrayView word = trimmed(before);
        if (!before.endsWith(word) || word.contains(' ') || word.contains('\t') || open.last().isEmpty())
            return {};
        return {Context::Parameter, open.last(), caret - word.size(), word.toByteArray()};
    }
    // The word at the caret: back to a blank or the "=".
    qsizetype wordStart = caret - start;
    while (wordStart > equals + 1 && !isBlank(before[wordStart - 1]))
        --wordStart;
    const QByteArray prefix = before.sliced(wordStart).toByteArray();
    const QByteArrayView parameter = trimmed(before.first(equals));
    QByteArray kind;
    if (top == "object") {
        // As the index reads these lines: the parameter's name exactly.
        for (const char *name : {"Weapon", "Armor", "CommandSet", "Locomotor"}) {
            if (parameter == QByteArrayView(name))
                kind = name;
        }
    } else if (top == "commandset" && isNumber(parameter)) {
        kind = "CommandButton";
    }
    if (kind.isEmpty())
        return {};
    return {Context::Name, kind, start + wordStart, prefix};
}

QHash<QByteArray, QList<QByteArray>> parameterNames(QByteArrayView text)
{
    QHash<QByteArray, QList<QByteArray>> names;
    QHash<QByteArray, QHash<QByteArray, int>> seen; // keyword -> lower-case name -> place in names
    walk(text, 0, text.size(), [&](BlockFormat::Kind kind, QByteArrayView line, const QList<QByteArray> &open) {
        if (open.isEmpty() || (kind != BlockFormat::Kind::Parameter && kind != BlockFormat::Kind::SubBlock))
            return;
        const QByteArrayView word = firstWord(line);
        if (word.isEmpty())
            return;
        const QByteArray lower = word.toByteArray().toLower();
        QHash<QByteArray, int> &known = seen[open.last()];
        if (!known.contains(lower)) {
            known.insert(lower, 0);
            names[open.last()].append(word.toByteArray());
        }
    });
    for (QList<QByteArray> &list : names) {
        std::sort(list.begin(), list.end(),
                  [](const QByteArray &a, const QByteArray &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    }
    return names;
}

QList<QByteArray> narrowed(const QList<QByteArray> &sorted, QByteArrayView prefix)
{
    QList<QByteArray> out;
    for (const QByteArray &entry : sorted) {
        if (entry.size() >= prefix.size() && sameText(QByteArrayView(entry).first(prefix.size()), prefix))
            out.append(entry);
    }
    return out;
}

} // namespace Completion
