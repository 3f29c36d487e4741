#pragma once

#include "dbftable.h"

#include <QObject>

#include <optional>

// A cursor over the stock table. Deleted records are skipped: the cursor,
// RecordCount and Position see only live records. Every operation that can
// fail returns false (or an empty optional) and leaves the reason in
// errorString(); nothing is shown to the user here.
class DBCtl : public QObject
{
    Q_OBJECT

public:
    explicit DBCtl(QObject *parent = nullptr);

    // Opens Path\Filename.DBF with its memo file; the cursor is on the first record.
    bool LoadDatabase(const QString &Path, const QString &Filename);
    // Moves one record on; moving on from the last record sets AtEnd, moving on from there fails.
    bool MoveNext();
    // Moves one record back; fails on the first record.
    bool MovePrevious();
    // Moves to record Index counted from 0; Index == RecordCount sets AtEnd.
    bool SetRecord(qint64 Index);
    // The current record's field by position or by name; empty when there is
    // no current record or the table is damaged there.
    std::optional<QByteArray> GetData(int Field);
    std::optional<QByteArray> GetData(const QString &Field);

    bool AtEnd() const { return m_position >= qint64(m_live.size()); }
    qint64 Position() const { return m_position; }
    qint64 RecordCount() const { return m_live.size(); }

    QString errorString() const { return m_error; }
    const DbfTable &table() const { return m_table; }

signals:
    void RecordChange();

private:
    bool fail(const QString &message);

    DbfTable m_table;
    QVector<qint64> m_live; // file record numbers of the live records
    qint64 m_position = 0;
    QString m_error;
};
