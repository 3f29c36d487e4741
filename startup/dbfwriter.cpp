#include "dbfwriter.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

namespace {

constexpr int kBlockSize = 512;
constexpr int kPathLength = 254;
constexpr int kMemoLength = 10;

void putLe16(QByteArray &b, int at, quint16 v)
{
    qToLittleEndian(v, b.data() + at);
}

void putLe32(QByteArray &b, int at, quint32 v)
{
    qToLittleEndian(v, b.data() + at);
}

QByteArray descriptor(const char *name, char type, int length)
{
    QByteArray d(32, '\0');
    memcpy(d.data(), name, qstrlen(name));
    d[11] = type;
    d[16] = char(length);
    return d;
}

bool commit(QSaveFile &file, const QByteArray &bytes, QString *error)
{
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    return true;
}

} // namespace

bool DbfWriter::write(const QString &dbfPath, const QList<Record> &records)
{
    const QFileInfo info(dbfPath);
    const QString dbtPath = info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".DBT");

    QByteArray memo(kBlockSize, '\0');
    QByteArray baseName = info.completeBaseName().toLatin1().left(8);
    memcpy(memo.data() + 8, baseName.constData(), size_t(baseName.size()));
    putLe16(memo, 20, kBlockSize);

    const int recordLength = 1 + kPathLength + kMemoLength;
    const int headerLength = 32 + 2 * 32 + 1;
    QByteArray table(32, '\0');
    table[0] = char(0x8B);
    table[1] = char(126); // last update, years since 1900; not read back
    table[2] = 1;
    table[3] = 1;
    putLe32(table, 4, quint32(records.size()));
    putLe16(table, 8, headerLength);
    putLe16(table, 10, recordLength);
    table[29] = 0x03; // Windows ANSI
    table += descriptor("PATH", 'C', kPathLength);
    table += descriptor("TEXT", 'M', kMemoLength);
    table += '\x0D';

    for (const Record &record : records) {
        if (record.path.size() > kPathLength) {
            m_error = QStringLiteral("The path %1 is longer than %2 bytes.").arg(QString::fromLatin1(record.path)).arg(kPathLength);
            return false;
        }
        const qint64 stored = qint64(record.text.size()) + 8;
        if (stored > qint64(0xFFFFFFFFu)) {
            m_error = QStringLiteral("The text of %1 is too long for a memo.").arg(QString::fromLatin1(record.path));
            return false;
        }
        const qint64 block = memo.size() / kBlockSize;
        QByteArray head("\xFF\xFF\x08\x00\0\0\0\0", 8);
        putLe32(head, 4, quint32(stored));
        memo += head;
        memo += record.text;
        memo += QByteArray((kBlockSize - memo.size() % kBlockSize) % kBlockSize, '\0');

        table += ' ';
        table += record.path.leftJustified(kPathLength, ' ');
        table += QByteArray::number(block).rightJustified(kMemoLength, ' ');
    }
    table += '\x1A';
    putLe32(memo, 0, quint32(memo.size() / kBlockSize));

    QSaveFile dbt(dbtPath);
    QSaveFile dbf(dbfPath);
    return commit(dbt, memo, &m_error) && commit(dbf, table, &m_error);
}
