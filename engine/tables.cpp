#include "tables.h"

#include "datacheck.h"
#include "dataindex.h"
#include "tvitem.h"

#include "platform/eventyield.h"
#include "platform/gamepath.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtAlgorithms>

#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

struct BodyLine
{
    int indent = 0;
    bool end = false;
    QStringView text; // trimmed, without its comment; empty for blank and comment lines
};

// Lines are short: a loop of our own finds a character sooner than a call to
// the library's search does.
qsizetype find(QStringView text, char16_t c)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    // Eight characters at a time while whole groups of eight remain.
    const __m128i wanted = _mm_set1_epi16(short(c));
    for (; i + 8 <= text.size(); i += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text.utf16() + i));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(chars, wanted));
        if (mask != 0)
            return i + qCountTrailingZeroBits(uint(mask)) / 2;
    }
#endif
    for (; i < text.size(); ++i) {
        if (text[i].unicode() == c)
            return i;
    }
    return -1;
}

// QStringView::trimmed for a text known to have no blanks at the start, and one
// known to have none at the end.
QStringView trimmedEnd(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace())
        --end;
    return text.first(end);
}

QStringView trimmedStart(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    return text.sliced(start);
}

// Without wantText, the text of a line that is neither blank, a comment nor
// an End line may be left as the whole rest of the line: it is not empty,
// and only that is looked at.
BodyLine bodyLine(QStringView line, bool wantText = true)
{
    BodyLine result;
    qsizetype i = 0;
    while (i < line.size() && line[i] == QLatin1Char(' '))
        ++i;
    result.indent = int(i);
    for (; i < line.size() && line[i].isSpace(); ++i)
        result.indent = line[i] == QLatin1Char('\t') ? (result.indent / 8 + 1) * 8 : result.indent + 1;
    QStringView text = line.mid(i);
    if (!wantText && !text.isEmpty() && text[0] != QLatin1Char(';')) {
        // An End line, as below: "end" in any case, then nothing, a comment or a blank.
        const qsizetype n = text.size();
        const bool ascii = text[0].unicode() < 0x80 && (n < 2 || text[1].unicode() < 0x80) && (n < 3 || text[2].unicode() < 0x80);
        if (ascii) {
            result.text = text;
            result.end = n >= 3 && (text[0].unicode() | 0x20) == u'e' && (text[1].unicode() | 0x20) == u'n'
                && (text[2].unicode() | 0x20) == u'd' && (n == 3 || text[3] == QLatin1Char(';') || text[3].isSpace());
            return result;
        }
    }
    const qsizetype semi = find(text, u';');
    if (semi >= 0)
        text.truncate(semi);
    // The blanks at the start are passed over already.
    result.text = trimmedEnd(text);
    // "End", alone or before a blank: the first word.
    const QStringView t = result.text;
    const bool asciiEnd = t.size() >= 3 && (t[0].unicode() | 0x20) == u'e' && (t[1].unicode() | 0x20) == u'n'
        && (t[2].unicode() | 0x20) == u'd';
    const bool maybeEnd = asciiEnd || (t.size() >= 3 && (t[0].unicode() > 0x7f || t[1].unicode() > 0x7f || t[2].unicode() > 0x7f));
    if (maybeEnd && t.startsWith(QLatin1String("end"), Qt::CaseInsensitive)) {
        const QStringView rest = result.text.mid(3);
        result.end = rest.isEmpty() || rest[0].isSpace();
    }
    return result;
}

// The top-level parameters of every record, for CSV and TSV: the names and
// values lie one after another in one string instead of a string each, and
// each parameter knows its column.
struct Span
{
    qsizetype start = 0;
    qsizetype size = 0;
};

struct FlatField
{
    int column = -1;
    Span key; // in the open record's keys, until the record is closed
    Span value;
};

struct FlatRow
{
    Span name;
    QString file;
    int line = 0;
    qsizetype firstField = 0; // its fields run to the next row's first field
};

class FlatTable
{
public:
    QStringList header{QStringLiteral("name"), QStringLiteral("file"), QStringLiteral("line")};
    std::vector<FlatRow> rows;
    std::vector<FlatField> fields;

    QStringView text(Span span) const { return QStringView(m_text).mid(span.start, span.size); }
    qsizetype textSize() const { return m_text.size(); }

