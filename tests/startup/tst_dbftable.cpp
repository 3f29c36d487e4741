#include "startup/dbctl.h"
#include "startup/dbfwriter.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

// The writer's tables: header length and record length.
constexpr int kHeader = 97;
constexpr int kRecord = 265;

QByteArray allBytes()
{
    QByteArray b(256, '\0');
    for (int i = 0; i < 256; ++i)
        b[i] = char(i);
    return b;
}

// Writes bytes over a file's own at offset at.
void patch(const QString &path, qint64 at, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(at) && f.write(bytes) == bytes.size());
}

// A dBASE III PLUS table (0x83) with a C(20) and a memo field as III writers lay it out: each field's
// place in the record stored with it, 512-byte blocks, each memo ended by 1A 1A, the last one not
// padded. The memo pointers are memoWidth digits wide.
void writeDb3(const QString &dbfPath, const QList<DbfWriter::Record> &records, int memoWidth = 10)
{
    QByteArray table(32 + 64, '\0');
    table[0] = char(0x83);
    qToLittleEndian<quint32>(records.size(), table.data() + 4);
    qToLittleEndian<quint16>(32 + 64 + 1, table.data() + 8);
    qToLittleEndian<quint16>(1 + 20 + memoWidth, table.data() + 10);
    table.replace(32, 4, "NAME").replace(64, 4, "TEXT");
    table[43] = 'C';
    table[44] = 1;
    table[48] = 20;
    table[75] = 'M';
    table[76] = 21;
    table[80] = char(memoWidth);
    table += '\x0D';
    QByteArray memo(512, '\0');
    for (const auto &[key, value] : records) {
        memo += QByteArray((512 - memo.size() % 512) % 512, '\0');
        table += ' ' + key.leftJustified(20, ' ') + QByteArray::number(memo.size() / 512).rightJustified(memoWidth, ' ');
        memo += value + "\x1A\x1A";
    }
    QFile dbf(dbfPath);
    QVERIFY(dbf.open(QIODevice::WriteOnly) && dbf.write(table + '\x1A') == table.size() + 1);
    QFile dbt(dbfPath.chopped(4) + QStringLiteral(".DBT"));
    QVERIFY(dbt.open(QIODevice::WriteOnly) && dbt.write(memo) == memo.size());
}

// Memos of every kind: empty, every byte, III end marks inside, more than 64 KiB, and one whose
// header and text fill the last block exactly, up to the end of the memo file.
const QList<DbfWriter::Record> kRecords = {
    {"Data\\INI\\Empty.ini", QByteArray()},
    {"Data\\INI\\Bytes.ini", allBytes()},
    {"Data\\INI\\Marks.ini", QByteArray("a\x1A\x1A" "b\x1F\x00z", 7)},
    {"Data\\INI\\Big.ini", QByteArray(5 * 1024 * 1024, '\xE9') + "end"},
    {"Data\\INI\\Block.ini", QByteArray(504, 'x')},
};

void writeTable(const QString &dbf)
{
    DbfWriter writer;
    QVERIFY2(writer.write(dbf, kRecords), qPrintable(writer.errorString()));
}

} // namespace

class tst_DbfTable : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

    // Opens the table name of the folder and compares every record's two fields.
    void expectRecords(const char *name, const QList<DbfWriter::Record> &records)
    {
        DBCtl db;
        QVERIFY2(db.LoadDatabase(m_dir.path(), QLatin1String(name)), qPrintable(db.errorString()));
        QCOMPARE(db.RecordCount(), qint64(records.size()));
        for (qsizetype i = 0; i < records.size(); ++i) {
            QVERIFY(db.SetRecord(i));
            QCOMPARE(db.GetData(0).value_or("<error>"), records[i].path);
            QCOMPARE(db.GetData(QStringLiteral("text")).value_or("<error>"), records[i].text);
        }
    }

