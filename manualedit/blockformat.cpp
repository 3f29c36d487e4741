#include "blockformat.h"

#include <cstring>

namespace BlockFormat {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

// The part of a line before its comment.
QByteArrayView codeOf(QByteArrayView line)
{
    const qsizetype semicolon = line.indexOf(';');
    return semicolon < 0 ? line : line.first(semicolon);
}

qsizetype firstNonSpace(QByteArrayView text, qsizetype from = 0)
{
    while (from < text.size() && isSpace(text[from]))
        ++from;
    return from;
}

// One past the last character that is not a space, or from when there is none.
qsizetype endOfText(QByteArrayView text, qsizetype from = 0)
{
    qsizetype end = text.size();
    while (end > from && isSpace(text[end - 1]))
        --end;
    return end;
}

// The column the text starts at, with tab stops every eight columns.
int indentOf(QByteArrayView line)
{
    int column = 0;
    for (const char c : line) {
        if (c == '\t')
            column = (column / 8 + 1) * 8;
        else if (isSpace(c))
            ++column;
        else
            break;
    }
    return column;
}

bool equalsEnd(QByteArrayView word)
{
    return word.size() == 3 && QByteArrayView(word).compare("end", Qt::CaseInsensitive) == 0;
}

bool isIndentedEnd(QByteArrayView code)
{
    const qsizetype first = firstNonSpace(code);
    return first > 0 && equalsEnd(code.sliced(first, endOfText(code, first) - first));
}

} // namespace

Kind kindOf(QByteArrayView line, int depth, QByteArrayView next)
{
    const QByteArrayView code = codeOf(line);
    const qsizetype first = firstNonSpace(code);
    if (first == code.size())
        return first == line.size() ? Kind::Blank : Kind::Comment;
    const bool hasValue = code.indexOf('=') >= 0;
    if (first == 0) {
        // The game ends a block at any first-column line that begins with
        // "end" in any case, even "Endurance"; showing it as an end line is
        // the warning the user needs.
        if (code.size() >= 3 && code.first(3).compare("end", Qt::CaseInsensitive) == 0)
            return Kind::TopEnd;
        return hasValue ? Kind::Parameter : Kind::Header;
    }
    if (equalsEnd(code.sliced(first, endOfText(code, first) - first)))
        return Kind::End;
    if (depth > 0 && !next.isEmpty()) {
        const int indent = indentOf(line);
        const int nextIndent = indentOf(next);
        // "ArmorSet" holds deeper lines; an empty sub-block is a line without
        // a value followed by an End of its own indent.
        if (nextIndent > indent || (!hasValue && nextIndent == indent && isIndentedEnd(codeOf(next))))
            return Kind::SubBlock;
    }
    return Kind::Parameter;
}

int levelOf(Kind kind, int depth)
{
    switch (kind) {
    case Kind::Header:
        return 0;
    case Kind::TopEnd:
        return depth > 0 ? 1 : 0;
    default:
        return depth;
    }
}

int depthAfter(Kind kind, int depth)
{
    switch (kind) {
    case Kind::Header:
        return 1;
    case Kind::SubBlock:
        return depth + 1;
    case Kind::End:
        return depth > 0 ? depth - 1 : 0;
    case Kind::TopEnd:
        return 0;
    default:
        return depth;
    }
}

QList<Span> spans(QByteArrayView line, Kind kind)
{
    QList<Span> result;
    const qsizetype semicolon = line.indexOf(';');
    const QByteArrayView code = semicolon < 0 ? line : line.first(semicolon);
    const qsizetype first = firstNonSpace(code);
    const qsizetype end = endOfText(code, first);
    auto add = [&](qsizetype from, qsizetype to, Style style) {
        if (to > from)
            result.append({int(from), int(to - from), style});
    };

    if (first < end) {
        if (kind == Kind::End || kind == Kind::TopEnd) {
            add(first, end, End);
        } else {
            // A name and its value: split at "=", or at the first space of a
            // line without one ("Pose DEFAULT", "Conditions None").
            qsizetype nameEnd;
            qsizetype valueStart;
            const qsizetype equals = code.indexOf('=', first);
            if (equals >= 0) {
                nameEnd = endOfText(code.first(equals), first);
                valueStart = firstNonSpace(code, equals + 1);
            } else {
                nameEnd = first;
                while (nameEnd < end && !isSpace(code[nameEnd]))
                    ++nameEnd;
                valueStart = firstNonSpace(code, nameEnd);
            }
            const Style name = kind == Kind::Header ? Header : kind == Kind::SubBlock ? SubBlock : Parameter;
            add(first, nameEnd, name);
            add(valueStart, end, kind == Kind::Header ? HeaderName : Value);
        }
    }
    if (semicolon >= 0)
        add(semicolon, line.size(), Comment);
    return result;
}

qsizetype lineEnd(QByteArrayView text, qsizetype from)
{
    const char *data = text.data();
    const qsizetype size = text.size();
    for (qsizetype i = from; i < size; ++i) {
        if (data[i] == '\n' || data[i] == '\r')
            return i;
    }
    return size;
}

qsizetype nextLineStart(QByteArrayView text, qsizetype from)
{
    const qsizetype end = lineEnd(text, from);
    if (end == text.size())
        return end;
    return (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? end + 2 : end + 1;
}

QList<Heading> headings(QByteArrayView text)
{
    QList<Heading> result;
    int line = 0;
    for (qsizetype from = 0; from < text.size(); ++line) {
        const qsizetype end = lineEnd(text, from);
        const char c = text[from];
        // Most lines are indented body text, blank or comments.
        if (end > from && !isSpace(c) && c != ';') {
            const QByteArrayView view = text.sliced(from, end - from);
            if (kindOf(view, 0, {}) == Kind::Header) {
                const QByteArrayView code = codeOf(view);
                qsizetype keywordEnd = 0;
                while (keywordEnd < code.size() && !isSpace(code[keywordEnd]))
                    ++keywordEnd;
                const qsizetype nameStart = firstNonSpace(code, keywordEnd);
                qsizetype nameEnd = nameStart;
                while (nameEnd < code.size() && !isSpace(code[nameEnd]))
                    ++nameEnd;
                result.append({line, code.first(keywordEnd).toByteArray(),
                               code.sliced(nameStart, nameEnd - nameStart).toByteArray()});
            }
        }
        if (end == text.size())
            break;
        from = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? end + 2 : end + 1;
    }
    return result;
}

} // namespace BlockFormat
