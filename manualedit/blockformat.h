#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// How the raw editor reads the game's block format, one line at a time, on
// the UTF-8 text it holds:
//
//   Object AmericaTank          a header: first column, "Keyword Name"
//     Title = TXT:AmTank        a parameter: name, "=", value
//     ArmorSet                  a sub-block: an indented line whose next
//       Armor = TankPlate         line is indented deeper
//     End                       its own End
//     Visual = MeshVisual V01   a sub-block too, though it has a value
//       Pose DEFAULT
//       End
//     End
//   End                         the header's End
//
// Anything after ";" is a comment. A first-column End closes every block that
// is open, and a header always starts at the top level, so one missing End
// never shifts the rest of the file.
namespace BlockFormat {

enum Style : int { Default = 0, Comment, Header, HeaderName, SubBlock, End, Parameter, Value, StyleCount };

// End closes one block; TopEnd, a first-column End, closes all of them.
enum class Kind { Blank, Comment, Header, SubBlock, End, TopEnd, Parameter };

struct Span
{
    int start;
    int length;
    Style style;
    bool operator==(const Span &) const = default;
};

// What a line is, given how many blocks are open before it (depth) and the
// next line that is neither blank nor only a comment (empty when there is
// none). A line passed in has no line end.
Kind kindOf(QByteArrayView line, int depth, QByteArrayView next);

// How deep a line of that kind sits (its fold level: a header sits at the
// depth before it, what it holds one deeper, its End with what it holds), and
// how many blocks are open after it.
int levelOf(Kind kind, int depth);
int depthAfter(Kind kind, int depth);

// The styled parts of a line in order; spaces and "=" belong to none.
QList<Span> spans(QByteArrayView line, Kind kind);

// Where the line starting at from ends (its line end, or the text's end), and
// where the next one starts. Lines end at CR LF, a lone CR or a lone LF.
qsizetype lineEnd(QByteArrayView text, qsizetype from);
qsizetype nextLineStart(QByteArrayView text, qsizetype from);

// The top-level blocks of a text in order: header line (from 0), keyword and name.
struct Heading
{
    int line;
    QByteArray keyword;
    QByteArray name;
    bool operator==(const Heading &) const = default;
};
QList<Heading> headings(QByteArrayView text);

} // namespace BlockFormat
