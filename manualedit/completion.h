#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>

// What the raw editor can offer at the caret, read from the UTF-8 text it
// holds with the editor's own reading of the block format (blockformat.h).
//
// In an Object block the value of a Weapon, Armor, CommandSet or Locomotor
// line names a block of that keyword, as the data index reads those lines;
// in a CommandSet block so does a numbered slot ("  1 = Command_Stop"). The
// first word of an indented line that has no "=" yet before the caret is a
// parameter of the innermost open block: the header's keyword, or the first
// word of a sub-block line ("WeaponSet", "Visual").
namespace Completion {

struct Context
{
    enum What { Nothing, Name, Parameter };
    What what = Nothing;
    // Name: the keyword the name is defined under ("Weapon", "CommandButton").
    // Parameter: the innermost block's keyword in lower case ("object", "weaponset").
    QByteArray kind;
    qsizetype start = 0; // where the word at the caret starts
    QByteArray prefix;   // the word from there to the caret
    bool operator==(const Context &) const = default;
};

// How far back the caret's block header is looked for; body lines past this
// are not worth a context.
constexpr int kMaxBlockLines = 20000;

// The context at a byte position of text (clamped to the text). Of the text
// after the caret's line, only the lines up to the next one with code count.
Context contextAt(QByteArrayView text, qsizetype caret);

// The parameter names of the text's blocks, by the lower-case keyword of the
// innermost block that holds them (as contextAt gives it); each list sorted
// and without repeats, letter case ignored, in the spelling first seen.
QHash<QByteArray, QList<QByteArray>> parameterNames(QByteArrayView text);

// The entries of sorted that start with prefix, letter case ignored.
QList<QByteArray> narrowed(const QList<QByteArray> &sorted, QByteArrayView prefix);

} // namespace Completion
