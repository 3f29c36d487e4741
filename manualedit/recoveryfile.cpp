#include "recoveryfile.h"

#include "manualedit/settingsstore.h"
#include "platform/statefolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

namespace {

QString g_redirected;

const QByteArray kMagic = QByteArrayLiteral("Torvane Zarnith recovery 1");
const QString kSuffix = QStringLiteral(".recovery");
constexpr qsizetype kDigestHex = 64;

QByteArray sha256(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// Lower-case hex digits only, of the given length.
bool isHex(QByteArrayView text, qsizetype length)
{
    return text.size() == length && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// A length as the writer writes it: digits, without a leading zero.
bool isDecimal(QByteArrayView text)
{
    return !text.isEmpty() && text.size() <= 12 && (text[0] != '0' || text.size() == 1)
           && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Valid UTF-8 without NUL, CR or LF: a value of one header line.
std::optional<QString> headerText(QByteArrayView value)
{
    if (value.contains('\0') || value.contains('\r'))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(value);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Reads "key=value\n" at at; moves at past it.
std::optional<QByteArrayView> field(QByteArrayView bytes, qsizetype &at, QByteArrayView key)
{
    const qsizetype end = bytes.indexOf('\n', at);
    if (end < 0)
        return std::nullopt;
    const QByteArrayView line = bytes.sliced(at, end - at);
    if (!line.startsWith(key) || line.size() <= key.size() || line[key.size()] != '=')
        return std::nullopt;
    at = end + 1;
    return line.sliced(key.size() + 1);
}

} // namespace

QByteArray RecoveryFile::toBytes() const
{
    return header() + text;
}

QByteArray RecoveryFile::header() const
{
    QByteArray out;
    out += kMagic + '\n';
    out += "game=" + gameFolder.toUtf8() + '\n';
    out += "kind=" + QByteArray::number(folderKind) + '\n';
    out += "file=" + fileName.toUtf8() + '\n';
    out += "path=" + path.toUtf8() + '\n';
    out += "loaded=" + loadedSha256.toHex() + '\n';
    out += "text=" + QByteArray::number(text.size()) + ' ' + sha256(text).toHex() + '\n';
    return out;
}

std::optional<RecoveryFile> RecoveryFile::fromBytes(QByteArrayView bytes)
{
    if (!bytes.startsWith(kMagic) || bytes.size() <= kMagic.size() || bytes[kMagic.size()] != '\n')
        return std::nullopt;
    qsizetype at = kMagic.size() + 1;
    RecoveryFile file;

    const auto game = field(bytes, at, "game");
    const auto kind = field(bytes, at, "kind");
    const auto name = field(bytes, at, "file");
    const auto path = field(bytes, at, "path");
    const auto loaded = field(bytes, at, "loaded");
    const auto text = field(bytes, at, "text");
    if (!game || !kind || !name || !path || !loaded || !text)
        return std::nullopt;

    const auto gameText = headerText(*game);
    const auto nameText = headerText(*name);
    const auto pathText = headerText(*path);
    if (!gameText || !nameText || !pathText)
        return std::nullopt;
    // A file name, not a path that could lead out of the game's data folder.
    if (nameText->contains(QLatin1Char('/')) || nameText->contains(QLatin1Char('\\')) || *nameText == QLatin1String(".")
        || *nameText == QLatin1String(".."))
        return std::nullopt;
    if (!QDir::isAbsolutePath(*pathText))
        return std::nullopt;
    if (*kind != "0" && *kind != "1")
        return std::nullopt;
    if (!isHex(*loaded, kDigestHex))
        return std::nullopt;

    const qsizetype space = text->indexOf(' ');
    if (space < 0 || !isDecimal(text->first(space)) || !isHex(text->sliced(space + 1), kDigestHex))
        return std::nullopt;
    bool ok = false;
    const qint64 length = text->first(space).toLongLong(&ok);
    // The text runs exactly to the end of the file: a file cut short or with
    // anything after the text is damaged.
    if (!ok || length != bytes.size() - at)
        return std::nullopt;
    const QByteArrayView body = bytes.sliced(at);
    if (sha256(body) != QByteArray::fromHex(text->sliced(space + 1).toByteArray()))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString decoded = decoder.decode(body);
    if (decoder.hasError())
        return std::nullopt;

    file.gameFolder = *gameText;
    file.folderKind = *kind == "1" ? 1 : 0;
    file.fileName = *nameText;
    file.path = *pathText;
    file.loadedSha256 = QByteArray::fromHex(loaded->toByteArray());
    file.text = body.toByteArray();
    if (file.gameFolder.isEmpty() || file.fileName.isEmpty())
        return std::nullopt;
    return file;
}

QString RecoveryFile::folder()
{
    if (!g_redirected.isEmpty())
        return g_redirected;
    const QString state = StateFolder::userStateFolder();
    if (state.isEmpty())
        return QString();
    return state + QLatin1Char('/') + QLatin1String(Settings::AppName) + QStringLiteral("/recovery");
}

void RecoveryFile::redirectTo(const QString &folder)
{
    g_redirected = folder;
}

QString RecoveryFile::fileFor(const QString &path)
{
    const QString dir = folder();
    if (dir.isEmpty())
        return QString();
    const QByteArray digest = sha256(QDir::cleanPath(path).toUtf8()).toHex().left(16);
    return dir + QLatin1Char('/') + QFileInfo(path).fileName() + QLatin1Char('-') + QString::fromLatin1(digest) + kSuffix;
}

QStringList RecoveryFile::pending()
{
    const QString dir = folder();
    if (dir.isEmpty())
        return {};
    QStringList files;
    const QFileInfoList entries =
        QDir(dir).entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files | QDir::Hidden, QDir::Time | QDir::Reversed);
    for (const QFileInfo &entry : entries)
        files << entry.filePath();
    return files;
}

std::optional<RecoveryFile> RecoveryFile::load(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return std::nullopt;
    return fromBytes(bytes);
}

bool RecoveryFile::save(const QString &file, QString *error) const
{
    if (file.isEmpty() || !QDir().mkpath(QFileInfo(file).path())) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folder()));
        return false;
    }
    QSaveFile out(file);
    // Header and text written one after the other: no second copy of a large text.
    const QByteArray head = header();
    if (!out.open(QIODevice::WriteOnly) || out.write(head) != head.size() || out.write(text) != text.size()
        || !out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}
