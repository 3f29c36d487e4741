#include "dataindex.h"

#include "datacheck.h"
#include "sparse.h"
#include "tvitem.h"

#include "platform/eventyield.h"
#include "platform/gamepath.h"

namespace {

enum Keyword { ObjectKeyword, WeaponKeyword, ArmorKeyword, LocomotorKeyword, CommandButtonKeyword, CommandSetKeyword };

// text equals word, letter case ignored, as QStringView::compare finds it:
// ASCII letters are compared here, and a text with any other character is
// left to Qt's case folding.
bool sameWord(QStringView text, QLatin1StringView word)
{
    if (text.size() != word.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80)
            return text.compare(word, Qt::CaseInsensitive) == 0;
        const char w = word.data()[i];
        if (c != char16_t(w) && !((c | 0x20) == char16_t(w | 0x20) && (c | 0x20) >= 'a' && (c | 0x20) <= 'z'))
            return false;
    }
    return true;
}

bool isNone(QStringView value)
{
    return value.isEmpty() || sameWord(value, QLatin1StringView("None"));
}

bool isSlotWord(QStringView word)
{
    return sameWord(word, QLatin1StringView("PRIMARY")) || sameWord(word, QLatin1StringView("SECONDARY"))
        || sameWord(word, QLatin1StringView("TERTIARY"));
}

// QStringView::indexOf and lastIndexOf for one character: on lines this
// short, a loop of our own is done before a call to the library's search.
qsizetype findChar(QStringView text, char16_t c)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() == c)
            return i;
    }
    return -1;
}

qsizetype findLastChar(QStringView text, char16_t c)
{
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (text[i].unicode() == c)
            return i;
    }
    return -1;
}

// The value part of a parameter line: after the first "=", before any ";".
QStringView valuePart(QStringView line)
{
    QStringView value = line.mid(findChar(line, u'=') + 1);
    const qsizetype semi = findChar(value, u';');
    return semi < 0 ? value : value.left(semi);
}

// Calls word for each space-separated word of text (tabs are not separators,
// as in every value read); stops early when word returns false.
template<typename F>
void forEachWord(QStringView text, F word)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && text[i] == QLatin1Char(' '))
            ++i;
        const qsizetype start = i;
        while (i < n && text[i] != QLatin1Char(' '))
            ++i;
        if (i > start && !word(text.mid(start, i - start)))
            return;
    }
}

qsizetype wordCount(QStringView text)
{
    qsizetype count = 0;
    forEachWord(text, [&](QStringView) { return ++count < 2; });
    return count;
}

// SParse::ParseValue without a copy: the last space-separated word before the
// first ";" (the line's parameter name comes first, so no line here starts with ";").
QStringView lastWord(QStringView line)
{
    const qsizetype semi = findChar(line, u';');
    QStringView s = semi < 0 ? line : line.left(semi);
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    s = s.mid(b, e - b);
    const qsizetype space = findLastChar(s, u' ');
    return space < 0 ? s : s.mid(space + 1);
}

// The parameter a line sets when it is "Name = ...", with blanks allowed
// around the name: the line's first word and true when it is word.
bool setsParameter(QStringView line, qsizetype start, QLatin1StringView word)
{
    if (line.size() - start < word.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (line[start + i].unicode() != char16_t(word.data()[i]))
            return false;
    }
    qsizetype i = start + word.size();
    while (i < line.size() && line[i].isSpace())
        ++i;
    return i < line.size() && line[i] == QLatin1Char('=');
}

} // namespace

const QList<QString> &DataIndex::keywords()
{
    static const QList<QString> words{
        QStringLiteral("Object"),    QStringLiteral("Weapon"),        QStringLiteral("Armor"),
        QStringLiteral("Locomotor"), QStringLiteral("CommandButton"), QStringLiteral("CommandSet"),
    };
    return words;
}

