#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

// Looks for a text in every line of the thirteen data files, as the game
// reads them: the data check's file order, lines counted from 1 where CR LF
// or a lone CR ends them.
namespace DataGrep {

struct Hit
{
    int fileIndex = 0; // position in DataCheck::dataFiles()
    QString file;      // as the check writes it: "Object\FactionUnit.ini"
    int line = 0;
    QString text;      // the whole line as stored
};

// What a line must contain: a text, letter case ignored, or a regular
// expression, which ignores letter case too unless it says otherwise ("(?-i)").
class Matcher
{
public:
    // No value, with the reason in error, for an empty pattern or a regular
    // expression that does not compile.
    static std::optional<Matcher> make(const QString &pattern, bool regex, QString *error = nullptr);

    bool matches(QStringView line) const;

private:
    Matcher() = default;

    QString m_text;     // lower case when it is ASCII
    bool m_ascii = false;
    bool m_isRegex = false;
    QRegularExpression m_regex;
};

// Calls hit for every line that matches. False when cancelled returned true
// (it is asked between lines) before the last file was read.
bool search(const QString &gamePath, const Matcher &matcher, const std::function<void(const Hit &)> &hit,
            const std::function<bool()> &cancelled = {});

} // namespace DataGrep
