#pragma once

#include "manualedit/blockformat.h"

#include <QColor>
#include <Qsci/qscilexercustom.h>

class QPalette;

// Styles and folds the game's block format in the raw editor (the rules are
// BlockFormat's). Only the lines on screen are styled, with the rest of the
// block they are in: Scintilla asks for everything from the first line it
// has not seen to the last one it shows, which after a jump to the end of a
// large file would be all of it. Lines scrolled into view later are styled
// then. Each line keeps, as its line state, one more than the number of
// blocks open after it, so 0 means not styled yet.
//
// Only colour and, for headers and end lines, weight change, so the user's
// font stays as chosen.
class IniLexer : public QsciLexerCustom
{
    Q_OBJECT

public:
    explicit IniLexer(QObject *parent = nullptr);

    const char *language() const override;
    QString description(int style) const override;
    void styleText(int start, int end) override;
    void setEditor(QsciScintilla *editor) override;

    // Styles every line, for folding the whole text.
    void styleAll();

    // Colours for the palette's text and base colours (a light or a dark
    // desktop); what is shown is coloured again.
    void setPalette(const QPalette &palette);
    // The user's font for every style.
    void setTextFont(const QFont &font);

    // The contrast of two colours as the accessibility guidelines measure it, 1 to 21.
    static double contrast(const QColor &a, const QColor &b);

private:
    void styleLines(int first, int last);
    void styleShownLines();
    int depthBefore(int line) const;
    QByteArray lineText(int line) const;
    // The next line after line that is neither blank nor only a comment.
    QByteArray nextSignificant(int line, int lineCount) const;
};
