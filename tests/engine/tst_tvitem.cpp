#include "engine/tvitem.h"

#include "../common/testgame.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Records every event of a loader as one text, so order can be compared.
struct Recorder
{
    QStringList events;
    QStringList lines;

    explicit Recorder(TVItem &item)
    {
        QObject::connect(&item, &TVItem::ProcStart, [this] { events << QStringLiteral("start"); });
        QObject::connect(&item, &TVItem::ProcDone, [this] { events << QStringLiteral("done"); });
        QObject::connect(&item, &TVItem::NewLine, [this](const QString &line) {
            events << QStringLiteral("line");
            lines << line;
        });
        QObject::connect(&item, &TVItem::LoadingItem, [this](const QString &key, int index) {
            events << QStringLiteral("loading %1 %2").arg(key).arg(index);
        });
    }
};

} // namespace

class tst_TVItem : public QObject
{
    Q_OBJECT

private slots:
    void linesEndOnlyAtCrLfOrLoneCr_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("lone cr ends a line") << QByteArray("a\rb\r") << QStringList{"a", "b"};
        QTest::newRow("lone lf stays in the line") << QByteArray("a\nb\r\nc") << QStringList{"a\nb", "c"};
        QTest::newRow("last line without line end") << QByteArray("a\r\nlast") << QStringList{"a", "last"};
        QTest::newRow("blank lines kept") << QByteArray("\r\n\r\nx\r\n") << QStringList{"", "", "x"};
        QTest::newRow("cr cr lf") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("NUL bytes") << QByteArray("a\0b\r\n", 5) << QStringList{QString::fromUtf16(u"a\u0000b", 3)};
        QTest::newRow("code page bytes") << QByteArray("\x80\xE9\x93\r\n") << QStringList{QString::fromUtf16(u"\u20AC\u00E9\u201C")};
    }
    void linesEndOnlyAtCrLfOrLoneCr()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        TestGame game;
        QVERIFY(game.write(QStringLiteral("f.ini"), bytes));
        TVItem item;
        Recorder rec(item);
        item.OpenFile(game.path() + QStringLiteral("/f.ini"));
        QCOMPARE(rec.lines, lines);
    }

    // The reader works in 64 KiB chunks; a CR LF split over two chunks is one line end.
    void lineEndSplitAcrossChunksIsOneLineEnd()
    {
        for (int firstLength : {65535, 65534, 65536}) {
            QByteArray bytes(firstLength, 'x');
            bytes += "\r\nnext\r\n";
            TestGame game;
            QVERIFY(game.write(QStringLiteral("f.ini"), bytes));
            TVItem item;
            Recorder rec(item);
            item.OpenFile(game.path() + QStringLiteral("/f.ini"));
            QCOMPARE(rec.lines.size(), 2);
            QCOMPARE(rec.lines[0].size(), firstLength);
            QCOMPARE(rec.lines[1], QStringLiteral("next"));
        }
    }

    void hugeLineAndManyLinesAreDelivered()
    {
        QByteArray bytes(10 * 1024 * 1024, 'q');
        bytes += "\r\n";
        for (int i = 0; i < 40000; ++i)
            bytes += "l\r\n";
        TestGame game;
        QVERIFY(game.write(QStringLiteral("f.ini"), bytes));
        TVItem item;
        qsizetype count = 0;
        qsizetype longest = 0;
        connect(&item, &TVItem::NewLine, [&](const QString &line) {
            ++count;
            longest = qMax(longest, line.size());
        });
        item.OpenFile(game.path() + QStringLiteral("/f.ini"));
        QCOMPARE(count, qsizetype(40001));
        QCOMPARE(longest, qsizetype(10 * 1024 * 1024));
    }

    void unreadableFilesReadAsEmptyWithStartAndDone_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing") << QStringLiteral("Nothing.ini");
        QTest::newRow("folder") << QStringLiteral("Folder.ini");
        QTest::newRow("empty file") << QStringLiteral("Empty.ini");
    }
    void unreadableFilesReadAsEmptyWithStartAndDone()
    {
        QFETCH(QString, relative);
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Folder.ini/x"), "x"));
        QVERIFY(game.writeIni(QStringLiteral("Empty.ini"), ""));
        TVItem item;
        item.BasePath = game.path();
        Recorder rec(item);
        item.GetFUnitData(relative);
        QCOMPARE(rec.events, (QStringList{"start", "done"}));
    }

    void getFUnitDataDefaultsToFactionUnitAndRaisesEventsInOrder()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"), crlf({"one", "two"})));
        TVItem item;
        item.BasePath = game.path();
        Recorder rec(item);
        item.GetFUnitData();
        QCOMPARE(rec.events, (QStringList{"start", "line", "line", "done"}));
        QCOMPARE(rec.lines, (QStringList{"one", "two"}));
    }

    void getLocomotorDataReadsLocomotorIni()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("locomotor.INI"), crlf({"Locomotor A"})));
        TVItem item;
        item.BasePath = game.path();
        Recorder rec(item);
        item.GetLocomotorData();
        QCOMPARE(rec.events, (QStringList{"start", "line", "done"}));
    }

    void addTVItemAnnouncesTheFileNumberBeforeItsLines_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("number");
        QTest::newRow("FactionUnit") << QStringLiteral("FactionUnit.ini") << 1;
        QTest::newRow("CivilianBuilding") << QStringLiteral("CivilianBuilding.ini") << 4;
        QTest::newRow("NatureUnit") << QStringLiteral("NatureUnit.ini") << 8;
        QTest::newRow("other name") << QStringLiteral("Extra.ini") << 0;
        QTest::newRow("case differs") << QStringLiteral("factionunit.ini") << 0;
    }
    void addTVItemAnnouncesTheFileNumberBeforeItsLines()
    {
        QFETCH(QString, key);
        QFETCH(int, number);
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/") + key, crlf({"x"})));
        TVItem item;
        item.BasePath = game.path();
        Recorder rec(item);
        item.AddTVItem(key);
        QCOMPARE(rec.events, (QStringList{QStringLiteral("loading %1 %2").arg(key).arg(number), "line"}));
    }

    void checkTextIsACaseSensitivePrefixTest_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<bool>("result");
        QTest::newRow("indented marker") << QStringLiteral("  WeaponSet") << QStringLiteral("  WeaponSet") << true;
        QTest::newRow("marker without indent") << QStringLiteral("  WeaponSet") << QStringLiteral("WeaponSet") << false;
        QTest::newRow("lower case") << QStringLiteral("object X") << QStringLiteral("Object") << false;
        QTest::newRow("empty find") << QStringLiteral("abc") << QString() << true;
        QTest::newRow("text shorter") << QStringLiteral("Ob") << QStringLiteral("Object") << false;
    }
    void checkTextIsACaseSensitivePrefixTest()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(bool, result);
        QCOMPARE(TVItem::CheckText(text, find), result);
    }
};

QTEST_GUILESS_MAIN(tst_TVItem)
#include "tst_tvitem.moc"
