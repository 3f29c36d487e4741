#include "inilexer.h"

#include <QPalette>
#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <cmath>

namespace {

using BlockFormat::Style;

// 4.5 to 1 is the usual floor for body text; the thin strokes of a small
// fixed font need it as much as any.
constexpr double kReadable = 4.5;

// How far ahead a line looks for the line that tells whether it opens a
// sub-block; blank lines and comments between the two are skipped.
constexpr int kLookAhead = 32;

// More lines than this between the last line styled and the last one shown
// are skipped; kAbove lines above the first one shown are styled with it.
constexpr int kFarAway = 2000;
constexpr int kAbove = 100;

// At most this many lines past those asked for are styled to reach the end
// of their block.
constexpr int kRestOfBlock = 5000;

// The colour, moved towards black or white (whichever stands out more on the
// background) until it reads well there.
QColor readable(QColor colour, const QColor &background)
{
    const bool darkBackground = IniLexer::contrast(Qt::white, background) > IniLexer::contrast(Qt::black, background);
    const QColor extreme = darkBackground ? Qt::white : Qt::black;
    for (int step = 0; step < 20 && IniLexer::contrast(colour, background) < kReadable; ++step) {
        colour = QColor::fromRgbF(colour.redF() * 0.85f + extreme.redF() * 0.15f,
                                  colour.greenF() * 0.85f + extreme.greenF() * 0.15f,
                                  colour.blueF() * 0.85f + extreme.blueF() * 0.15f);
    }
    return colour;
}

bool isBold(int style)
{
    return style == BlockFormat::Header || style == BlockFormat::SubBlock || style == BlockFormat::End;
}

} // namespace

IniLexer::IniLexer(QObject *parent)
    : QsciLexerCustom(parent)
{
}

const char *IniLexer::language() const
{
    return "Torvane data";
}

QString IniLexer::description(int style) const
{
    static const char *const names[BlockFormat::StyleCount] = {
        "Default", "Comment", "Block keyword", "Block name", "Sub-block", "End", "Parameter", "Value"};
    return style >= 0 && style < BlockFormat::StyleCount ? QString::fromLatin1(names[style]) : QString();
}

void IniLexer::setPalette(const QPalette &palette)
{
    const QColor background = palette.color(QPalette::Active, QPalette::Base);
    const QColor text = palette.color(QPalette::Active, QPalette::Text);
    // Two sets of hues, for light and for dark desktops; either is darkened
    // or lightened further on a background where it would not read well.
    const bool dark = contrast(Qt::white, background) > contrast(Qt::black, background);
    const char *const light[] = {nullptr, "#5f6660", "#1546a0", "#0b6464", "#6a2aa0", "#8a1f8a", "#2f5a1a", "#9a3a00"};
    const char *const night[] = {nullptr, "#a8b0a8", "#8ab4ff", "#5fd3d3", "#c8a0ff", "#e39cf0", "#a0d890", "#f0a860"};
    setDefaultPaper(background);
    setDefaultColor(text);
    setPaper(background, -1);
    for (int style = 0; style < BlockFormat::StyleCount; ++style) {
        const char *hue = dark ? night[style] : light[style];
        setColor(hue ? readable(QColor(QLatin1String(hue)), background) : text, style);
    }
}

void IniLexer::setTextFont(const QFont &font)
{
    setDefaultFont(font);
    for (int style = 0; style < BlockFormat::StyleCount; ++style) {
        QFont styled = font;
        if (isBold(style))
            styled.setBold(true);
        setFont(styled, style);
    }
}

void IniLexer::setEditor(QsciScintilla *editor)
{
    if (QsciScintilla *old = this->editor())
        disconnect(old, &QsciScintillaBase::SCN_UPDATEUI, this, nullptr);
    QsciLexerCustom::setEditor(editor);
    if (editor) {
        connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
            if (updated & (QsciScintillaBase::SC_UPDATE_V_SCROLL | QsciScintillaBase::SC_UPDATE_CONTENT))
                styleShownLines();
        });
    }
}

QByteArray IniLexer::lineText(int line) const
{
    QsciScintilla *text = editor();
    const long from = text->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)line);
    const long to = text->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, (unsigned long)line);
    const auto *data =
        reinterpret_cast<const char *>(text->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, from, to - from));
    return QByteArray(data, to - from);
}

void IniLexer::styleText(int start, int end)
{
    QsciScintilla *text = editor();
    if (!text || end <= start)
        return;
    int first = int(text->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, (unsigned long)start));
    const int last = int(text->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, (unsigned long)(end - 1)));
    // A long way from the last line styled to the lines shown: only those
    // are styled now.
    if (last - first > kFarAway) {
        const long shown = text->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
        const int top = int(text->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, (unsigned long)shown));
        first = std::max(first, std::min(top, last) - kAbove);
    }
    styleLines(first, last);
}

void IniLexer::styleAll()
{
    if (QsciScintilla *text = editor())
        styleLines(0, int(text->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT)) - 1);
}

