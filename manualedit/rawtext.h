#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

// A game file's bytes as the manual editor shows them, and back. The editor
// shows every line end as a line break, so a file's own line ends (CR LF, a
// lone CR, a lone LF, mixed, with or without one at the end) are remembered
// here and written back unchanged.
class RawText
{
public:
    enum LineEnd : quint8 { CrLf = 1, Cr = 2, Lf = 3 };

    // A line whose break differs from the usual one; line counts from 0 and
    // the break meant is the one just before that line.
    struct OtherEnd
    {
        int line;
        LineEnd end;
        bool operator==(const OtherEnd &) const = default;
    };

    // Decodes Windows-1252 bytes. text keeps the file's CR and LF characters
    // (a text document turns each line end into a line break).
    static RawText fromBytes(const QByteArray &bytes);

    // Encodes a document's raw text: lines separated by U+2029. Each break
    // becomes usualEnd unless otherEnds (sorted by line) names another one for
    // it. A break inside a line (U+2028, as Shift+Enter types it) has no line
    // of its own in a game file, so it is written as the usual line end too.
    // Characters outside Windows-1252 become '?'; unencodable, when given,
    // receives how many did.
    static QByteArray toBytes(QStringView paragraphs, LineEnd usualEnd, const QList<OtherEnd> &otherEnds = {},
                              qsizetype *unencodable = nullptr);

    // The line end's bytes: "\r\n", "\r" or "\n".
    static QByteArray bytesOf(LineEnd end);

    QString text;
    // The most common line end (CR LF when there is none, as the game writes
    // its files); new lines get it.
    LineEnd usualEnd = CrLf;
    QList<OtherEnd> otherEnds;
    // Number of lines: line ends + 1, so a final line end opens an empty last line.
    int lineCount = 1;
};
