#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Game files are 8-bit text in Windows-1252. The five bytes that code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to the C1 control
// characters of the same value, so every byte sequence decodes and encodes
// back to itself.
namespace CodePage {

QString decode(const char *data, qsizetype size);
inline QString decode(const QByteArray &bytes) { return decode(bytes.constData(), bytes.size()); }

// Decodes into an existing string, reusing its buffer when nothing else shares it.
void decodeInto(QString &out, const char *data, qsizetype size);

// Characters outside the code page become '?'.
QByteArray encode(QStringView text);

// True when every character of the text has a byte in the code page.
bool canEncode(QStringView text);

// The same text as UTF-8, straight from the bytes: what the raw editor holds.
QByteArray toUtf8(const char *data, qsizetype size);
// The same; ASCII bytes, which most game files are throughout, are already
// their UTF-8 and come back shared, not copied.
QByteArray toUtf8(const QByteArray &bytes);

// UTF-8 back to the code page's bytes. Characters outside the code page, and
// bytes that are no valid UTF-8, become '?'; unencodable, when given,
// receives how many did.
QByteArray fromUtf8(const char *data, qsizetype size, qsizetype *unencodable = nullptr);

} // namespace CodePage
