#include "tvitem.h"

#include "platform/codepage.h"
#include "platform/eventyield.h"
#include "platform/gamepath.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>

#include <vector>

namespace {

constexpr qsizetype kChunkSize = 64 * 1024;

} // namespace

TVItem::TVItem(QObject *parent)
    : QObject(parent)
{
}

int TVItem::fileNumber(const QString &key)
{
    static const char *const names[] = {
        "FactionUnit.ini", "FactionBuilding.ini", "FactionProp.ini", "CivilianBuilding.ini",
        "CivilianUnit.ini", "CivilianProp.ini", "NatureProp.ini", "NatureUnit.ini",
    };
    for (int i = 0; i < 8; ++i) {
        if (key == QLatin1String(names[i]))
            return i + 1;
    }
    return 0;
}

bool TVItem::CheckText(QStringView StrString, QStringView StringToFind)
{
    return StrString.startsWith(StringToFind, Qt::CaseSensitive);
}

void TVItem::AddTVItem(const QString &Key)
{
    EventYield::yield();
    emit LoadingItem(Key, fileNumber(Key));
    OpenFile(BasePath + QStringLiteral("\\Data\\INI\\Object\\") + Key);
}

void TVItem::OpenFile(const QString &strFileName)
{
    const QString path = GamePaths::nativePath(strFileName);
    if (!QFileInfo(path).isFile())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    readDevice(file);
}

void TVItem::ReadText(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    readDevice(buffer);
}

void TVItem::readDevice(QIODevice &file)
{
    std::vector<char> chunk(kChunkSize);
    QByteArray pending; // bytes of a line that runs past the end of a chunk
    bool skipLeadingLf = false; // the previous chunk ended with CR

    // One line buffer for the whole read: a handler that keeps a line holds a
    // shared copy, and the next line then detaches into a fresh buffer.
    QString line;
    // Emitting a signal nobody receives still costs a call per line.
    const bool signalWanted = isSignalConnected(QMetaMethod::fromSignal(&TVItem::NewLine));
    // Only views wanted: each chunk is decoded whole, and a line is a view
    // into it (one byte is one character, so the offsets are the same).
    const bool viewsOnly = m_viewHandler && !m_lineHandler && !signalWanted;
    QString chunkText;
    // A line at from within the chunk (from is -1 for one put together in pending).
    auto deliver = [&](const char *data, qsizetype size, qsizetype from = -1) {
        if (viewsOnly && from >= 0) {
            m_viewHandler(QStringView(chunkText.constData() + from, size));
            return;
        }
        CodePage::decodeInto(line, data, size);
        if (m_viewHandler)
            m_viewHandler(line);
        if (m_lineHandler)
            m_lineHandler(line);
        if (signalWanted)
            emit NewLine(line);
    };

    for (;;) {
        const qint64 got = file.read(chunk.data(), kChunkSize);
        if (got <= 0)
            break;
        const char *data = chunk.data();
        if (viewsOnly)
            CodePage::decodeInto(chunkText, data, got);
        qsizetype pos = 0;
        if (skipLeadingLf) {
            skipLeadingLf = false;
            if (data[0] == '\n')
                pos = 1;
        }
        while (pos < got) {
            const void *cr = memchr(data + pos, '\r', size_t(got - pos));
            if (!cr) {
                pending.append(data + pos, got - pos);
                break;
            }
            const qsizetype end = static_cast<const char *>(cr) - data;
            if (pending.isEmpty()) {
                deliver(data + pos, end - pos, pos);
            } else {
                pending.append(data + pos, end - pos);
                deliver(pending.constData(), pending.size());
                pending.clear();
            }
            pos = end + 1;
            if (pos < got) {
                if (data[pos] == '\n')
                    ++pos;
            } else {
                skipLeadingLf = true;
            }
        }
    }
    if (!pending.isEmpty())
        deliver(pending.constData(), pending.size());
}

void TVItem::GetFUnitData(const QString &IniName)
{
    emit ProcStart();
    EventYield::yield();
    if (IniName.isNull())
        OpenFile(BasePath + QStringLiteral("\\Data\\INI\\Object\\FactionUnit.ini"));
    else
        OpenFile(BasePath + QStringLiteral("\\Data\\INI\\") + IniName);
    emit ProcDone();
}

void TVItem::GetLocomotorData()
{
    emit ProcStart();
    EventYield::yield();
    OpenFile(BasePath + QStringLiteral("\\Data\\INI\\Locomotor.ini"));
    emit ProcDone();
}
