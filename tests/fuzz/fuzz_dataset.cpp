#include "fuzzinput.h"

#include "engine/dataindex.h"
#include "engine/stockdiff.h"
#include "engine/tables.h"
#include "platform/codepage.h"

#include <cstdlib>

namespace {

QString withoutTrailingBlanks(QString line)
{
    while (line.endsWith(QLatin1Char(' ')) || line.endsWith(QLatin1Char('\t')))
        line.chop(1);
    return line;
}

// The lines of one side that the diff keeps: what both sides have in common.
QStringList kept(const QList<int> &numbers, const QStringList &text, const QList<DiffLine> &lines, char sign)
{
    QList<int> dropped;
    for (const DiffLine &line : lines) {
        if (line.sign == sign)
            dropped.append(line.line);
    }
    QStringList out;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        if (!dropped.contains(numbers[i]))
            out.append(withoutTrailingBlanks(text[i]));
    }
    return out;
}

} // namespace

// The whole-data-set readers on two texts, a stock file and a game file: the
// index's blocks and references lie inside the file, the line diff of each
// changed pair leaves the same lines on both sides, and a table's top-level
// parameters do not depend on whether nested blocks are kept.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t split = size_t(data[0]) * (size - 1) / 255;
    const QByteArray stock(reinterpret_cast<const char *>(data + 1), qsizetype(split));
    const QByteArray game(reinterpret_cast<const char *>(data + 1 + split), qsizetype(size - 1 - split));

    const FileIndex index = FileIndex::fromText(game);
    int previous = 0;
    for (const IndexBlock &block : index.blocks) {
        if (block.line <= previous || block.lastLine < block.line || block.lastLine > index.lineCount
            || (block.endLine != 0 && block.endLine != block.lastLine))
            std::abort();
        previous = block.lastLine;
    }
    for (const IndexReference &ref : index.references) {
        const IndexBlock &holder = index.blocks.value(ref.block);
        if (ref.name.isEmpty() || ref.line <= holder.line || ref.line > holder.lastLine)
            std::abort();
    }

    for (const BlockDiff &block : StockDiff::compareFile(game, stock).blocks) {
        if (block.state != BlockDiff::Changed)
            continue;
        if (block.lines.isEmpty()
            || kept(block.stockNumbers, block.stockText, block.lines, '-')
                   != kept(block.gameNumbers, block.gameText, block.lines, '+'))
            std::abort();
    }

    const QStringList lines = CodePage::decode(game).split(QStringLiteral("\r\n"));
    if (Tables::parseBody(lines, false).params != Tables::parseBody(lines).params)
        std::abort();
    return 0;
}
