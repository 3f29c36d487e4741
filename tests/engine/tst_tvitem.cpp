#include "engine/tvitem.h"

#include "../common/testgame.h"

#include <QTest>

#include <functional>

using Read = std::function<void(TVItem &)>;
Q_DECLARE_METATYPE(Read)

namespace {

// What a loader over the game folder base raises while read runs: each line
// as it is, every other event in angle brackets.
QStringList eventsOf(const QString &base, const Read &read)
{
    TVItem item;
    item.BasePath = base;
    QStringList events;
    QObject::connect(&item, &TVItem::ProcStart, [&] { events << QStringLiteral("<start>"); });
    QObject::connect(&item, &TVItem::ProcDone, [&] { events << QStringLiteral("<done>"); });
    QObject::connect(&item, &TVItem::NewLine, [&](const QString &line) { events << line; });
    QObject::connect(&item, &TVItem::LoadingItem,
                     [&](const QString &key, int number) { events << QStringLiteral("<%1 %2>").arg(key).arg(number); });
    read(item);
    return events;
}

} // namespace

class tst_TVItem : public QObject
{
    Q_OBJECT

private slots:
    void linesEndOnlyAtCrLfOrLoneCr_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf, lone cr, cr crlf, no end after the last")
            << QByteArray("\r\na\rb\r\r\nc") << QStringList{"", "a", "b", "", "c"};
        QTest::newRow("lone lf stays in the line") << QByteArray("a\nb\r\n") << QStringList{"a\nb"};
        QTest::newRow("NUL and code page bytes")
            << QByteArray("a\0\x80\xE9\x93\r\n", 7) << QStringList{QString::fromUtf16(u"a\u0000\u20AC\u00E9\u201C", 5)};
        // Files are read in 64 KiB chunks: a line end split over two of them
        // is one line end, and a line may run over several.
        for (int length : {65534, 65535, 65536, 200000})
            QTest::addRow("%d bytes before the first line end", length)
                << QByteArray(length, 'x') + "\r\nz\r\n" << QStringList{QString(length, u'x'), "z"};
        QByteArray shortLines;
        QStringList numbers;
        for (int i = 0; i < 20000; ++i) {
            shortLines += QByteArray::number(i) + (i % 2 ? "\r\n" : "\r");
            numbers << QString::number(i);
        }
        QTest::newRow("short lines over several chunks") << shortLines << numbers;
    }
    void linesEndOnlyAtCrLfOrLoneCr()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        TestGame game;
        QVERIFY(game.write(QStringLiteral("f.ini"), bytes));
        QCOMPARE(eventsOf(game.path(), [](TVItem &item) { item.OpenFile(item.BasePath + QStringLiteral("/f.ini")); }),
                 lines);
        // A reader of views alone gets the same lines, cut from whole decoded chunks.
        TVItem views;
        QStringList viewed;
        views.setViewHandler([&](QStringView line) { viewed << line.toString(); });
        views.OpenFile(game.path() + QStringLiteral("/f.ini"));
        QCOMPARE(viewed, lines);
        viewed.clear();
        views.ReadText(bytes);
        QCOMPARE(viewed, lines);
    }

    void readsRaiseTheirEventsInOrder_data()
    {
        QTest::addColumn<Read>("read");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("FactionUnit by default")
            << Read([](TVItem &t) { t.GetFUnitData(); }) << QStringList{"<start>", "unit", "<done>"};
        QTest::newRow("missing file")
            << Read([](TVItem &t) { t.GetFUnitData(QStringLiteral("Nothing.ini")); }) << QStringList{"<start>", "<done>"};
        QTest::newRow("folder")
            << Read([](TVItem &t) { t.GetFUnitData(QStringLiteral("Folder.ini")); }) << QStringList{"<start>", "<done>"};
        QTest::newRow("locomotors")
            << Read([](TVItem &t) { t.GetLocomotorData(); }) << QStringList{"<start>", "loco", "<done>"};
        QTest::newRow("object file announced first")
            << Read([](TVItem &t) { t.AddTVItem(QStringLiteral("FactionProp.ini")); })
            << QStringList{"<FactionProp.ini 3>", "prop"};
    }
    void readsRaiseTheirEventsInOrder()
    {
        QFETCH(Read, read);
        QFETCH(QStringList, events);
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"), crlf({"unit"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionProp.ini"), crlf({"prop"})));
        QVERIFY(game.writeIni(QStringLiteral("locomotor.INI"), crlf({"loco"})));
        QVERIFY(game.writeIni(QStringLiteral("Folder.ini/x"), "x"));
        QCOMPARE(eventsOf(game.path(), read), events);
    }
};

QTEST_GUILESS_MAIN(tst_TVItem)
#include "tst_tvitem.moc"
