#include "manualedit/blockformat.h"
#include "platform/codepage.h"

#include <cstdint>
#include <cstdlib>

// The raw editor's side of a game file: its bytes as the UTF-8 the text
// control holds and back, and the reading of every line for styles, folds
// and the outline.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    const qsizetype n = qsizetype(size);

    // Every byte comes back as it was, none counted as unencodable.
    const QByteArray utf8 = CodePage::toUtf8(bytes, n);
    qsizetype unencodable = -1;
    if (CodePage::fromUtf8(utf8.constData(), utf8.size(), &unencodable) != QByteArrayView(bytes, n) ||
        unencodable != 0)
        std::abort();
    // Whole, the bytes convert alike, ASCII ones shared as they are.
    if (CodePage::toUtf8(QByteArray(bytes, n)) != utf8)
        std::abort();
    // Any bytes at all read as UTF-8 give one byte a character or fewer.
    if (CodePage::fromUtf8(bytes, n, &unencodable).size() > n || unencodable > n)
        std::abort();

    const QByteArrayView text(utf8);
    int depth = 0;
    for (qsizetype from = 0; from < text.size();) {
        const qsizetype end = BlockFormat::lineEnd(text, from);
        const QByteArrayView line = text.sliced(from, end - from);
        const qsizetype next = BlockFormat::nextLineStart(text, from);
        const QByteArrayView following = text.sliced(next, BlockFormat::lineEnd(text, next) - next);
        const BlockFormat::Kind kind = BlockFormat::kindOf(line, depth, following);
        int at = 0;
        for (const BlockFormat::Span &span : BlockFormat::spans(line, kind)) {
            if (span.start < at || span.length <= 0 || span.start + span.length > line.size())
                std::abort();
            at = span.start + span.length;
        }
        depth = BlockFormat::depthAfter(kind, depth);
        if (depth < 0 || BlockFormat::levelOf(kind, depth) < 0 || next <= from)
            std::abort();
        from = next;
    }
    BlockFormat::headings(text);
    return 0;
}
