#include "datagrep.h"

#include "datacheck.h"
#include "tvitem.h"

#include "platform/eventyield.h"
#include "platform/gamepath.h"

namespace DataGrep {

namespace {

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c | 0x20) : c;
}

// line contains the lower-case ASCII needle, ASCII letters compared without
// regard to case. No character of the game's code page other than an ASCII
// letter folds to one, so any other character simply does not match.
bool containsAscii(QStringView line, QStringView needle)
{
    const qsizetype n = line.size();
    const qsizetype m = needle.size();
    const char16_t first = needle[0].unicode();
    const char16_t firstUpper = first >= u'a' && first <= u'z' ? char16_t(first & ~0x20) : first;
    const char16_t *h = line.utf16();
    const char16_t *w = needle.utf16();
    for (qsizetype i = 0; i + m <= n; ++i) {
        if (h[i] != first && h[i] != firstUpper)
            continue;
        qsizetype j = 1;
        while (j < m && asciiLower(h[i + j]) == w[j])
            ++j;
        if (j == m)
            return true;
    }
    return false;
}

} // namespace

std::optional<Matcher> Matcher::make(const QString &pattern, bool regex, QString *error)
{
    if (pattern.isEmpty()) {
        if (error)
            *error = QStringLiteral("the pattern is empty");
        return std::nullopt;
    }
    Matcher matcher;
    if (regex) {
        matcher.m_isRegex = true;
        matcher.m_regex = QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption);
        if (!matcher.m_regex.isValid()) {
            if (error) {
                *error = QStringLiteral("%1 is no regular expression: %2 at offset %3")
                             .arg(pattern, matcher.m_regex.errorString())
                             .arg(matcher.m_regex.patternErrorOffset());
            }
            return std::nullopt;
        }
        return matcher;
    }
    matcher.m_ascii = std::all_of(pattern.cbegin(), pattern.cend(), [](QChar c) { return c.unicode() < 0x80; });
    matcher.m_text = matcher.m_ascii ? pattern.toLower() : pattern;
    return matcher;
}

bool Matcher::matches(QStringView line) const
{
    if (m_isRegex)
        return m_regex.match(line).hasMatch();
    if (m_ascii)
        return containsAscii(line, m_text);
    return line.contains(m_text, Qt::CaseInsensitive);
}

bool search(const QString &gamePath, const Matcher &matcher, const std::function<void(const Hit &)> &hit,
            const std::function<bool()> &cancelled)
{
    const QStringList &files = DataCheck::dataFiles();
    TVItem loader;
    bool stopped = false;
    for (int i = 0; i < files.size() && !stopped; ++i) {
        const QString path = gamePath + QStringLiteral("\\Data\\INI\\") + files[i];
        if (!GamePaths::FileExists(path))
            continue;
        int number = 0;
        loader.setViewHandler([&](QStringView line) {
            ++number;
            EventYield::yield();
            if (stopped || (cancelled && (stopped = cancelled())))
                return;
            if (matcher.matches(line))
                hit({i, files[i], number, line.toString()});
        });
        loader.OpenFile(path);
    }
    return !stopped;
}

} // namespace DataGrep