    void openRow(QStringView name, const QString &file, int line)
    {
        rows.push_back({add(m_text, name), file, line, qsizetype(fields.size())});
    }
    void addField(QStringView key, QStringView value)
    {
        // The key the previous row had at this position is the usual one,
        // and already has its column; any other waits for closeRow().
        const qsizetype position = qsizetype(fields.size()) - rows.back().firstField;
        if (position < qsizetype(m_lastKeys.size()) && m_lastKeys[size_t(position)].first == key)
            fields.push_back({m_lastKeys[size_t(position)].second, {}, add(m_text, value)});
        else
            fields.push_back({-1, add(m_keys, key), add(m_text, value)});
    }
    void dropField()
    {
        m_text.truncate(fields.back().value.start);
        if (fields.back().column < 0)
            m_keys.truncate(fields.back().key.start);
        fields.pop_back();
    }
    // Gives the open row's fields their columns; a key not seen before gets a
    // new column at the end.
    void closeRow()
    {
        const qsizetype first = rows.back().firstField;
        for (qsizetype f = first; f < qsizetype(fields.size()); ++f) {
            FlatField &field = fields[size_t(f)];
            if (field.column < 0)
                field.column = column(QStringView(m_keys).mid(field.key.start, field.key.size), f - first);
        }
        m_keys.clear();
    }

private:
    static Span add(QString &to, QStringView text)
    {
        const Span span{to.size(), text.size()};
        to.append(text);
        return span;
    }

    // Keys come in the same order from block to block: the key at the same
    // position in the previous row is tried before the table of all keys.
    int column(QStringView key, qsizetype position)
    {
        if (position < qsizetype(m_lastKeys.size()) && m_lastKeys[size_t(position)].first == key)
            return m_lastKeys[size_t(position)].second;
        auto it = m_columns.constFind(key);
        if (it == m_columns.cend()) {
            header.append(key.toString());
            // The view shares the header's characters, which never move.
            it = m_columns.insert(QStringView(header.last()), int(header.size() - 1));
        }
        const std::pair<QStringView, int> known{it.key(), *it};
        if (position < qsizetype(m_lastKeys.size()))
            m_lastKeys[size_t(position)] = known;
        else
            m_lastKeys.push_back(known);
        return known.second;
    }

    QString m_text; // the names and values
    QString m_keys; // the open row's keys
    QHash<QStringView, int> m_columns;
    std::vector<std::pair<QStringView, int>> m_lastKeys;
};

// Reads a block's lines one at a time into its parameters and nested blocks.
// Whether a line opens a nested block is known only from the next line, so a
// line is taken first as a parameter and turned into a block header when the
// next line shows it opens one. Without nested blocks kept, only the top
// level's parameters are made, and the keys repeat from block to block, so
// the previous block's key strings are shared.
class BodyParser
{
public:
    BodyParser(TableBlock &root, bool nested, QList<QString> *sharedKeys)
        : m_nested(nested)
        , m_sharedKeys(sharedKeys)
    {
        m_open.push_back(&root);
    }
    // The top-level parameters go to the open row of flat.
    explicit BodyParser(FlatTable &flat)
        : m_nested(false)
        , m_sharedKeys(nullptr)
        , m_flat(&flat)
    {
    }

    void addLine(QStringView line)
    {
        // Below the top level, without nested blocks kept, a line's text
        // is never kept.
        const BodyLine parsed = bodyLine(line, m_nested || m_depth == 0);
        if (parsed.text.isEmpty())
            return;
        if (m_pending) {
            const bool opens = parsed.indent > m_pendingIndent || (parsed.end && parsed.indent == m_pendingIndent);
            if (opens)
                openPending();
        }
        m_pending = false;
        if (parsed.end) {
            // A stray End at the top of the block closes nothing.
            if (m_depth > 0) {
                --m_depth;
                if (m_nested)
                    m_open.pop_back();
            }
            return;
        }
        m_pending = true;
        m_pendingIndent = parsed.indent;
        if (m_depth > 0 && !m_nested)
            return;
        if (m_nested)
            m_pendingText = parsed.text.toString();
        addParam(parsed.text);
    }

private:
    void addParam(QStringView text)
    {
        // text is trimmed already: the key needs no trimming at its start,
        // the value none at its end.
        const qsizetype eq = find(text, u'=');
        const QStringView key = eq < 0 ? text : trimmedEnd(text.first(eq));
        if (m_flat) {
            m_flat->addField(key, eq < 0 ? QStringView() : trimmedStart(text.sliced(eq + 1)));
            return;
        }
        QString value = eq < 0 ? QString() : trimmedStart(text.sliced(eq + 1)).toString();
        QList<TableParam> &params = m_open.back()->params;
        QString keyText;
        const qsizetype position = params.size();
        if (m_sharedKeys && m_depth == 0) {
            if (position < m_sharedKeys->size() && (*m_sharedKeys)[position] == key) {
                keyText = (*m_sharedKeys)[position];
            } else {
                keyText = key.toString();
                if (position < m_sharedKeys->size())
                    (*m_sharedKeys)[position] = keyText;
                else
                    m_sharedKeys->append(keyText);
            }
        } else {
            keyText = key.toString();
        }
        params.append({std::move(keyText), std::move(value)});
    }

