#include "manualedit/completion.h"
#include "manualedit/textcheck.h"

#include <cstdint>
#include <cstdlib>

// The raw editor's readings of the text it holds while the user types: the
// completion context at the caret, the parameters of each kind of block, and
// the data check's problems placed in the text. The editor holds UTF-8, but
// nothing here may trust it to be valid.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));

    // Carets spread over the text, its ends included.
    constexpr qsizetype kCarets = 48;
    const qsizetype step = std::max<qsizetype>(1, text.size() / kCarets);
    for (qsizetype caret = 0; caret <= text.size() + 1; caret += step) {
        const Completion::Context context = Completion::contextAt(text, caret);
        if (context.what != Completion::Context::Nothing) {
            const qsizetype at = std::min(caret, text.size());
            if (context.start < 0 || context.start + context.prefix.size() != at ||
                text.mid(context.start, context.prefix.size()) != context.prefix || context.kind.isEmpty())
                std::abort();
        }
    }
    const QHash<QByteArray, QList<QByteArray>> parameters = Completion::parameterNames(text);
    for (const QList<QByteArray> &names : parameters) {
        for (const QByteArray &name : names) {
            if (name.isEmpty() || Completion::narrowed(names, name.first(1)).isEmpty())
                std::abort();
        }
    }

    // The text as the first object file of an otherwise empty game.
    const TextCheck::Result result = TextCheck::run(DataIndex(), 0, text);
    qsizetype last = 0;
    for (const TextCheck::Mark &mark : result.marks) {
        if (mark.from < last || mark.from > mark.to || mark.to > text.size() || mark.message.isEmpty())
            std::abort();
        last = mark.from;
    }
    const FileIndex &file = result.index.file(0);
    for (qsizetype i = 0; i < file.blocks.size() && i < 8; ++i) {
        const QStringList rows = TextCheck::cardRows(result.index, QString(), file.blocks[i].name, 0, text);
        if (rows.size() < 2 || rows.size() > 12)
            std::abort();
    }
    return 0;
}
