#include "dbftable.h"

#include <QFileInfo>
#include <QtEndian>

namespace {

quint16 le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

QString versionName(quint8 v)
{
    switch (v) {
    case 0x30:
    case 0x31:
    case 0x32:
    case 0xF5:
    case 0xFB:
        return QStringLiteral("a FoxPro table (version byte 0x%1), which is not supported").arg(v, 2, 16, QLatin1Char('0'));
    case 0x04:
    case 0x8C:
        return QStringLiteral("a dBASE 7 table (version byte 0x%1), which is not supported").arg(v, 2, 16, QLatin1Char('0'));
    default:
        return QStringLiteral("an unsupported table format (version byte 0x%1)").arg(v, 2, 16, QLatin1Char('0'));
    }
}

constexpr qint64 kMemoScanChunk = 64 * 1024;

} // namespace

bool DbfTable::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool DbfTable::open(const QString &dbfPath)
{
    m_error.clear();
    m_fields.clear();
    m_dbf.close();
    m_dbt.close();
    const QString shown = QFileInfo(dbfPath).fileName();

    m_dbf.setFileName(dbfPath);
    if (!QFileInfo(dbfPath).isFile() || !m_dbf.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Cannot open the table %1: %2").arg(dbfPath, m_dbf.errorString()));
    const qint64 size = m_dbf.size();
    const QByteArray head = m_dbf.read(32);
    if (head.size() < 32)
        return fail(QStringLiteral("The table %1 is too short to be a dBASE table.").arg(shown));

    m_version = quint8(head[0]);
    if (m_version != 0x83 && m_version != 0x8B && m_version != 0x03)
        return fail(QStringLiteral("The table %1 is %2.").arg(shown, versionName(m_version)));
    m_recordCount = le32(head.constData() + 4);
    m_headerLength = le16(head.constData() + 8);
    m_recordLength = le16(head.constData() + 10);
    if (m_headerLength < 33 || m_headerLength > size)
        return fail(QStringLiteral("The table %1 is damaged: its header length points past the end of the file.").arg(shown));

    const QByteArray descriptors = m_dbf.read(m_headerLength - 32);
    if (descriptors.size() != m_headerLength - 32)
        return fail(QStringLiteral("The table %1 is truncated.").arg(shown));
    qint64 offset = 0;
    bool terminated = false;
    bool hasMemo = false;
    for (qsizetype at = 0; at < descriptors.size(); at += 32) {
        if (descriptors[at] == '\x0D') {
            terminated = true;
            break;
        }
        if (at + 32 > descriptors.size())
            break;
        const char *d = descriptors.constData() + at;
        Field field;
        field.name = QString::fromLatin1(d, qstrnlen(d, 11));
        field.type = d[11];
        field.length = quint8(d[16]);
        field.offset = int(offset);
        if (field.length == 0)
            return fail(QStringLiteral("The table %1 is damaged: field %2 has no length.").arg(shown, field.name));
        if (field.type == 'M')
            hasMemo = true;
        offset += field.length;
        m_fields.append(field);
    }
    if (!terminated || m_fields.isEmpty())
        return fail(QStringLiteral("The table %1 is damaged: its field list has no end mark.").arg(shown));
    if (m_recordLength != offset + 1)
        return fail(QStringLiteral("The table %1 is damaged: its record length does not match its fields.").arg(shown));
    if (m_headerLength + m_recordCount * m_recordLength > size)
        return fail(QStringLiteral("The table %1 is damaged: it claims %2 records, more than the file holds.")
                        .arg(shown)
                        .arg(m_recordCount));
    if (m_version == 0x03 && hasMemo)
        return fail(QStringLiteral("The table %1 is damaged: it has memo fields but no memo file flag.").arg(shown));
    if (hasMemo && !openMemo(dbfPath))
        return false;
    return true;
}

bool DbfTable::openMemo(const QString &dbfPath)
{
    const QFileInfo info(dbfPath);
    QString memoPath = info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".DBT");
    if (!QFileInfo(memoPath).isFile())
        memoPath = info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".dbt");
    m_dbt.setFileName(memoPath);
    if (!QFileInfo(memoPath).isFile() || !m_dbt.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Cannot open the memo file %1.").arg(memoPath));
    const QByteArray head = m_dbt.read(32);
    if (head.size() < 22)
        return fail(QStringLiteral("The memo file %1 is too short.").arg(QFileInfo(memoPath).fileName()));
    m_blockSize = 512;
    if (m_version == 0x8B) {
        const quint16 stored = le16(head.constData() + 20);
        if (stored != 0 && stored < 32)
            return fail(QStringLiteral("The memo file %1 is damaged: block size %2.").arg(QFileInfo(memoPath).fileName()).arg(stored));
        if (stored != 0)
            m_blockSize = stored;
    }
    return true;
}