    // The pending line opens a block: it is no parameter after all.
    void openPending()
    {
        if (m_flat && m_depth == 0)
            m_flat->dropField();
        else if (m_nested || m_depth == 0)
            m_open.back()->params.removeLast();
        ++m_depth;
        if (m_nested) {
            TableBlock *parent = m_open.back();
            parent->blocks.append(TableBlock{m_pendingText, {}, {}});
            m_open.push_back(&parent->blocks.last());
        }
    }

    bool m_nested;
    QList<QString> *m_sharedKeys;
    FlatTable *m_flat = nullptr;
    std::vector<TableBlock *> m_open; // the root and, when nested blocks are kept, each open block
    int m_depth = 0;                  // how many nested blocks are open
    bool m_pending = false;           // the last line may still open a block
    int m_pendingIndent = 0;
    QString m_pendingText;
};

QJsonArray paramsJson(const QList<TableParam> &params)
{
    QJsonArray out;
    for (const TableParam &p : params)
        out.append(QJsonArray{p.first, p.second});
    return out;
}

QJsonArray blocksJson(const QList<TableBlock> &blocks)
{
    QJsonArray out;
    for (const TableBlock &b : blocks)
        out.append(QJsonObject{{"header", b.header}, {"params", paramsJson(b.params)}, {"blocks", blocksJson(b.blocks)}});
    return out;
}

// Appends text as UTF-8; most game text is ASCII and is copied as it is.
void appendUtf8(QByteArray &out, QStringView text)
{
    const qsizetype size = out.size();
    out.resize(size + text.size());
    char *to = out.data() + size;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() >= 0x80) {
            out.resize(size + i);
            out += text.mid(i).toUtf8();
            return;
        }
        to[i] = char(text[i].unicode());
    }
}

// One field of a TSV row: a tab, CR or LF inside it as \t, \r, \n.
void appendTsvField(QByteArray &out, QStringView text)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\t' && c != u'\r' && c != u'\n')
            continue;
        appendUtf8(out, text.mid(from, i - from));
        out += c == u'\t' ? "\\t" : c == u'\r' ? "\\r" : "\\n";
        from = i + 1;
    }
    appendUtf8(out, text.mid(from));
}

// One field of a CSV row, quoted when it holds a comma, a quote, CR or LF.
void appendCsvField(QByteArray &out, QStringView text)
{
    bool quote = false;
    for (const QChar c : text) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
            quote = true;
            break;
        }
    }
    if (!quote) {
        appendUtf8(out, text);
        return;
    }
    out += '"';
    QString doubled = text.toString();
    doubled.replace(QLatin1String("\""), QLatin1String("\"\""));
    appendUtf8(out, doubled);
    out += '"';
}

FlatTable flatten(const QList<TableRecord> &records)
{
    FlatTable flat;
    for (const TableRecord &record : records) {
        flat.openRow(record.name, record.file, record.line);
        for (const TableParam &p : record.params)
            flat.addField(p.first, p.second);
        flat.closeRow();
    }
    return flat;
}

// The header row and one row per record; each field written by field.
QByteArray writeRows(const FlatTable &table, char separator, const char *lineEnd, void (*field)(QByteArray &, QStringView))
{
    const QStringList &header = table.header;
    QByteArray out;
    // Room for the text and a separator per field, file and line number: the
    // rows are written without growing the buffer again and again.
    out.reserve(table.textSize() + qsizetype(table.rows.size()) * (header.size() + 48));
    const auto endRow = [&] { out += lineEnd; };
    for (qsizetype c = 0; c < header.size(); ++c) {
        if (c)
            out += separator;
        field(out, header[c]);
    }
    endRow();
    std::vector<qsizetype> first;
    std::vector<qsizetype> next;
    QString joined;
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const FlatRow &row = table.rows[r];
        const qsizetype begin = row.firstField;
        const qsizetype end = r + 1 < table.rows.size() ? table.rows[r + 1].firstField : qsizetype(table.fields.size());
        const auto column = [&](qsizetype f) { return size_t(table.fields[size_t(f)].column); };
        const auto value = [&](qsizetype f) { return table.text(table.fields[size_t(f)].value); };
        // Each column's parameters in block order: its first, then a chain.
        first.assign(size_t(header.size()), -1);
        next.assign(size_t(end - begin), -1);
        for (qsizetype f = end - 1; f >= begin; --f) {
            next[size_t(f - begin)] = first[column(f)];
            first[column(f)] = f;
        }
        field(out, table.text(row.name));
        out += separator;
        field(out, row.file);
        out += separator;
        out += QByteArray::number(row.line);
        for (qsizetype c = 3; c < header.size(); ++c) {
            out += separator;
            qsizetype f = first[size_t(c)];
            if (f < 0)
                continue;
            if (next[size_t(f - begin)] < 0) {
                field(out, value(f));
                continue;
            }
            joined.clear();
            for (; f >= 0; f = next[size_t(f - begin)]) {
                if (f != first[size_t(c)])
                    joined += QLatin1String(" | ");
                joined += value(f);
            }
            field(out, joined);
        }
        endRow();
    }
    return out;
}

