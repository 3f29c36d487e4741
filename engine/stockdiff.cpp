#include "stockdiff.h"

#include "datacheck.h"
#include "dataindex.h"
#include "tvitem.h"

#include "platform/codepage.h"
#include "platform/eventyield.h"
#include "platform/gamepath.h"
#include "startup/dbctl.h"

#include <QFile>
#include <QHash>

#include <cstring>

namespace {

// A file's bytes, its lines and its index. The index is read through the
// line loader; the lines are the same lines as byte ranges, so that only the
// lines shown are decoded. Every line end counts, a lone LF too, so a file
// saved with other line ends reads the same.
struct Text
{
    FileIndex index;
    QByteArray bytes;
    std::vector<std::pair<qsizetype, qsizetype>> lines; // start and length

    QByteArrayView raw(qsizetype i) const
    {
        return QByteArrayView(bytes.constData() + lines[size_t(i)].first, lines[size_t(i)].second);
    }
    QString line(qsizetype i) const { return CodePage::decode(raw(i).data(), raw(i).size()); }
    qsizetype count() const { return qsizetype(lines.size()); }
};

QByteArray withCrLfEnds(const QByteArray &bytes)
{
    // Only a lone LF needs changing; most files have none and are not copied.
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    const auto loneLf = [&](qsizetype from) -> qsizetype {
        for (qsizetype i = from; i < size;) {
            const void *lf = std::memchr(data + i, '\n', size_t(size - i));
            if (!lf)
                return -1;
            const qsizetype at = static_cast<const char *>(lf) - data;
            if (at == 0 || data[at - 1] != '\r')
                return at;
            i = at + 1;
        }
        return -1;
    };
    qsizetype at = loneLf(0);
    if (at < 0)
        return bytes;
    QByteArray out;
    out.reserve(size + size / 16);
    qsizetype from = 0;
    while (at >= 0) {
        out.append(data + from, at - from);
        out.append("\r\n", 2);
        from = at + 1;
        at = loneLf(from);
    }
    out.append(data + from, size - from);
    return out;
}

Text load(const QByteArray &bytes)
{
    Text text;
    text.bytes = withCrLfEnds(bytes);
    // Blocks are all the comparison needs; references would only cost time.
    FileIndexBuilder builder(text.index, false);
    TVItem loader;
    loader.setViewHandler([&](QStringView line) {
        EventYield::yield();
        builder.addLine(line);
    });
    loader.ReadText(text.bytes);
    builder.finish();
    // The loader's rule: CR LF or a lone CR ends a line (no lone LF is left);
    // a last line without a line end counts when it holds anything.
    const char *data = text.bytes.constData();
    const qsizetype size = text.bytes.size();
    text.lines.reserve(size_t(text.index.lineCount));
    qsizetype start = 0;
    while (start < size) {
        const void *cr = std::memchr(data + start, '\r', size_t(size - start));
        const qsizetype end = cr ? static_cast<const char *>(cr) - data : size;
        text.lines.emplace_back(start, end - start);
        start = end + 1;
        if (cr && start < size && data[start] == '\n')
            ++start;
    }
    return text;
}

// The line without the spaces and tabs at its end: what two lines are compared by.
QByteArrayView compared(QByteArrayView line)
{
    qsizetype end = line.size();
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t'))
        --end;
    return line.first(end);
}

// A shortest edit script between two line sequences (Myers' O(ND) algorithm,
// split at the middle so that it needs linear space, as diff-match-patch does).
class LineDiff
{
public:
    struct Op
    {
        char sign; // '=', '-' or '+'
        int index; // into a for '=' and '-', into b for '+'
        int count;
    };

    LineDiff(const QList<QByteArrayView> &a, const QList<QByteArrayView> &b)
        : m_a(a)
        , m_b(b)
    {
        run(0, int(a.size()), 0, int(b.size()));
    }

    const QList<Op> &ops() const { return m_ops; }

private:
    bool same(int i, int j) const { return m_a[i] == m_b[j]; }

    void add(char sign, int index, int count)
    {
        if (count <= 0)
            return;
        if (!m_ops.isEmpty() && m_ops.last().sign == sign && m_ops.last().index + m_ops.last().count == index)
            m_ops.last().count += count;
        else
            m_ops.append({sign, index, count});
    }

