#include "fuzzinput.h"

#include "startup/dbctl.h"

#include <QtEndian>

// The stock table reader on a fuzzed .DBF and .DBT pair: the first four bytes
// give the length of the .DBF part, the rest is the memo file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const quint32 tableLength = qFromLittleEndian<quint32>(data);
    const QByteArray rest(reinterpret_cast<const char *>(data + 4), qsizetype(size - 4));
    const qsizetype split = qMin<qsizetype>(tableLength, rest.size());
    if (!writeScratch(fuzzScratchFolder() + QStringLiteral("/T.DBF"), rest.left(split))
        || !writeScratch(fuzzScratchFolder() + QStringLiteral("/T.DBT"), rest.mid(split)))
        return 0;
    DBCtl table;
    if (!table.LoadDatabase(fuzzScratchFolder(), QStringLiteral("T")))
        return 0;
    for (qint64 i = 0; i < table.RecordCount(); ++i) {
        table.SetRecord(i);
        for (int field = 0; field < table.table().fields().size(); ++field)
            table.GetData(field);
    }
    table.MoveNext();
    table.MovePrevious();
    return 0;
}
