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

namespace {

struct BodyLine
{
    int indent = 0;
    bool end = false;
    QStringView text; // trimmed, without its comment
};

BodyLine bodyLine(const QString &line)
{
    BodyLine result;
    qsizetype i = 0;
    for (; i < line.size() && line[i].isSpace(); ++i)
        result.indent = line[i] == QLatin1Char('\t') ? (result.indent / 8 + 1) * 8 : result.indent + 1;
    QStringView text = QStringView(line).mid(i);
    const qsizetype semi = text.indexOf(QLatin1Char(';'));
    if (semi >= 0)
        text.truncate(semi);
    result.text = text.trimmed();
    // "End", alone or before a space, a tab or "=": the first word.
    if (result.text.startsWith(QLatin1String("end"), Qt::CaseInsensitive)) {
        const QStringView rest = result.text.mid(3);
        result.end = rest.isEmpty() || rest[0].isSpace();
    }
    return result;
}

TableParam param(QStringView text)
{
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq < 0)
        return {text.toString(), QString()};
    return {text.left(eq).trimmed().toString(), text.mid(eq + 1).trimmed().toString()};
}

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

// The header row and one row of fields per record.
QList<QStringList> rows(const QList<TableRecord> &records)
{
    QStringList header{QStringLiteral("name"), QStringLiteral("file"), QStringLiteral("line")};
    QHash<QString, int> column;
    QList<QStringList> out;
    out.reserve(records.size() + 1);
    out.append(QStringList());
    for (const TableRecord &record : records) {
        QStringList row{record.name, record.file, QString::number(record.line)};
        QList<bool> filled(row.size(), true);
        for (const TableParam &p : record.params) {
            auto it = column.constFind(p.first);
            if (it == column.cend()) {
                it = column.insert(p.first, int(header.size()));
                header.append(p.first);
            }
            const int c = *it;
            if (c >= row.size()) {
                row.resize(c + 1);
                filled.resize(c + 1, false);
            }
            if (filled[c]) {
                row[c] += QLatin1String(" | ");
                row[c] += p.second;
            } else {
                row[c] = p.second;
                filled[c] = true;
            }
        }
        out.append(row);
    }
    out[0] = header;
    for (QStringList &row : out)
        row.resize(header.size());
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

TableBlock parseBody(const QStringList &lines)
{
    QList<BodyLine> body;
    body.reserve(lines.size());
    for (const QString &line : lines) {
        BodyLine parsed = bodyLine(line);
        if (!parsed.text.isEmpty())
            body.append(parsed);
    }
    TableBlock root;
    QList<TableBlock *> open{&root};
    for (qsizetype i = 0; i < body.size(); ++i) {
        const BodyLine &line = body[i];
        if (line.end) {
            // A stray End at the top of the block closes nothing.
            if (open.size() > 1)
                open.removeLast();
            continue;
        }
        const BodyLine *next = i + 1 < body.size() ? &body[i + 1] : nullptr;
        const bool opens = next && (next->indent > line.indent || (next->end && next->indent == line.indent));
        if (opens) {
            TableBlock *parent = open.last();
            parent->blocks.append(TableBlock{line.text.toString(), {}, {}});
            open.append(&parent->blocks.last());
        } else {
            open.last()->params.append(param(line.text));
        }
    }
    return root;
}

QList<TableRecord> read(const QString &gamePath, const QString &keyword, const std::function<bool()> &cancelled)
{
    const QStringList &files = DataCheck::dataFiles();
    QList<TableRecord> records;
    TVItem loader;
    bool stopped = false;
    for (const QString &file : files) {
        const QString path = gamePath + QStringLiteral("\\Data\\INI\\") + file;
        if (!GamePaths::FileExists(path))
            continue;
        FileIndex index;
        FileIndexBuilder builder(index);
        bool collecting = false;
        QStringList body;
        const auto close = [&] {
            if (!collecting)
                return;
            TableBlock parsed = parseBody(body);
            records.last().params = std::move(parsed.params);
            records.last().blocks = std::move(parsed.blocks);
            body.clear();
            collecting = false;
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
                    collecting = true;
                }
                // The index keeps no more than the open block.
                index.blocks.clear();
                index.blocks.append(block);
                index.references.clear();
                break;
            }
            case FileIndexBuilder::Body:
                if (collecting)
                    body.append(line);
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
    QByteArray out;
    for (const QStringList &row : rows(records)) {
        bool first = true;
        for (const QString &field : row) {
            if (!first)
                out += ',';
            first = false;
            QByteArray bytes = field.toUtf8();
            if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n')) {
                bytes.replace("\"", "\"\"");
                out += '"' + bytes + '"';
            } else {
                out += bytes;
            }
        }
        out += "\r\n";
    }
    return out;
}

QByteArray tsv(const QList<TableRecord> &records)
{
    QByteArray out;
    for (const QStringList &row : rows(records)) {
        bool first = true;
        for (const QString &field : row) {
            if (!first)
                out += '\t';
            first = false;
            QByteArray bytes = field.toUtf8();
            bytes.replace("\t", "\\t").replace("\r", "\\r").replace("\n", "\\n");
            out += bytes;
        }
        out += '\n';
    }
    return out;
}

} // namespace Tables