private slots:
    void writtenTableReadsBackByteForByte()
    {
        writeTable(path("Data.DBF"));
        expectRecords("Data", kRecords);
        // dBASE IV: version 0x8B, 512-byte blocks, and each memo starts FF FF 08 00
        // and a length that counts those 8 bytes.
        QFile dbf(path("Data.DBF")), dbt(path("Data.DBT"));
        QVERIFY(dbf.open(QIODevice::ReadOnly) && dbt.open(QIODevice::ReadOnly));
        QCOMPARE(quint8(dbf.read(1)[0]), quint8(0x8B));
        const QByteArray memo = dbt.read(520);
        QCOMPARE(memo.mid(20, 2), QByteArray("\x00\x02", 2));
        QCOMPARE(memo.mid(512, 8), QByteArray("\xFF\xFF\x08\x00\x08\x00\x00\x00", 8));
    }

    // Deleted records are skipped: the cursor sees only live ones.
    void cursorMovesAndSignalsAsTheWizardUsesIt()
    {
        writeTable(path("Cur.DBF"));
        patch(path("Cur.DBF"), kHeader + kRecord, "*"); // the second record
        DBCtl db;
        QSignalSpy changes(&db, &DBCtl::RecordChange);
        QVERIFY(db.LoadDatabase(m_dir.path(), QStringLiteral("cur")));
        QCOMPARE(db.RecordCount(), qint64(4));
        QVERIFY(db.MoveNext() && db.MovePrevious());
        QCOMPARE(db.GetData(0).value_or(""), kRecords[0].path);
        QVERIFY(db.SetRecord(1));
        QCOMPARE(db.GetData(0).value_or(""), kRecords[2].path);
        QVERIFY(db.SetRecord(4) && db.AtEnd() && !db.GetData(0) && !db.MoveNext());
        QVERIFY(db.SetRecord(0) && !db.MovePrevious() && !db.SetRecord(5));
        QVERIFY(!db.GetData(QStringLiteral("NOSUCH")).has_value());
        QCOMPARE(changes.count(), 5);
    }

    void dbase3TablesReadExactly()
    {
        // A lone 1A is text; 511 bytes put the 1A 1A pair across a block
        // boundary, 65535 across two 64 KiB reads.
        const QList<DbfWriter::Record> records = {{"one", "hello\r\nworld"}, {"two", QByteArray(511, 'q')},
                                                  {"three", allBytes()}, {"four", QByteArray(65535, 'z')}};
        writeDb3(path("Three.DBF"), records);
        expectRecords("Three", records);
    }

    // A pointer so large that multiplying it by the block size would overflow.
    void hugeMemoPointerIsDamage()
    {
        writeDb3(path("Wide.DBF"), {{"one", "first"}, {"two", "second"}}, 20);
        // The second record's memo pointer.
        patch(path("Wide.DBF"), 97 + 41 + 21, QByteArray::number((Q_INT64_C(1) << 55) + 1).rightJustified(20, ' '));
        DBCtl db;
        QVERIFY(db.LoadDatabase(m_dir.path(), QStringLiteral("Wide")));
        QCOMPARE(db.GetData(1).value_or("<error>"), QByteArray("first"));
        QVERIFY(db.SetRecord(1));
        QVERIFY(!db.GetData(1).has_value());
        QVERIFY2(db.errorString().contains(QLatin1String("damaged")) && db.errorString().contains(QLatin1String("past its end")),
                 qPrintable(db.errorString()));
    }

    void damagedTablesGiveClearErrors_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("at");            // -1: the file is removed
        QTest::addColumn<QByteArray>("bytes");  // written at `at`; none: the file is cut there
        QTest::addColumn<QString>("message");
        QTest::newRow("missing table") << "T.DBF" << -1 << QByteArray() << "Cannot open the table";
        QTest::newRow("missing memo file") << "T.DBT" << -1 << QByteArray() << "Cannot open the memo file";
        QTest::newRow("truncated table") << "T.DBF" << 20 << QByteArray() << "too short";
        QTest::newRow("records cut off") << "T.DBF" << 200 << QByteArray() << "more than the file holds";
        QTest::newRow("record count near 2^32") << "T.DBF" << 4 << QByteArray::fromHex("ffffffff") << "more than the file holds";
        QTest::newRow("header length past the end") << "T.DBF" << 8 << QByteArray::fromHex("e8fd") << "header length";
        QTest::newRow("record length wrong") << "T.DBF" << 10 << QByteArray::fromHex("0700") << "record length";
        QTest::newRow("dBASE 7 table") << "T.DBF" << 0 << QByteArray::fromHex("8c") << "dBASE 7";
        QTest::newRow("unknown version") << "T.DBF" << 0 << QByteArray::fromHex("8e") << "unsupported";
        QTest::newRow("field without length") << "T.DBF" << 80 << QByteArray::fromHex("00") << "no length";
        QTest::newRow("no end of fields") << "T.DBF" << 96 << QByteArray("A") << "end mark";
        QTest::newRow("bad record flag") << "T.DBF" << kHeader << QByteArray("Q") << "damaged at record";
        QTest::newRow("memo pointer not a number") << "T.DBF" << kHeader + 1 + 254 + 8 << QByteArray("x") << "memo pointer";
        QTest::newRow("absurd memo length") << "T.DBT" << 516 << QByteArray::fromHex("f0ffffff") << "does not fit";
        QTest::newRow("memo without header") << "T.DBT" << 512 << QByteArray::fromHex("00000000") << "no memo header";
        QTest::newRow("tiny block size") << "T.DBT" << 20 << QByteArray::fromHex("0400") << "block size";
    }
    void damagedTablesGiveClearErrors()
    {
        QFETCH(QString, file);
        QFETCH(int, at);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QTemporaryDir dir;
        writeTable(dir.filePath(QStringLiteral("T.DBF")));
        QFile damaged(dir.filePath(file));
        if (at < 0)
            QVERIFY(damaged.remove());
        else if (bytes.isEmpty())
            QVERIFY(damaged.resize(at));
        else
            patch(damaged.fileName(), at, bytes);
        DBCtl db;
        bool failed = !db.LoadDatabase(dir.path(), QStringLiteral("T"));
        // Damage inside a record shows when that record is read.
        for (qint64 i = 0; !failed && i < db.RecordCount(); ++i)
            failed = !db.SetRecord(i) || !db.GetData(0) || !db.GetData(1);
        QVERIFY2(failed, "damage went unnoticed");
        QVERIFY2(db.errorString().contains(message), qPrintable(db.errorString()));
    }
};

QTEST_GUILESS_MAIN(tst_DbfTable)
#include "tst_dbftable.moc"