void IniLexer::styleShownLines()
{
    QsciScintilla *text = editor();
    const long shown = text->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long onScreen = text->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    const int top = int(text->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, (unsigned long)shown));
    const int bottom =
        int(text->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, (unsigned long)(shown + onScreen)));
    int first = -1;
    int last = -1;
    for (int line = top; line <= bottom; ++line) {
        if (text->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, (unsigned long)line) == 0) {
            if (first < 0)
                first = line;
            last = line;
        }
    }
    if (first >= 0)
        styleLines(first, last);
}

int IniLexer::depthBefore(int line) const
{
    QsciScintilla *text = editor();
    if (line <= 0)
        return 0;
    const long state = text->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, (unsigned long)(line - 1));
    if (state > 0)
        return int(state) - 1;
    // Not styled yet: a header always starts at the top level, so the depth
    // is known again from the nearest header above.
    int from = line - 1;
    while (from > 0 && BlockFormat::kindOf(lineText(from), 0, {}) != BlockFormat::Kind::Header)
        --from;
    const int lineCount = int(text->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT));
    int depth = 0;
    for (int l = from; l < line; ++l)
        depth = BlockFormat::depthAfter(BlockFormat::kindOf(lineText(l), depth, nextSignificant(l, lineCount)), depth);
    return depth;
}

QByteArray IniLexer::nextSignificant(int line, int lineCount) const
{
    for (int l = line + 1; l < lineCount && l <= line + kLookAhead; ++l) {
        QByteArray candidate = lineText(l);
        const BlockFormat::Kind k = BlockFormat::kindOf(candidate, 0, {});
        if (k != BlockFormat::Kind::Blank && k != BlockFormat::Kind::Comment)
            return candidate;
    }
    return QByteArray();
}

void IniLexer::styleLines(int first, int last)
{
    QsciScintilla *text = editor();
    auto send = [text](unsigned int message, unsigned long wParam = 0, long lParam = 0) {
        return text->SendScintilla(message, wParam, lParam);
    };
    const int lineCount = int(send(QsciScintillaBase::SCI_GETLINECOUNT));
    last = std::min(last, lineCount - 1);
    // Whether a line opens a sub-block depends on the line after it, so the
    // line above the first is looked at again.
    int line = std::max(first - 1, 0);
    int depth = depthBefore(line);

    // The text is read in place and the styles go back in one piece: a
    // million lines are styled for Fold All. Only the lines that can be
    // looked at are asked for, so that the control need not move its gap
    // (where typing happens) across the rest of the text.
    const qsizetype startPos = send(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    const int endLine = last + kRestOfBlock + kLookAhead + 2;
    const qsizetype endPos = endLine < lineCount ? send(QsciScintillaBase::SCI_POSITIONFROMLINE, endLine)
                                                 : send(QsciScintillaBase::SCI_GETLENGTH);
    const QByteArrayView all(
        reinterpret_cast<const char *>(send(QsciScintillaBase::SCI_GETRANGEPOINTER, startPos, endPos - startPos)),
        endPos - startPos);
    auto significantFrom = [&](qsizetype start) {
        for (int k = 0; k < kLookAhead && start < all.size(); ++k) {
            const QByteArrayView candidate = all.sliced(start, BlockFormat::lineEnd(all, start) - start);
            const BlockFormat::Kind kind = BlockFormat::kindOf(candidate, 0, {});
            if (kind != BlockFormat::Kind::Blank && kind != BlockFormat::Kind::Comment)
                return candidate;
            start = BlockFormat::nextLineStart(all, start);
        }
        return QByteArrayView();
    };
    QByteArray styles;
    for (qsizetype pos = 0; line < lineCount; ++line) {
        const qsizetype next = BlockFormat::nextLineStart(all, pos);
        const QByteArrayView current = all.sliced(pos, BlockFormat::lineEnd(all, pos) - pos);
        const BlockFormat::Kind kind = BlockFormat::kindOf(current, depth, significantFrom(next));
        // Past the lines asked for, the rest of the block is styled too, so
        // that its fold ends where the block does; what follows the next
        // header does not depend on anything above it.
        if (line > last && (kind == BlockFormat::Kind::Header || line > last + kRestOfBlock))
            break;
        const qsizetype base = styles.size();
        styles.append(next - pos, char(BlockFormat::Default));
        for (const BlockFormat::Span &span : BlockFormat::spans(current, kind))
            std::fill_n(styles.data() + base + span.start, span.length, char(span.style));

        int level = QsciScintillaBase::SC_FOLDLEVELBASE + BlockFormat::levelOf(kind, depth);
        if (kind == BlockFormat::Kind::Header || kind == BlockFormat::Kind::SubBlock)
            level |= QsciScintillaBase::SC_FOLDLEVELHEADERFLAG;
        send(QsciScintillaBase::SCI_SETFOLDLEVEL, line, level);
        depth = BlockFormat::depthAfter(kind, depth);
        send(QsciScintillaBase::SCI_SETLINESTATE, line, depth + 1);
        pos = next;
    }
    startStyling(int(startPos));
    text->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, (unsigned long)styles.size(), styles.constData());
}

double IniLexer::contrast(const QColor &a, const QColor &b)
{
    auto luminance = [](const QColor &c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
