#pragma once

#include <QList>
#include <QStringView>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

// Colours the game's block format in the manual editor: block headers, end
// lines, parameter names, values and comments. Only colour and, for headers
// and end lines, weight change, so the user's font stays as chosen.
//
// Each line is coloured from its own text alone, without state carried from
// the lines above: typing re-colours the line typed in and never the rest of
// the file.
class IniHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    // The contrast of two colours as the accessibility guidelines measure it, 1 to 21.
    static double contrast(const QColor &a, const QColor &b);

    enum Part { Header, End, Name, Value, Comment };

    struct Span
    {
        int start;
        int length;
        Part part;
        bool operator==(const Span &) const = default;
    };

    // Colours chosen to read well on background; the document is attached later.
    explicit IniHighlighter(const QColor &background, QObject *parent = nullptr);

    // New colours for a new background (a changed desktop theme); an
    // attached document is coloured again.
    void setBackground(const QColor &background);
    QColor colour(Part part) const;

    // The coloured parts of one line, in order; spaces and the "=" between a
    // name and its value belong to none.
    static QList<Span> spans(QStringView line);

protected:
    void highlightBlock(const QString &text) override;

private:
    QTextCharFormat m_formats[Comment + 1];
};
