#include "dbctl.h"

#include "platform/gamepath.h"

DBCtl::DBCtl(QObject *parent)
    : QObject(parent)
{
}

bool DBCtl::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool DBCtl::LoadDatabase(const QString &Path, const QString &Filename)
{
    m_live.clear();
    m_position = 0;
    if (!m_table.open(GamePaths::join(Path, Filename + QStringLiteral(".DBF"))))
        return fail(m_table.errorString());
    for (qint64 i = 0; i < m_table.recordCount(); ++i) {
        bool ok = false;
        const bool deleted = m_table.isDeleted(i, &ok);
        if (!ok) {
            m_live.clear();
            return fail(m_table.errorString());
        }
        if (!deleted)
            m_live.append(i);
    }
    return true;
}

bool DBCtl::MoveNext()
{
    if (AtEnd())
        return fail(QStringLiteral("No current record."));
    ++m_position;
    emit RecordChange();
    return true;
}

bool DBCtl::MovePrevious()
{
    if (m_position <= 0)
        return fail(QStringLiteral("No current record."));
    --m_position;
    emit RecordChange();
    return true;
}

bool DBCtl::SetRecord(qint64 Index)
{
    if (Index < 0 || Index > RecordCount())
        return fail(QStringLiteral("There is no record %1.").arg(Index));
    m_position = Index;
    emit RecordChange();
    return true;
}

std::optional<QByteArray> DBCtl::GetData(int Field)
{
    if (AtEnd()) {
        fail(QStringLiteral("No current record."));
        return std::nullopt;
    }
    QByteArray value;
    if (!m_table.value(m_live[m_position], Field, &value)) {
        fail(m_table.errorString());
        return std::nullopt;
    }
    return value;
}

std::optional<QByteArray> DBCtl::GetData(const QString &Field)
{
    const int index = m_table.fieldIndex(Field);
    if (index < 0) {
        fail(QStringLiteral("The table has no field %1.").arg(Field));
        return std::nullopt;
    }
    return GetData(index);
}
