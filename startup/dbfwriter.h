#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Writes the stock table: a dBASE IV/5 table (version byte 0x8B) with two
// fields, PATH (character, 254) and TEXT (memo), and its .DBT memo file in
// the length-prefixed layout, so a memo may hold any byte.
class DbfWriter
{
public:
    struct Record
    {
        QByteArray path;
        QByteArray text;
    };

    // Writes dbfPath and the .DBT beside it; false with errorString on failure.
    bool write(const QString &dbfPath, const QList<Record> &records);
    QString errorString() const { return m_error; }

private:
    QString m_error;
};