    void run(int a0, int a1, int b0, int b1)
    {
        const int start = a0;
        while (a0 < a1 && b0 < b1 && same(a0, b0)) {
            ++a0;
            ++b0;
        }
        add('=', start, a0 - start);
        int suffix = 0;
        while (a0 < a1 && b0 < b1 && same(a1 - 1, b1 - 1)) {
            --a1;
            --b1;
            ++suffix;
        }
        if (a0 == a1) {
            add('+', b0, b1 - b0);
        } else if (b0 == b1) {
            add('-', a0, a1 - a0);
        } else {
            bisect(a0, a1, b0, b1);
        }
        add('=', a1, suffix);
    }

    void bisect(int a0, int a1, int b0, int b1)
    {
        const int n = a1 - a0;
        const int m = b1 - b0;
        const int maxD = (n + m + 1) / 2;
        const int offset = maxD;
        const int length = 2 * maxD + 2;
        std::vector<int> v1(size_t(length), -1);
        std::vector<int> v2(size_t(length), -1);
        v1[size_t(offset + 1)] = 0;
        v2[size_t(offset + 1)] = 0;
        const int delta = n - m;
        // With an odd delta the forward path meets the reverse one; with an even one, the reverse path meets it.
        const bool front = (delta % 2 != 0);
        int k1start = 0, k1end = 0, k2start = 0, k2end = 0;
        for (int d = 0; d < maxD; ++d) {
            for (int k1 = -d + k1start; k1 <= d - k1end; k1 += 2) {
                const int k1Offset = offset + k1;
                int x1 = (k1 == -d || (k1 != d && v1[size_t(k1Offset - 1)] < v1[size_t(k1Offset + 1)]))
                             ? v1[size_t(k1Offset + 1)]
                             : v1[size_t(k1Offset - 1)] + 1;
                int y1 = x1 - k1;
                while (x1 < n && y1 < m && same(a0 + x1, b0 + y1)) {
                    ++x1;
                    ++y1;
                }
                v1[size_t(k1Offset)] = x1;
                if (x1 > n) {
                    k1end += 2;
                } else if (y1 > m) {
                    k1start += 2;
                } else if (front) {
                    const int k2Offset = offset + delta - k1;
                    if (k2Offset >= 0 && k2Offset < length && v2[size_t(k2Offset)] != -1) {
                        if (x1 >= n - v2[size_t(k2Offset)])
                            return split(a0, a1, b0, b1, x1, y1);
                    }
                }
            }
            for (int k2 = -d + k2start; k2 <= d - k2end; k2 += 2) {
                const int k2Offset = offset + k2;
                int x2 = (k2 == -d || (k2 != d && v2[size_t(k2Offset - 1)] < v2[size_t(k2Offset + 1)]))
                             ? v2[size_t(k2Offset + 1)]
                             : v2[size_t(k2Offset - 1)] + 1;
                int y2 = x2 - k2;
                while (x2 < n && y2 < m && same(a1 - x2 - 1, b1 - y2 - 1)) {
                    ++x2;
                    ++y2;
                }
                v2[size_t(k2Offset)] = x2;
                if (x2 > n) {
                    k2end += 2;
                } else if (y2 > m) {
                    k2start += 2;
                } else if (!front) {
                    const int k1Offset = offset + delta - k2;
                    if (k1Offset >= 0 && k1Offset < length && v1[size_t(k1Offset)] != -1) {
                        const int x1 = v1[size_t(k1Offset)];
                        const int y1 = offset + x1 - k1Offset;
                        if (x1 >= n - x2)
                            return split(a0, a1, b0, b1, x1, y1);
                    }
                }
            }
        }
        // Nothing in common.
        add('-', a0, n);
        add('+', b0, m);
    }

    void split(int a0, int a1, int b0, int b1, int x, int y)
    {
        run(a0, a0 + x, b0, b0 + y);
        run(a0 + x, a1, b0 + y, b1);
    }