std::optional<std::pair<QString, QStringView>> DataIndex::header(QStringView line)
{
    // Most lines are indented body text: no keyword can start them.
    if (line.isEmpty() || !line[0].isLetter())
        return std::nullopt;
    for (const QString &keyword : keywords()) {
        const std::optional<QStringView> name = SParse::HeaderName(line, keyword);
        if (name && !name->isEmpty())
            return std::make_pair(keyword, *name);
    }
    return std::nullopt;
}

bool DataIndex::isEndLine(QStringView line)
{
    return line.startsWith(QLatin1String("end"), Qt::CaseInsensitive);
}

FileIndexBuilder::LineRole FileIndexBuilder::addLine(QStringView line)
{
    const int number = ++m_index.lineCount;
    // Most lines are indented body text, which header() turns away at once:
    // they are turned away here without the call.
    const bool mayBeHeader = !line.isEmpty() && line[0].isLetter();
    if (const auto head = mayBeHeader ? DataIndex::header(line) : std::nullopt) {
        if (m_inBlock)
            m_index.blocks.last().lastLine = number - 1;
        m_index.blocks.append({head->first, head->second.toString(), number, 0, 0, int(head->second.data() - line.data())});
        m_kind = int(DataIndex::keywords().indexOf(head->first));
        m_inBlock = true;
        return Header;
    }
    if (!m_inBlock)
        return Outside;
    if (!line.isEmpty() && (line[0] == QLatin1Char('e') || line[0] == QLatin1Char('E')) && DataIndex::isEndLine(line)) {
        m_index.blocks.last().endLine = number;
        m_index.blocks.last().lastLine = number;
        m_inBlock = false;
        return End;
    }
    if (m_references && (m_kind == ObjectKeyword || m_kind == CommandSetKeyword)) {
        // Most body lines name nothing, and their first character shows it.
        qsizetype start = 0;
        while (start < line.size() && line[start].isSpace())
            ++start;
        if (start < line.size()) {
            const char16_t first = line[start].unicode();
            const bool candidate = m_kind == ObjectKeyword
                ? first == u'W' || first == u'A' || first == u'C' || first == u'L'
                : (first >= u'0' && first <= u'9') || first == u'+' || first == u'-' || first > 0x7f;
            if (candidate)
                scanReferences(line, number);
        }
    }
    return Body;
}

void FileIndexBuilder::scanReferences(QStringView line, int number)
{
    // Most body lines name nothing: their first character rules them out
    // before any other work. A parameter's name is the text before the first
    // "=", blanks around it ignored.
    qsizetype start = 0;
    while (start < line.size() && line[start] == QLatin1Char(' '))
        ++start;
    while (start < line.size() && line[start].isSpace())
        ++start;
    if (start == line.size())
        return;
    const QChar first = line[start];
    const int block = int(m_index.blocks.size()) - 1;
    const auto refer = [&](int keyword, QStringView name) {
        auto it = m_names.constFind(name);
        if (it == m_names.cend()) {
            const QString made = name.toString();
            it = m_names.insert(QStringView(made), made);
        }
        m_index.references.append({DataIndex::keywords()[keyword], *it, block, number, int(name.data() - line.data())});
    };
    if (m_kind == CommandSetKeyword) {
        // A numbered slot: "  1 = Command_Stop".
        if (!first.isDigit() && first != QLatin1Char('+') && first != QLatin1Char('-'))
            return;
        const qsizetype eq = findChar(line, u'=');
        if (eq < 0)
            return;
        bool slot = false;
        (void)line.left(eq).trimmed().toInt(&slot);
        const QStringView value = lastWord(line);
        if (slot && !isNone(value))
            refer(CommandButtonKeyword, value);
        return;
    }
    switch (first.unicode()) {
    case 'W':
        if (setsParameter(line, start, QLatin1StringView("Weapon"))) {
            // Every weapon of the line: the words other than the slot words
            // when there are several ("PRIMARY Cannon", "PRIMARY A SECONDARY B").
            const QStringView value = valuePart(line);
            const bool several = wordCount(value) > 1;
            forEachWord(value, [&](QStringView word) {
                if (!(several && isSlotWord(word)) && !isNone(word))
                    refer(WeaponKeyword, word);
                return true;
            });
        }
        break;
    case 'A':
    case 'C': {
        const bool armour = first == QLatin1Char('A');
        if (setsParameter(line, start, armour ? QLatin1StringView("Armor") : QLatin1StringView("CommandSet"))) {
            const QStringView value = lastWord(line);
            if (!isNone(value))
                refer(armour ? ArmorKeyword : CommandSetKeyword, value);
        }
        break;
    }
    case 'L':
        // Every word after the locomotor set ("SET_NORMAL Wheels Skimmer"), or
        // the one word of a line without a set; a line ending in None names nothing.
        if (setsParameter(line, start, QLatin1StringView("Locomotor")) && !isNone(lastWord(line))) {
            const QStringView value = valuePart(line);
            bool skip = wordCount(value) > 1;
            forEachWord(value, [&](QStringView word) {
                if (!skip)
                    refer(LocomotorKeyword, word);
                skip = false;
                return true;
            });
        }
        break;
    default:
        break;
    }
}

