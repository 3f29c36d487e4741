#include "codepage.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// 0x80..0x9F; the undefined positions map to themselves.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<char16_t, 256> makeTable()
{
    std::array<char16_t, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = (i >= 0x80 && i < 0xA0) ? kHigh[i - 0x80] : char16_t(i);
    return t;
}

constexpr auto kTable = makeTable();

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c)
            return 0x80 + i;
    }
    return -1;
}

// Copies a run of ASCII bytes, which is nearly all of a game file, sixteen at
// a time from src + i to dst + o, moving both on; stops before the first
// sixteen that hold another byte.
void copyAscii(const unsigned char *src, qsizetype size, qsizetype &i, char *dst, qsizetype &o)
{
#if defined(__SSE2__)
    while (i + 16 <= size) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i));
        if (_mm_movemask_epi8(bytes) != 0)
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + o), bytes);
        i += 16;
        o += 16;
    }
#else
    Q_UNUSED(src);
    Q_UNUSED(size);
    Q_UNUSED(i);
    Q_UNUSED(dst);
    Q_UNUSED(o);
#endif
}

bool isAscii(const unsigned char *src, qsizetype size)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    // Sixty-four at a time: the high bits of four loads together.
    for (; i + 64 <= size; i += 64) {
        const auto *at = reinterpret_cast<const __m128i *>(src + i);
        const __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(at), _mm_loadu_si128(at + 1)),
                                         _mm_or_si128(_mm_loadu_si128(at + 2), _mm_loadu_si128(at + 3)));
        if (_mm_movemask_epi8(any) != 0)
            return false;
    }
#endif
    for (; i < size; ++i) {
        if (src[i] >= 0x80)
            return false;
    }
    return true;
}

} // namespace

namespace CodePage {

QString decode(const char *data, qsizetype size)
{
    QString out;
    decodeInto(out, data, size);
    return out;
}

void decodeInto(QString &out, const char *data, qsizetype size)
{
    out.resize(size);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    const auto *src = reinterpret_cast<const unsigned char *>(data);
    qsizetype i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time while none of them lies in 0x80..0x9F, the only
    // bytes that do not stand for the character of the same value.
    const __m128i zero = _mm_setzero_si128();
    const __m128i bias = _mm_set1_epi8(char(0x80));
    const __m128i limit = _mm_set1_epi8(0x1F);
    for (; i + 16 <= size; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i));
        const __m128i shifted = _mm_sub_epi8(bytes, bias);
        const __m128i special = _mm_cmpeq_epi8(_mm_min_epu8(shifted, limit), shifted);
        if (_mm_movemask_epi8(special) != 0)
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i + 8), _mm_unpackhi_epi8(bytes, zero));
    }
#endif
    for (; i < size; ++i)
        dst[i] = kTable[src[i]];
}

QByteArray encode(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            dst[i] = char(c);
            continue;
        }
        const int b = byteFor(c);
        dst[i] = b < 0 ? '?' : char(b);
    }
    return out;
}

bool canEncode(QStringView text)
{
    for (QChar c : text) {
        if (byteFor(c.unicode()) < 0)
            return false;
    }
    return true;
}

QByteArray toUtf8(const char *data, qsizetype size)
{
    // Every byte takes at most three: the code page's characters all lie
    // below U+10000.
    QByteArray out(size * 3, Qt::Uninitialized);
    char *dst = out.data();
    const auto *src = reinterpret_cast<const unsigned char *>(data);
    qsizetype i = 0;
    qsizetype o = 0;
    while (i < size) {
        copyAscii(src, size, i, dst, o);
        if (i >= size)
            break;
        const char16_t c = kTable[src[i++]];
        if (c < 0x80) {
            dst[o++] = char(c);
        } else if (c < 0x800) {
            dst[o++] = char(0xC0 | (c >> 6));
            dst[o++] = char(0x80 | (c & 0x3F));
        } else {
            dst[o++] = char(0xE0 | (c >> 12));
            dst[o++] = char(0x80 | ((c >> 6) & 0x3F));
            dst[o++] = char(0x80 | (c & 0x3F));
        }
    }
    out.truncate(o);
    return out;
}

QByteArray toUtf8(const QByteArray &bytes)
{
    if (isAscii(reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size()))
        return bytes;
    return toUtf8(bytes.constData(), bytes.size());
}

QByteArray fromUtf8(const char *data, qsizetype size, qsizetype *unencodable)
{
    QByteArray out(size, Qt::Uninitialized);
    char *dst = out.data();
    const auto *src = reinterpret_cast<const unsigned char *>(data);
    qsizetype bad = 0;
    qsizetype i = 0;
    qsizetype o = 0;
    while (i < size) {
        copyAscii(src, size, i, dst, o);
        if (i >= size)
            break;
        const unsigned char lead = src[i];
        if (lead < 0x80) {
            dst[o++] = char(lead);
            ++i;
            continue;
        }
        // One character of two to four bytes; a shortened or malformed one
        // is taken a byte at a time.
        const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t c = length == 4 ? lead & 0x07 : length == 3 ? lead & 0x0F : lead & 0x1F;
        bool valid = length > 1 && i + length <= size;
        for (int k = 1; valid && k < length; ++k) {
            valid = (src[i + k] & 0xC0) == 0x80;
            c = (c << 6) | (src[i + k] & 0x3F);
        }
        const char32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && c >= smallest[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        const int b = valid && c <= 0xFFFF ? byteFor(char16_t(c)) : -1;
        if (b < 0)
            ++bad;
        dst[o++] = b < 0 ? '?' : char(b);
        i += valid ? length : 1;
    }
    out.truncate(o);
    if (unencodable)
        *unencodable = bad;
    return out;
}

} // namespace CodePage