    const QList<QByteArrayView> &m_a;
    const QList<QByteArrayView> &m_b;
    QList<Op> m_ops;
};

// One unit of comparison on one side: the positions (from 0) of its lines.
using Unit = QList<int>;

Unit blockUnit(const IndexBlock &block)
{
    Unit unit;
    unit.reserve(block.lastLine - block.line + 1);
    for (int line = block.line; line <= block.lastLine; ++line)
        unit.append(line - 1);
    return unit;
}

Unit outsideUnit(const Text &text)
{
    Unit unit;
    int next = 0;
    for (const IndexBlock &block : text.index.blocks) {
        for (; next < block.line - 1; ++next)
            unit.append(next);
        next = block.lastLine;
    }
    for (; next < text.count(); ++next)
        unit.append(next);
    return unit;
}

// Whether two blocks have the same lines, without listing their positions
// first: most blocks are unchanged.
bool sameBlock(const Text &game, const IndexBlock &gameBlock, const Text &stock, const IndexBlock &stockBlock)
{
    const int count = gameBlock.lastLine - gameBlock.line;
    if (stockBlock.lastLine - stockBlock.line != count)
        return false;
    for (int i = 0; i <= count; ++i) {
        const QByteArrayView a = game.raw(gameBlock.line - 1 + i);
        const QByteArrayView b = stock.raw(stockBlock.line - 1 + i);
        if (a != b && compared(a) != compared(b))
            return false;
    }
    return true;
}

void fillSide(const Text &text, const Unit &unit, QList<int> &numbers, QStringList &lines)
{
    numbers.reserve(unit.size());
    lines.reserve(unit.size());
    for (int i : unit) {
        numbers.append(i + 1);
        lines.append(text.line(i));
    }
}

// The diff of one unit both sides have; no value when their lines are the same.
std::optional<BlockDiff> compareUnits(const Text &game, const Unit &gameUnit, const Text &stock, const Unit &stockUnit)
{
    QList<QByteArrayView> a;
    QList<QByteArrayView> b;
    bool same = gameUnit.size() == stockUnit.size();
    for (qsizetype i = 0; same && i < gameUnit.size(); ++i)
        same = compared(stock.raw(stockUnit[i])) == compared(game.raw(gameUnit[i]));
    if (same)
        return std::nullopt;
    a.reserve(stockUnit.size());
    b.reserve(gameUnit.size());
    for (int i : stockUnit)
        a.append(compared(stock.raw(i)));
    for (int i : gameUnit)
        b.append(compared(game.raw(i)));
    BlockDiff diff;
    diff.state = BlockDiff::Changed;
    fillSide(game, gameUnit, diff.gameNumbers, diff.gameText);
    fillSide(stock, stockUnit, diff.stockNumbers, diff.stockText);
    // A hunk is a run of changes between two equal stretches; its '-' lines come first.
    const QList<LineDiff::Op> ops = LineDiff(a, b).ops();
    for (qsizetype i = 0; i < ops.size();) {
        if (ops[i].sign == '=') {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < ops.size() && ops[end].sign != '=')
            ++end;
        for (const char sign : {'-', '+'}) {
            for (qsizetype k = i; k < end; ++k) {
                if (ops[k].sign != sign)
                    continue;
                const Text &side = sign == '-' ? stock : game;
                const Unit &unit = sign == '-' ? stockUnit : gameUnit;
                for (int j = ops[k].index; j < ops[k].index + ops[k].count; ++j)
                    diff.lines.append({sign, unit[j] + 1, side.line(unit[j])});
            }
        }
        i = end;
    }
    return diff;
}

QString pairKey(const IndexBlock &block)
{
    return block.kind + QLatin1Char('\n') + block.name.toLower();
}

} // namespace

