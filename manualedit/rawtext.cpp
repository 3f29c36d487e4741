#include "rawtext.h"

#include "platform/codepage.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Calls found(end, position after it) for every line end, by the rule a text
// document applies when it splits text into lines: CR LF is one break, a lone
// CR or a lone LF is a break of its own.
template<typename Found>
void forEachLineEnd(const QByteArray &bytes, Found found)
{
    const char *p = bytes.constData();
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        // Nearly every byte is printable; one comparison lets them by.
        if (static_cast<unsigned char>(p[i]) > '\r')
            continue;
        if (p[i] == '\n') {
            found(RawText::Lf);
        } else if (p[i] == '\r') {
            if (i + 1 < n && p[i + 1] == '\n') {
                ++i;
                found(RawText::CrLf);
            } else {
                found(RawText::Cr);
            }
        }
    }
}

} // namespace

RawText RawText::fromBytes(const QByteArray &bytes)
{
    RawText raw;
    raw.text = CodePage::decode(bytes);

    std::array<qsizetype, 4> counts{};
    forEachLineEnd(bytes, [&](LineEnd end) { ++counts[end]; });
    const qsizetype ends = counts[CrLf] + counts[Cr] + counts[Lf];
    raw.lineCount = int(ends) + 1;
    if (counts[Lf] > counts[raw.usualEnd])
        raw.usualEnd = Lf;
    if (counts[Cr] > counts[raw.usualEnd])
        raw.usualEnd = Cr;
    if (counts[raw.usualEnd] == ends)
        return raw;

    int line = 0;
    forEachLineEnd(bytes, [&](LineEnd end) {
        ++line;
        if (end != raw.usualEnd)
            raw.otherEnds.append({line, end});
    });
    return raw;
}

QByteArray RawText::bytesOf(LineEnd end)
{
    switch (end) {
    case Cr: return QByteArrayLiteral("\r");
    case Lf: return QByteArrayLiteral("\n");
    case CrLf: break;
    }
    return QByteArrayLiteral("\r\n");
}

QByteArray RawText::toBytes(QStringView paragraphs, LineEnd usualEnd, const QList<OtherEnd> &otherEnds,
                             qsizetype *unencodable)
{
    // Every character is one byte, so the separators sit at the same index
    // in the encoded bytes; only the ranges between them are copied.
    const QByteArray encoded = CodePage::encode(paragraphs);
    const char16_t *text = paragraphs.utf16();
    const qsizetype n = paragraphs.size();
    const qsizetype breaks = std::count_if(text, text + n, [](char16_t c) { return c == u'\u2029' || c == u'\u2028'; });

    // At most two bytes for every break; trimmed at the end.
    QByteArray out(encoded.size() + breaks, Qt::Uninitialized);
    char *dst = out.data();
    const QByteArray usual = bytesOf(usualEnd);
    auto put = [&dst](const QByteArray &end) {
        std::memcpy(dst, end.constData(), size_t(end.size()));
        dst += end.size();
    };

    qsizetype from = 0;
    int line = 0;
    auto other = otherEnds.cbegin();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != u'\u2029' && text[i] != u'\u2028')
            continue;
        std::memcpy(dst, encoded.constData() + from, size_t(i - from));
        dst += i - from;
        from = i + 1;
        if (text[i] == u'\u2028') {
            put(usual);
            continue;
        }
        ++line;
        while (other != otherEnds.cend() && other->line < line)
            ++other;
        put(other != otherEnds.cend() && other->line == line ? bytesOf(other->end) : usual);
    }
    std::memcpy(dst, encoded.constData() + from, size_t(n - from));
    dst += n - from;
    out.truncate(dst - out.constData());

    if (unencodable) {
        // Separators never become '?', so every extra '?' stands for a character the code page lacks.
        *unencodable = std::count(out.cbegin(), out.cend(), '?') - std::count(text, text + n, u'?');
    }
    return out;
}