void FileIndexBuilder::finish()
{
    if (m_inBlock)
        m_index.blocks.last().lastLine = m_index.lineCount;
    m_inBlock = false;
}

FileIndex FileIndex::fromText(const QByteArray &bytes)
{
    FileIndex index;
    FileIndexBuilder builder(index);
    TVItem loader;
    loader.setViewHandler([&](QStringView line) { builder.addLine(line); });
    loader.ReadText(bytes);
    builder.finish();
    return index;
}

bool DataIndex::build(const QString &gamePath, const std::function<bool()> &cancelled)
{
    const QStringList &files = DataCheck::dataFiles();
    m_files = QList<FileIndex>(files.size());
    TVItem loader;
    loader.BasePath = gamePath;
    bool stopped = false;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (cancelled && cancelled())
            return false;
        FileIndex &index = m_files[i];
        const QString path = gamePath + QStringLiteral("\\Data\\INI\\") + files[i];
        if (!GamePaths::FileExists(path)) {
            index.missing = true;
            continue;
        }
        FileIndexBuilder builder(index);
        loader.setViewHandler([&](QStringView line) {
            EventYield::yield();
            if (stopped || (cancelled && (stopped = cancelled())))
                return;
            builder.addLine(line);
        });
        loader.OpenFile(path);
        if (stopped)
            return false;
        builder.finish();
    }
    return true;
}

void DataIndex::setFile(int i, FileIndex index)
{
    if (m_files.size() < DataCheck::dataFiles().size())
        m_files.resize(DataCheck::dataFiles().size());
    m_files[i] = std::move(index);
}

bool DataIndex::hasData() const
{
    return std::any_of(m_files.cbegin(), m_files.cend(), [](const FileIndex &f) { return !f.missing; });
}

QList<IndexHit> DataIndex::definitions(QStringView name) const
{
    QList<IndexHit> hits;
    for (int i = 0; i < fileCount(); ++i) {
        for (const IndexBlock &block : m_files[i].blocks) {
            if (block.name.compare(name, Qt::CaseInsensitive) == 0)
                hits.append({i, DataCheck::dataFiles()[i], block.line, block.kind, block.name, QString()});
        }
    }
    return hits;
}

QList<IndexHit> DataIndex::references(QStringView name) const
{
    QList<IndexHit> hits;
    for (int i = 0; i < fileCount(); ++i) {
        const FileIndex &file = m_files[i];
        for (const IndexReference &ref : file.references) {
            if (ref.name.compare(name, Qt::CaseInsensitive) == 0) {
                const IndexBlock &holder = file.blocks[ref.block];
                hits.append({i, DataCheck::dataFiles()[i], ref.line, holder.kind, holder.name, ref.kind});
            }
        }
    }
    return hits;
}
