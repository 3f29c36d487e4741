#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVector>

// Reads dBASE III PLUS (0x83) and dBASE IV/5 (0x8B) tables with their .DBT
// memo files; 0x03 tables without memo fields are read too. Every count,
// length and offset in the files is checked against the files' real sizes
// before it is used, so a damaged or foreign table gives an error, never a
// read past the end or an allocation the size of a bogus length.
class DbfTable
{
public:
    struct Field
    {
        QString name;
        char type = 0;
        int offset = 0; // within the record, after the deletion flag
        int length = 0;
    };

    // Opens path (the .DBF) and, when the table has memo fields, the .DBT of
    // the same name (either letter case of the extension).
    bool open(const QString &dbfPath);
    QString errorString() const { return m_error; }

    quint8 version() const { return m_version; }
    // Records in the file, deleted ones included.
    qint64 recordCount() const { return m_recordCount; }
    const QVector<Field> &fields() const { return m_fields; }
    // Position of the field with this name (letter case ignored), or -1.
    int fieldIndex(const QString &name) const;

    // Reads one record's raw bytes; false (with errorString) on damage.
    bool isDeleted(qint64 record, bool *ok);
    // The field's value: character fields without their trailing spaces and
    // NULs, memo fields as the exact stored bytes.
    bool value(qint64 record, int field, QByteArray *out);

private:
    bool fail(const QString &message);
    bool readRecord(qint64 record, QByteArray *out);
    bool readMemo(const QByteArray &pointer, QByteArray *out);
    bool readMemoIV(qint64 start, QByteArray *out);
    bool readMemoIII(qint64 start, QByteArray *out);
    bool openMemo(const QString &dbfPath);

    QFile m_dbf;
    QFile m_dbt;
    QString m_error;
    quint8 m_version = 0;
    qint64 m_recordCount = 0;
    qint64 m_headerLength = 0;
    qint64 m_recordLength = 0;
    qint64 m_blockSize = 512;
    QVector<Field> m_fields;
};
