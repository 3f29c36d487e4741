#include "startup/dbctl.h"
#include "startup/dbfwriter.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray allBytes()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b += char(i);
    return b;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A dBASE III PLUS table (0x83) with one C(20) field and one memo field, laid
// out the way III writers do: 512-byte blocks, each memo ended by 1A 1A, the
// last one not padded. The memo pointers are memoWidth digits wide.
void writeDb3(const QString &dbfPath, const QList<QPair<QByteArray, QByteArray>> &records, int memoWidth = 10)
{
    QByteArray memo(512, '\0');
    QByteArray table(32, '\0');
    table[0] = char(0x83);
    qToLittleEndian<quint32>(records.size(), table.data() + 4);
    qToLittleEndian<quint16>(32 + 64 + 1, table.data() + 8);
    qToLittleEndian<quint16>(1 + 20 + memoWidth, table.data() + 10);
    QByteArray name(32, '\0');
    memcpy(name.data(), "NAME", 4);
    name[11] = 'C';
    name[16] = 20;
    QByteArray text(32, '\0');
    memcpy(text.data(), "TEXT", 4);
    text[11] = 'M';
    text[16] = char(memoWidth);
    table += name + text + '\x0D';
    for (const auto &[key, value] : records) {
        memo += QByteArray((512 - memo.size() % 512) % 512, '\0');
        const qint64 block = memo.size() / 512;
        memo += value + "\x1A\x1A";
        table += ' ' + key.leftJustified(20, ' ') + QByteArray::number(block).rightJustified(memoWidth, ' ');
    }
    table += '\x1A';
    QVERIFY(writeFile(dbfPath, table));
    QVERIFY(writeFile(dbfPath.chopped(4) + QStringLiteral(".DBT"), memo));
}

} // namespace

class tst_DbfTable : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A good IV table of three records to damage in the failure tests.
    void writeGoodTable(const QString &dbf)
    {
        DbfWriter writer;
        QVERIFY2(writer.write(dbf, {{"Data\\INI\\A.ini", "first\r\n"}, {"Data\\INI\\B.ini", QByteArray(3000, 'b')},
                                    {"Data\\INI\\C.ini", "third"}}),
                 qPrintable(writer.errorString()));
    }