// Calls open(block, file) for each block of the keyword, body(line) for each
// line between its header and End line, and close() when it ends. False when
// cancelled returns true (asked between lines).
template<typename Open, typename Body, typename Close>
bool readBlocks(const QString &gamePath, const QString &keyword, const std::function<bool()> &cancelled, Open open,
                Body body, Close close)
{
    TVItem loader;
    bool stopped = false;
    for (const QString &file : DataCheck::dataFiles()) {
        const QString path = gamePath + QStringLiteral("\\Data\\INI\\") + file;
        if (!GamePaths::FileExists(path))
            continue;
        FileIndex index;
        FileIndexBuilder builder(index, false);
        bool inside = false;
        const auto leave = [&] {
            if (inside)
                close();
            inside = false;
        };
        loader.setViewHandler([&](QStringView line) {
            EventYield::yield();
            if (stopped || (cancelled && (stopped = cancelled())))
                return;
            switch (builder.addLine(line)) {
            case FileIndexBuilder::Header: {
                leave();
                // Only the open block is needed; the rest of the index would only grow.
                if (index.blocks.size() > 1)
                    index.blocks.removeFirst();
                const IndexBlock &block = index.blocks.last();
                if (block.kind == keyword) {
                    open(block, file);
                    inside = true;
                }
                break;
            }
            case FileIndexBuilder::Body:
                if (inside)
                    body(line);
                break;
            case FileIndexBuilder::End:
                leave();
                break;
            case FileIndexBuilder::Outside:
                break;
            }
        });
        loader.OpenFile(path);
        if (stopped)
            return false;
        leave();
    }
    return true;
}

} // namespace

namespace Tables {

const QStringList &kinds()
{
    static const QStringList names{"objects", "weapons", "armours", "locomotors", "commandbuttons", "commandsets"};
    return names;
}

std::optional<QString> keywordOf(const QString &kind)
{
    const qsizetype i = kinds().indexOf(kind);
    if (i < 0)
        return std::nullopt;
    return DataIndex::keywords()[i];
}

TableBlock parseBody(const QStringList &lines, bool nested)
{
    TableBlock root;
    BodyParser parser(root, nested, nullptr);
    for (const QString &line : lines)
        parser.addLine(line);
    return root;
}

QList<TableRecord> read(const QString &gamePath, const QString &keyword, bool nested,
                        const std::function<bool()> &cancelled)
{
    QList<TableRecord> records;
    QList<QString> sharedKeys;
    std::optional<TableBlock> body;
    std::optional<BodyParser> parser;
    const bool done = readBlocks(
        gamePath, keyword, cancelled,
        [&](const IndexBlock &block, const QString &file) {
            records.append({block.name, file, block.line, {}, {}});
            body.emplace();
            parser.emplace(*body, nested, &sharedKeys);
        },
        [&](QStringView line) { parser->addLine(line); },
        [&] {
            parser.reset();
            records.last().params = std::move(body->params);
            records.last().blocks = std::move(body->blocks);
            body.reset();
        });
    return done ? records : QList<TableRecord>();
}

QByteArray json(const QList<TableRecord> &records)
{
    QJsonArray out;
    for (const TableRecord &r : records) {
        out.append(QJsonObject{{"name", r.name},
                               {"file", r.file},
                               {"line", r.line},
                               {"params", paramsJson(r.params)},
                               {"blocks", blocksJson(r.blocks)}});
    }
    return QJsonDocument(out).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray csv(const QList<TableRecord> &records)
{
    return writeRows(flatten(records), ',', "\r\n", appendCsvField);
}

QByteArray tsv(const QList<TableRecord> &records)
{
    return writeRows(flatten(records), '\t', "\n", appendTsvField);
}

void csvField(QByteArray &out, QStringView text)
{
    appendCsvField(out, text);
}

void tsvField(QByteArray &out, QStringView text)
{
    appendTsvField(out, text);
}

QByteArray rows(const QString &gamePath, const QString &keyword, Format format)
{
    FlatTable flat;
    std::optional<BodyParser> parser;
    readBlocks(
        gamePath, keyword, {},
        [&](const IndexBlock &block, const QString &file) {
            flat.openRow(block.name, file, block.line);
            parser.emplace(flat);
        },
        [&](QStringView line) { parser->addLine(line); },
        [&] {
            parser.reset();
            flat.closeRow();
        });
    return format == Csv ? writeRows(flat, ',', "\r\n", appendCsvField) : writeRows(flat, '\t', "\n", appendTsvField);
}

} // namespace Tables