int DbfTable::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool DbfTable::readRecord(qint64 record, QByteArray *out)
{
    if (record < 0 || record >= m_recordCount)
        return fail(QStringLiteral("There is no record %1.").arg(record));
    if (!m_dbf.seek(m_headerLength + record * m_recordLength))
        return fail(QStringLiteral("Cannot read record %1.").arg(record));
    *out = m_dbf.read(m_recordLength);
    if (out->size() != m_recordLength)
        return fail(QStringLiteral("The table is truncated at record %1.").arg(record));
    if (out->at(0) != ' ' && out->at(0) != '*')
        return fail(QStringLiteral("The table is damaged at record %1.").arg(record));
    return true;
}

bool DbfTable::isDeleted(qint64 record, bool *ok)
{
    QByteArray bytes;
    *ok = readRecord(record, &bytes);
    return *ok && bytes.at(0) == '*';
}

bool DbfTable::value(qint64 record, int field, QByteArray *out)
{
    if (field < 0 || field >= m_fields.size())
        return fail(QStringLiteral("There is no field %1.").arg(field));
    QByteArray bytes;
    if (!readRecord(record, &bytes))
        return false;
    const Field &f = m_fields[field];
    QByteArray raw = bytes.mid(1 + f.offset, f.length);
    if (f.type == 'M')
        return readMemo(raw, out);
    while (!raw.isEmpty() && (raw.endsWith(' ') || raw.endsWith('\0')))
        raw.chop(1);
    *out = raw;
    return true;
}

bool DbfTable::readMemo(const QByteArray &pointer, QByteArray *out)
{
    QByteArray digits = pointer;
    digits.replace('\0', ' ');
    digits = digits.trimmed();
    out->clear();
    if (digits.isEmpty())
        return true; // a blank pointer is an empty memo
    bool ok = false;
    const qint64 block = digits.toLongLong(&ok);
    if (!ok || block < 1)
        return fail(QStringLiteral("The table is damaged: memo pointer \"%1\".").arg(QString::fromLatin1(digits)));
    // Compared as a block number first: a huge pointer times the block size
    // would overflow before it could be compared with the file size.
    if (block > (m_dbt.size() - 1) / m_blockSize)
        return fail(QStringLiteral("The memo file is damaged or truncated: block %1 lies past its end.").arg(block));
    const qint64 start = block * m_blockSize;
    return m_version == 0x8B ? readMemoIV(start, out) : readMemoIII(start, out);
}

bool DbfTable::readMemoIV(qint64 start, QByteArray *out)
{
    if (!m_dbt.seek(start))
        return fail(QStringLiteral("Cannot read the memo file."));
    const QByteArray head = m_dbt.read(8);
    if (head.size() != 8 || head.left(4) != QByteArray("\xFF\xFF\x08\x00", 4))
        return fail(QStringLiteral("The memo file is damaged: a memo block has no memo header."));
    const quint32 length = le32(head.constData() + 4);
    // The stored length counts the 8 header bytes.
    if (length < 8 || start + qint64(length) > m_dbt.size())
        return fail(QStringLiteral("The memo file is damaged or truncated: a memo of %1 bytes does not fit in it.").arg(length));
    *out = m_dbt.read(qint64(length) - 8);
    if (out->size() != qint64(length) - 8)
        return fail(QStringLiteral("Cannot read the memo file."));
    return true;
}

bool DbfTable::readMemoIII(qint64 start, QByteArray *out)
{
    // The text runs to the first 1A 1A pair, which may straddle a block or a read chunk.
    if (!m_dbt.seek(start))
        return fail(QStringLiteral("Cannot read the memo file."));
    for (;;) {
        const QByteArray chunk = m_dbt.read(kMemoScanChunk);
        if (chunk.isEmpty())
            return fail(QStringLiteral("The memo file is truncated: a memo has no end mark."));
        const qsizetype before = out->size();
        out->append(chunk);
        const qsizetype from = before > 0 ? before - 1 : 0;
        const qsizetype end = out->indexOf(QByteArray("\x1A\x1A"), from);
        if (end >= 0) {
            out->truncate(end);
            return true;
        }
    }
}
