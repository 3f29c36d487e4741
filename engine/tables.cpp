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

#include <vector>

namespace {

struct BodyLine
{
    int indent = 0;
    bool end = false;
    QStringView text; // trimmed, without its comment; empty for blank and comment lines
};

BodyLine bodyLine(QStringView line)
{
    BodyLine result;
    qsizetype i = 0;
    while (i < line.size() && line[i] == QLatin1Char(' '))
        ++i;
    result.indent = int(i);
    for (; i < line.size() && line[i].isSpace(); ++i)
        result.indent = line[i] == QLatin1Char('\t') ? (result.indent / 8 + 1) * 8 : result.indent + 1;
    QStringView text = line.mid(i);
    const qsizetype semi = text.indexOf(QLatin1Char(';'));
    if (semi >= 0)
        text.truncate(semi);
    result.text = text.trimmed();
    // "End", alone or before a blank: the first word.
    if (result.text.startsWith(QLatin1String("end"), Qt::CaseInsensitive)) {
        const QStringView rest = result.text.mid(3);
        result.end = rest.isEmpty() || rest[0].isSpace();
    }
    return result;
}

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

    void addLine(QStringView line)
    {
        const BodyLine parsed = bodyLine(line);
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
        const qsizetype eq = text.indexOf(QLatin1Char('='));
        const QStringView key = eq < 0 ? text : text.left(eq).trimmed();
        QString value = eq < 0 ? QString() : text.mid(eq + 1).trimmed().toString();
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
        if (m_nested || m_depth == 0)
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

// The header row and one row per record; each field written by field.
QByteArray rows(const QList<TableRecord> &records, char separator, const char *lineEnd,
                void (*field)(QByteArray &, QStringView))
{
    QStringList header{QStringLiteral("name"), QStringLiteral("file"), QStringLiteral("line")};
    QHash<QString, int> column;
    std::vector<std::vector<int>> columnsOf(size_t(records.size()));
    for (qsizetype r = 0; r < records.size(); ++r) {
        std::vector<int> &columns = columnsOf[size_t(r)];
        columns.reserve(size_t(records[r].params.size()));
        for (const TableParam &p : records[r].params) {
            auto it = column.constFind(p.first);
            if (it == column.cend()) {
                it = column.insert(p.first, int(header.size()));
                header.append(p.first);
            }
            columns.push_back(*it);
        }
    }
    QByteArray out;
    const auto endRow = [&] { out += lineEnd; };
    for (qsizetype c = 0; c < header.size(); ++c) {
        if (c)
            out += separator;
        field(out, header[c]);
    }
    endRow();
    std::vector<int> first;
    std::vector<int> next;
    for (qsizetype r = 0; r < records.size(); ++r) {
        const TableRecord &record = records[r];
        const std::vector<int> &columns = columnsOf[size_t(r)];
        // Each column's parameters in block order: its first, then a chain.
        first.assign(size_t(header.size()), -1);
        next.assign(columns.size(), -1);
        for (qsizetype p = qsizetype(columns.size()) - 1; p >= 0; --p) {
            next[size_t(p)] = first[size_t(columns[size_t(p)])];
            first[size_t(columns[size_t(p)])] = int(p);
        }
        field(out, record.name);
        out += separator;
        field(out, record.file);
        out += separator;
        out += QByteArray::number(record.line);
        for (qsizetype c = 3; c < header.size(); ++c) {
            out += separator;
            int p = first[size_t(c)];
            if (p < 0)
                continue;
            if (next[size_t(p)] < 0) {
                field(out, record.params[p].second);
                continue;
            }
            QString joined;
            for (; p >= 0; p = next[size_t(p)]) {
                if (!joined.isEmpty() || p != first[size_t(c)])
                    joined += QLatin1String(" | ");
                joined += record.params[p].second;
            }
            field(out, joined);
        }
        endRow();
    }
    return out;
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
    const QStringList &files = DataCheck::dataFiles();
    QList<TableRecord> records;
    QList<QString> sharedKeys;
    TVItem loader;
    bool stopped = false;
    for (const QString &file : files) {
        const QString path = gamePath + QStringLiteral("\\Data\\INI\\") + file;
        if (!GamePaths::FileExists(path))
            continue;
        FileIndex index;
        FileIndexBuilder builder(index, false);
        std::optional<TableBlock> body;
        std::optional<BodyParser> parser;
        const auto close = [&] {
            if (!body)
                return;
            parser.reset();
            records.last().params = std::move(body->params);
            records.last().blocks = std::move(body->blocks);
            body.reset();
        };
        loader.setLineHandler([&](const QString &line) {
            EventYield::yield();
            if (stopped || (cancelled && (stopped = cancelled())))
                return;
            switch (builder.addLine(line)) {
            case FileIndexBuilder::Header: {
                close();
                const IndexBlock block = index.blocks.last();
                if (block.kind == keyword) {
                    records.append({block.name, file, block.line, {}, {}});
                    body.emplace();
                    parser.emplace(*body, nested, &sharedKeys);
                }
                // Only the open block is needed; the rest of the index would only grow.
                index.blocks = {block};
                break;
            }
            case FileIndexBuilder::Body:
                if (parser)
                    parser->addLine(line);
                break;
            case FileIndexBuilder::End:
                close();
                break;
            case FileIndexBuilder::Outside:
                break;
            }
        });
        loader.OpenFile(path);
        if (stopped)
            return {};
        close();
    }
    return records;
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
    return rows(records, ',', "\r\n", appendCsvField);
}

QByteArray tsv(const QList<TableRecord> &records)
{
    return rows(records, '\t', "\n", appendTsvField);
}

} // namespace Tables
