#include "dataindex.h"

#include "datacheck.h"
#include "sparse.h"
#include "tvitem.h"

#include "platform/eventyield.h"
#include "platform/gamepath.h"

namespace {

enum Keyword { ObjectKeyword, WeaponKeyword, ArmorKeyword, LocomotorKeyword, CommandButtonKeyword, CommandSetKeyword };

bool isNone(QStringView value)
{
    return value.isEmpty() || value.compare(QLatin1String("None"), Qt::CaseInsensitive) == 0;
}

bool isSlotWord(QStringView word)
{
    for (const char *slot : {"PRIMARY", "SECONDARY", "TERTIARY"}) {
        if (word.compare(QLatin1String(slot), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The words of a parameter line's value: after the first "=", before any ";",
// separated by spaces (tabs are not separators, as in every value read).
QList<QStringView> valueWords(QStringView line)
{
    QStringView value = line.mid(line.indexOf(QLatin1Char('=')) + 1);
    const qsizetype semi = value.indexOf(QLatin1Char(';'));
    if (semi >= 0)
        value.truncate(semi);
    return value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
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
    if (const auto head = DataIndex::header(line)) {
        if (m_inBlock)
            m_index.blocks.last().lastLine = number - 1;
        m_index.blocks.append({head->first, head->second.toString(), number, 0, 0});
        m_kind = int(DataIndex::keywords().indexOf(head->first));
        m_inBlock = true;
        return Header;
    }
    if (!m_inBlock)
        return Outside;
    if (DataIndex::isEndLine(line)) {
        m_index.blocks.last().endLine = number;
        m_index.blocks.last().lastLine = number;
        m_inBlock = false;
        return End;
    }
    if (m_kind == ObjectKeyword || m_kind == CommandSetKeyword)
        scanReferences(line, number);
    return Body;
}

void FileIndexBuilder::scanReferences(QStringView line, int number)
{
    // "Name = Value ; comment": the parameter's name, from the line trimmed.
    const QStringView trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed[0] == QLatin1Char(';'))
        return;
    const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return;
    const QStringView parameter = trimmed.left(eq).trimmed();
    const int block = int(m_index.blocks.size()) - 1;
    const auto refer = [&](int keyword, QStringView name) {
        m_index.references.append({DataIndex::keywords()[keyword], name.toString(), block, number});
    };
    if (m_kind == CommandSetKeyword) {
        bool slot = false;
        (void)parameter.toInt(&slot);
        if (!slot)
            return;
        const QString value = SParse::ParseValue(line);
        if (!isNone(value))
            refer(CommandButtonKeyword, value);
        return;
    }
    if (parameter == QLatin1String("Weapon")) {
        QList<QStringView> words = valueWords(line);
        if (words.size() > 1)
            words.removeIf(isSlotWord);
        for (QStringView word : words) {
            if (!isNone(word))
                refer(WeaponKeyword, word);
        }
    } else if (parameter == QLatin1String("Armor") || parameter == QLatin1String("CommandSet")) {
        const QString value = SParse::ParseValue(line);
        if (!isNone(value))
            refer(parameter == QLatin1String("Armor") ? ArmorKeyword : CommandSetKeyword, value);
    } else if (parameter == QLatin1String("Locomotor")) {
        // Every word after the locomotor set ("SET_NORMAL Wheels Skimmer"), or
        // the one word of a line without a set; a line ending in None names nothing.
        if (isNone(SParse::ParseValue(line)))
            return;
        QList<QStringView> words = valueWords(line);
        if (words.size() > 1)
            words.removeFirst();
        for (QStringView word : words)
            refer(LocomotorKeyword, word);
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
    loader.setLineHandler([&](const QString &line) { builder.addLine(line); });
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
        loader.setLineHandler([&](const QString &line) {
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