namespace StockDiff {

bool stockTexts(DBCtl &table, QList<std::optional<QByteArray>> *texts, QString *error)
{
    const QStringList &files = DataCheck::dataFiles();
    texts->clear();
    texts->resize(files.size());
    for (qint64 i = 0; i < table.RecordCount(); ++i) {
        table.SetRecord(i);
        const auto path = table.GetData(0);
        const auto text = table.GetData(1);
        if (!path || !text) {
            *error = table.errorString();
            return false;
        }
        QString relative = CodePage::decode(*path);
        relative.replace(QLatin1Char('/'), QLatin1Char('\\'));
        for (qsizetype f = 0; f < files.size(); ++f) {
            if (!(*texts)[f] && relative.compare(QStringLiteral("Data\\INI\\") + files[f], Qt::CaseInsensitive) == 0)
                (*texts)[f] = *text;
        }
    }
    return true;
}

FileDiff compareFile(const QByteArray &gameBytes, const QByteArray &stockBytes)
{
    const Text game = load(gameBytes);
    const Text stock = load(stockBytes);
    FileDiff result;

    if (auto outside = compareUnits(game, outsideUnit(game), stock, outsideUnit(stock))) {
        outside->gameLine = outside->gameNumbers.value(0);
        outside->stockLine = outside->stockNumbers.value(0);
        result.blocks.append(*outside);
    }

    // Stock blocks by kind and name, in order of appearance.
    const QList<IndexBlock> &stockBlocks = stock.index.blocks;
    QHash<QString, QList<int>> byKey;
    for (int i = 0; i < stockBlocks.size(); ++i)
        byKey[pairKey(stockBlocks[i])].append(i);
    QHash<QString, int> used; // how many of each key the game blocks have taken
    QList<bool> paired(stockBlocks.size(), false);
    int nextRemoved = 0;
    const auto removedUpTo = [&](int end) {
        for (; nextRemoved < end; ++nextRemoved) {
            if (paired[nextRemoved])
                continue;
            const IndexBlock &block = stockBlocks[nextRemoved];
            BlockDiff removed;
            removed.state = BlockDiff::Removed;
            removed.kind = block.kind;
            removed.name = block.name;
            removed.stockLine = block.line;
            fillSide(stock, blockUnit(block), removed.stockNumbers, removed.stockText);
            result.blocks.append(removed);
        }
    };
    // Which stock block each game block pairs with, decided before any output
    // so that a removed block is shown where the stock file had it.
    QList<int> partner;
    partner.reserve(game.index.blocks.size());
    for (const IndexBlock &block : game.index.blocks) {
        const QString key = pairKey(block);
        const QList<int> candidates = byKey.value(key);
        int &taken = used[key];
        const int match = taken < candidates.size() ? candidates[taken] : -1;
        if (match >= 0) {
            ++taken;
            paired[match] = true;
        }
        partner.append(match);
    }
    for (qsizetype g = 0; g < game.index.blocks.size(); ++g) {
        const IndexBlock &block = game.index.blocks[g];
        const int match = partner[g];
        if (match < 0) {
            BlockDiff added;
            added.state = BlockDiff::Added;
            added.kind = block.kind;
            added.name = block.name;
            added.gameLine = block.line;
            fillSide(game, blockUnit(block), added.gameNumbers, added.gameText);
            result.blocks.append(added);
            continue;
        }
        removedUpTo(match);
        if (sameBlock(game, block, stock, stockBlocks[match]))
            continue;
        if (auto changed = compareUnits(game, blockUnit(block), stock, blockUnit(stockBlocks[match]))) {
            changed->kind = block.kind;
            changed->name = block.name;
            changed->gameLine = block.line;
            changed->stockLine = stockBlocks[match].line;
            result.blocks.append(*changed);
        }
    }
    removedUpTo(int(stockBlocks.size()));
    return result;
}

QList<FileDiff> compare(const QString &gamePath, const QList<std::optional<QByteArray>> &stock,
                        const std::function<bool()> &cancelled)
{
    const QStringList &files = DataCheck::dataFiles();
    QList<FileDiff> result;
    for (int i = 0; i < files.size(); ++i) {
        if (cancelled && cancelled())
            return {};
        if (!stock.value(i))
            continue;
        const QString path = gamePath + QStringLiteral("\\Data\\INI\\") + files[i];
        FileDiff diff;
        if (GamePaths::FileExists(path)) {
            QFile file(GamePaths::nativePath(path));
            if (file.open(QIODevice::ReadOnly)) {
                diff = compareFile(file.readAll(), *stock[i]);
            } else {
                diff.missing = true;
            }
        } else {
            diff.missing = true;
        }
        diff.fileIndex = i;
        diff.file = files[i];
        if (diff.missing || !diff.blocks.isEmpty())
            result.append(diff);
    }
    return result;
}

QList<Row> rows(const QList<FileDiff> &files)
{
    QList<Row> out;
    for (const FileDiff &file : files) {
        if (file.missing) {
            out.append({file.file, QStringLiteral("missing-file"), QString(), QString(), 0, QString()});
            continue;
        }
        for (const BlockDiff &block : file.blocks) {
            switch (block.state) {
            case BlockDiff::Added:
                out.append({file.file, QStringLiteral("added"), block.kind, block.name, block.gameLine, QString()});
                break;
            case BlockDiff::Removed:
                out.append({file.file, QStringLiteral("removed"), block.kind, block.name, block.stockLine, QString()});
                break;
            case BlockDiff::Changed:
                for (const DiffLine &line : block.lines)
                    out.append({file.file, QString(QLatin1Char(line.sign)), block.kind, block.name, line.line, line.text});
                break;
            }
        }
    }
    return out;
}

} // namespace StockDiff