private slots:
    void writtenTableReadsBackByteForByte()
    {
        const QList<DbfWriter::Record> records = {
            {"Data\\INI\\Empty.ini", QByteArray()},
            {"Data\\INI\\Bytes.ini", allBytes()},
            {"Data\\INI\\Marks.ini", QByteArray("a\x1A\x1A" "b\x1F\x00z", 7)},
            {"Data\\INI\\Big.ini", QByteArray(5 * 1024 * 1024, '\xE9') + "end"},
            // Header and text fill the last block exactly, up to the end of the memo file.
            {"Data\\INI\\Block.ini", QByteArray(504, 'x')},
        };
        DbfWriter writer;
        QVERIFY2(writer.write(path(QStringLiteral("Data.DBF")), records), qPrintable(writer.errorString()));

        DBCtl db;
        QVERIFY2(db.LoadDatabase(m_dir.path(), QStringLiteral("Data")), qPrintable(db.errorString()));
        QCOMPARE(db.RecordCount(), qint64(records.size()));
        QCOMPARE(db.Position(), qint64(0));
        QVERIFY(!db.AtEnd());
        for (qsizetype i = 0; i < records.size(); ++i) {
            QVERIFY(db.SetRecord(i));
            QCOMPARE(db.GetData(0).value_or("<error>"), records[i].path);
            QCOMPARE(db.GetData(QStringLiteral("text")).value_or("<error>"), records[i].text);
        }
        const QByteArray dbf = readFile(path(QStringLiteral("Data.DBF")));
        QCOMPARE(quint8(dbf[0]), quint8(0x8B));
        const QByteArray dbt = readFile(path(QStringLiteral("Data.DBT")));
        QCOMPARE(qFromLittleEndian<quint16>(dbt.constData() + 20), quint16(512));
        // The first memo: FF FF 08 00, then a length that counts those 8 bytes.
        QCOMPARE(dbt.mid(512, 4), QByteArray("\xFF\xFF\x08\x00", 4));
        QCOMPARE(qFromLittleEndian<quint32>(dbt.constData() + 516), quint32(8));
    }

    void cursorMovesAndSignalsAsTheWizardUsesIt()
    {
        writeGoodTable(path(QStringLiteral("Cur.DBF")));
        DBCtl db;
        QSignalSpy changes(&db, &DBCtl::RecordChange);
        QVERIFY(db.LoadDatabase(m_dir.path(), QStringLiteral("cur")));
        QCOMPARE(changes.count(), 0);
        QVERIFY(db.MoveNext());
        QVERIFY(db.MovePrevious());
        QCOMPARE(db.GetData(0).value_or(""), QByteArray("Data\\INI\\A.ini"));
        QVERIFY(db.SetRecord(3));
        QVERIFY(db.AtEnd());
        QVERIFY(!db.GetData(0).has_value());
        QVERIFY(!db.MoveNext());
        QVERIFY(db.SetRecord(0));
        QVERIFY(!db.MovePrevious());
        QVERIFY(!db.SetRecord(4));
        QVERIFY(!db.GetData(QStringLiteral("NOSUCH")).has_value());
        QCOMPARE(changes.count(), 4);
    }

    void deletedRecordsAreSkipped()
    {
        const QString dbf = path(QStringLiteral("Del.DBF"));
        writeGoodTable(dbf);
        QByteArray bytes = readFile(dbf);
        const int header = qFromLittleEndian<quint16>(bytes.constData() + 8);
        const int length = qFromLittleEndian<quint16>(bytes.constData() + 10);
        bytes[header + length] = '*'; // the second record
        QVERIFY(writeFile(dbf, bytes));
        DBCtl db;
        QVERIFY(db.LoadDatabase(m_dir.path(), QStringLiteral("Del")));
        QCOMPARE(db.RecordCount(), qint64(2));
        QVERIFY(db.SetRecord(1));
        QCOMPARE(db.GetData(1).value_or(""), QByteArray("third"));
    }

    void dbase3TablesReadExactly()
    {
        // 511 bytes put the 1A 1A pair across a block boundary.
        const QList<QPair<QByteArray, QByteArray>> records = {
            {"one", "hello\r\nworld"}, {"two", QByteArray(511, 'q')}, {"three", allBytes().left(26) + allBytes().mid(27)},
            {"four", QByteArray(200000, 'z')}};
        writeDb3(path(QStringLiteral("Three.DBF")), records);
        DBCtl db;
        QVERIFY2(db.LoadDatabase(m_dir.path(), QStringLiteral("Three")), qPrintable(db.errorString()));
        QCOMPARE(db.RecordCount(), qint64(records.size()));
        for (qsizetype i = 0; i < records.size(); ++i) {
            QVERIFY(db.SetRecord(i));
            QCOMPARE(db.GetData(0).value_or("<error>"), records[i].first);
            QCOMPARE(db.GetData(1).value_or("<error>"), records[i].second);
        }
    }

    // A pointer so large that multiplying it by the block size would overflow.
    void hugeMemoPointerIsDamage()
    {
        const QString dbf = path(QStringLiteral("Wide.DBF"));
        writeDb3(dbf, {{"one", "first"}, {"two", "second"}}, 20);
        QByteArray bytes = readFile(dbf);
        const int second = 32 + 64 + 1 + 41;
        bytes.replace(second + 21, 20, QByteArray::number((Q_INT64_C(1) << 55) + 1).rightJustified(20, ' '));
        QVERIFY(writeFile(dbf, bytes));
        DBCtl db;
        QVERIFY(db.LoadDatabase(m_dir.path(), QStringLiteral("Wide")));
        QCOMPARE(db.GetData(1).value_or("<error>"), QByteArray("first"));
        QVERIFY(db.SetRecord(1));
        QVERIFY(!db.GetData(1).has_value());
        QVERIFY2(db.errorString().contains(QLatin1String("damaged")), qPrintable(db.errorString()));
    }

    // python3-dbf writes dBASE III tables independently of us; when it is
    // installed, every byte it stores must come back.
    void dbase3TablesFromAnotherWriterReadExactly()
    {
        // Debian's own interpreter, where the package installs the module.
        QString python = QStringLiteral("/usr/bin/python3");
        if (!QFile::exists(python))
            python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty() || QProcess::execute(python, {"-c", "import dbf"}) != 0)
            QSKIP("python3-dbf is not installed");
        const QString script = QStringLiteral(
            "import dbf,sys\n"
            "t=dbf.Table(sys.argv[1],'PATH C(100); TEXT M',dbf_type='db3',codepage='cp1252')\n"
            "t.open(dbf.READ_WRITE)\n"
            "t._meta.decoder=lambda b,errors='strict':(b.decode('latin-1'),len(b))\n"
            "t._meta.encoder=lambda s,errors='strict':(s.encode('latin-1'),len(s))\n"
            "t.append(('Data\\\\INI\\\\A.ini', ''.join(chr(i) for i in range(1,256) if i!=26)))\n"
            "t.append(('Data\\\\INI\\\\B.ini', 'x'*3000))\n"
            "t.close()\n");
        const QString dbf = path(QStringLiteral("peer.dbf"));
        QCOMPARE(QProcess::execute(python, {"-c", script, dbf}), 0);
        DBCtl db;
        QVERIFY2(db.LoadDatabase(m_dir.path(), QStringLiteral("peer")), qPrintable(db.errorString()));
        QCOMPARE(db.RecordCount(), qint64(2));
        QByteArray expected;
        for (int i = 1; i < 256; ++i) {
            if (i != 26)
                expected += char(i);
        }
        QCOMPARE(db.GetData(1).value_or("<error>"), expected);
        QVERIFY(db.SetRecord(1));
        QCOMPARE(db.GetData(0).value_or("<error>"), QByteArray("Data\\INI\\B.ini"));
        QCOMPARE(db.GetData(1).value_or("<error>"), QByteArray(3000, 'x'));
    }

    void damagedTablesGiveClearErrors_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing table") << "no dbf" << "Cannot open the table";
        QTest::newRow("missing memo file") << "no dbt" << "Cannot open the memo file";
        QTest::newRow("truncated table") << "cut dbf 20" << "too short";
        QTest::newRow("records cut off") << "cut dbf 200" << "more than the file holds";
        QTest::newRow("record count too large") << "dbf32 4 1000000" << "more than the file holds";
        QTest::newRow("record count near 2^32") << "dbf32 4 4294967295" << "more than the file holds";
        QTest::newRow("header length past the end") << "dbf16 8 65000" << "header length";
        QTest::newRow("record length wrong") << "dbf16 10 7" << "record length";
        QTest::newRow("FoxPro table") << "dbf8 0 48" << "FoxPro";
        QTest::newRow("FoxPro 2 table") << "dbf8 0 245" << "FoxPro";
        QTest::newRow("dBASE 7 table") << "dbf8 0 140" << "dBASE 7";
        QTest::newRow("unknown version") << "dbf8 0 142" << "unsupported";
        QTest::newRow("field without length") << "dbf8 80 0" << "no length";
        QTest::newRow("no end of fields") << "dbf8 96 65" << "end mark";
        QTest::newRow("bad record flag") << "record flag" << "damaged at record";
        QTest::newRow("memo block past the end") << "memo block 9999" << "past its end";
        QTest::newRow("truncated memo file") << "cut dbt 1500" << "does not fit";
        QTest::newRow("absurd memo length") << "dbt32 516 4294967280" << "does not fit";
        QTest::newRow("memo without header") << "dbt32 512 0" << "no memo header";
        QTest::newRow("tiny block size") << "dbt16 20 4" << "block size";
        QTest::newRow("memo pointer not a number") << "memo block x1" << "memo pointer";
    }
    void damagedTablesGiveClearErrors()
    {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString dbfPath = dir.filePath(QStringLiteral("T.DBF"));
        const QString dbtPath = dir.filePath(QStringLiteral("T.DBT"));
        writeGoodTable(dbfPath);
        QByteArray dbf = readFile(dbfPath);
        QByteArray dbt = readFile(dbtPath);
        const int header = qFromLittleEndian<quint16>(dbf.constData() + 8);
        const QStringList d = damage.split(QLatin1Char(' '));
        if (damage == QLatin1String("no dbf"))
            QFile::remove(dbfPath);
        else if (damage == QLatin1String("no dbt"))
            QFile::remove(dbtPath);
        else if (d[0] == QLatin1String("cut"))
            (d[1] == QLatin1String("dbf") ? dbf : dbt).truncate(d[2].toInt());
        else if (d[0] == QLatin1String("dbf8"))
            dbf[d[1].toInt()] = char(d[2].toInt());
        else if (d[0] == QLatin1String("dbf16"))
            qToLittleEndian<quint16>(d[2].toUShort(), dbf.data() + d[1].toInt());
        else if (d[0] == QLatin1String("dbf32"))
            qToLittleEndian<quint32>(d[2].toUInt(), dbf.data() + d[1].toInt());
        else if (d[0] == QLatin1String("dbt16"))
            qToLittleEndian<quint16>(d[2].toUShort(), dbt.data() + d[1].toInt());
        else if (d[0] == QLatin1String("dbt32"))
            qToLittleEndian<quint32>(d[2].toUInt(), dbt.data() + d[1].toInt());
        else if (damage == QLatin1String("record flag"))
            dbf[header] = 'Q';
        else if (d[0] == QLatin1String("memo"))
            dbf.replace(header + 1 + 254, 10, d[2].toLatin1().rightJustified(10, ' '));
        if (damage != QLatin1String("no dbf") && damage != QLatin1String("no dbt")) {
            QVERIFY(writeFile(dbfPath, dbf));
            QVERIFY(writeFile(dbtPath, dbt));
        }

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
