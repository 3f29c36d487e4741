#include "inihighlighter.h"

#include <QColor>

#include <cmath>

namespace {


// 4.5 to 1 is the usual floor for body text; the thin strokes of a small
// fixed font need it as much as any.
constexpr double kReadable = 4.5;

// The colour, moved towards black or white (whichever stands out more on the
// background) until it reads well there.
QColor readable(QColor colour, const QColor &background)
{
    const bool darkBackground =
        IniHighlighter::contrast(Qt::white, background) > IniHighlighter::contrast(Qt::black, background);
    const QColor extreme = darkBackground ? Qt::white : Qt::black;
    for (int step = 0; step < 20 && IniHighlighter::contrast(colour, background) < kReadable; ++step) {
        colour = QColor::fromRgbF(colour.redF() * 0.85f + extreme.redF() * 0.15f,
                                  colour.greenF() * 0.85f + extreme.greenF() * 0.15f,
                                  colour.blueF() * 0.85f + extreme.blueF() * 0.15f);
    }
    return colour;
}

bool startsWithEnd(QStringView text)
{
    return text.startsWith(u"end", Qt::CaseInsensitive);
}

int firstNonSpace(QStringView text, int from = 0)
{
    while (from < text.size() && text[from].isSpace())
        ++from;
    return from;
}

// One past the last character that is not a space, or from when there is none.
int endOfText(QStringView text, int from = 0)
{
    int end = int(text.size());
    while (end > from && text[end - 1].isSpace())
        --end;
    return end;
}

} // namespace

IniHighlighter::IniHighlighter(const QColor &background, QObject *parent)
    : QSyntaxHighlighter(parent)
{
    setBackground(background);
}

void IniHighlighter::setBackground(const QColor &background)
{
    // Two sets of hues, for light and for dark themes; either is darkened or
    // lightened further on a background where it would not read well.
    const bool dark = IniHighlighter::contrast(Qt::white, background) > IniHighlighter::contrast(Qt::black, background);
    const char *const light[] = {"#1546a0", "#8a1f8a", "#0b6464", "#9a3a00", "#5f6660"};
    const char *const night[] = {"#8ab4ff", "#e39cf0", "#5fd3d3", "#f0a860", "#a8b0a8"};
    for (int part = Header; part <= Comment; ++part) {
        QTextCharFormat format;
        format.setForeground(readable(QColor(QLatin1String(dark ? night[part] : light[part])), background));
        if (part == Header || part == End)
            format.setFontWeight(QFont::Bold);
        m_formats[part] = format;
    }
    if (document())
        rehighlight();
}

QColor IniHighlighter::colour(Part part) const
{
    return m_formats[part].foreground().color();
}

QList<IniHighlighter::Span> IniHighlighter::spans(QStringView line)
{
    QList<Span> result;
    const int size = int(line.size());
    const int semicolon = int(line.indexOf(u';'));
    const QStringView code = semicolon < 0 ? line : line.left(semicolon);
    const int first = firstNonSpace(code);
    const int end = endOfText(code, first);

    if (first < end) {
        if (first == 0) {
            // The game ends a block at any first-column line that begins
            // with "end" in any case, even "Endurance"; showing such a line
            // as an end line is the warning the user needs.
            result.append({0, end, startsWithEnd(code) ? End : Header});
        } else if (code.mid(first, end - first).compare(u"end", Qt::CaseInsensitive) == 0) {
            result.append({first, end - first, End});
        } else {
            // "Name = Value"; a line without "=" (a sub-block's keyword, or
            // a name and value separated by spaces only) splits at its first space.
            int nameEnd;
            int valueStart;
            const int equals = int(code.indexOf(u'=', first));
            if (equals >= 0) {
                nameEnd = endOfText(code.left(equals), first);
                valueStart = firstNonSpace(code, equals + 1);
            } else {
                nameEnd = first;
                while (nameEnd < end && !code[nameEnd].isSpace())
                    ++nameEnd;
                valueStart = firstNonSpace(code, nameEnd);
            }
            if (nameEnd > first)
                result.append({first, nameEnd - first, Name});
            if (valueStart < end)
                result.append({valueStart, end - valueStart, Value});
        }
    }
    if (semicolon >= 0)
        result.append({semicolon, size - semicolon, Comment});
    return result;
}

void IniHighlighter::highlightBlock(const QString &text)
{
    for (const Span &span : spans(text))
        setFormat(span.start, span.length, m_formats[span.part]);
}

double IniHighlighter::contrast(const QColor &a, const QColor &b)
{
    auto luminance = [](const QColor &c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
