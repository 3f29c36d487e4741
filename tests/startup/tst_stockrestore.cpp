#include "startup/dbctl.h"
#include "startup/stockrestore.h"

#include "../common/testgame.h"

#include <QDirIterator>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

class tst_StockRestore : public QObject
{
    Q_OBJECT

private slots:
    // The table the build makes from data/stock holds every stock file, byte for byte.
    void shippedTableMatchesTheStockFiles()
    {
        DBCtl db;
        QVERIFY2(db.LoadDatabase(QStringLiteral(ZARNITH_BIN_DIR), QStringLiteral("Data")), qPrintable(db.errorString()));
        const QDir stock(QStringLiteral(ZARNITH_STOCK_DIR));
        QStringList files;
        QDirIterator it(stock.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << stock.relativeFilePath(it.next());
        QCOMPARE(db.RecordCount(), qint64(files.size()));
        for (qint64 i = 0; i < db.RecordCount(); ++i) {
            QVERIFY(db.SetRecord(i));
            const QString relative = QString::fromLatin1(db.GetData(0).value_or(QByteArray()));
            QVERIFY2(relative.startsWith(QLatin1String("Data\\INI\\")), qPrintable(relative));
            QVERIFY2(files.removeOne(QString(relative).replace(QLatin1Char('\\'), QLatin1Char('/'))), qPrintable(relative));
            QFile source(stock.filePath(QString(relative).replace(QLatin1Char('\\'), QLatin1Char('/'))));
            QVERIFY(source.open(QIODevice::ReadOnly));
            QCOMPARE(db.GetData(1).value_or(QByteArray("<error>")), source.readAll());
        }
        QVERIFY(files.isEmpty());
    }

    void unsafePathsAreRefused_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("absolute") << "\\Data\\INI\\A.ini";
        QTest::newRow("absolute native") << "/tmp/A.ini";
        QTest::newRow("drive letter") << "C:\\Windows\\A.ini";
        QTest::newRow("drive relative") << "C:A.ini";
        QTest::newRow("parent folder") << "Data\\..\\..\\A.ini";
        QTest::newRow("parent folder with slashes") << "../A.ini";
        QTest::newRow("empty") << "";
        QTest::newRow("folder only") << "Data\\INI\\";
    }
    void unsafePathsAreRefused()
    {
        QFETCH(QString, path);
        TestGame game;
        QCOMPARE(StockRestore::restore(game.path() + QStringLiteral("/inner"), path, "x"), StockRestore::Refused);
        QDirIterator it(game.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        QVERIFY2(!it.hasNext(), "a refused record wrote something");
    }

    void missingFilesAreWrittenExactlyAndExistingOnesKept()
    {
        TestGame game;
        QVERIFY(game.write(QStringLiteral("data/ini/Weapon.ini"), "mine"));
        const QByteArray stock = "Weapon A\r\nEnd\r\n\x80\xFF";
        QCOMPARE(StockRestore::restore(game.path(), QStringLiteral("Data\\INI\\WEAPON.INI"), stock), StockRestore::Present);
        QCOMPARE(game.read(QStringLiteral("data/ini/Weapon.ini")), QByteArray("mine"));
        QCOMPARE(StockRestore::restore(game.path(), QStringLiteral("Data\\INI\\Object\\New\\Deep.ini"), stock),
                 StockRestore::Written);
        // Existing folders are reused whatever their case; new ones are made as written.
        QCOMPARE(game.read(QStringLiteral("data/ini/Object/New/Deep.ini")), stock);
        const QStringList left = QDir(game.path() + QStringLiteral("/data/ini/Object/New")).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList{QStringLiteral("Deep.ini")});
    }

    // The disk "fills up" part of the way into the write: nothing partial may stay.
    void failedWriteLeavesNoPartialFile()
    {
        TestGame game;
        QVERIFY(game.write(QStringLiteral("Data/INI/keep"), ""));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 16 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString error;
        const auto outcome = StockRestore::restore(game.path(), QStringLiteral("Data\\INI\\Weapon.ini"),
                                                   QByteArray(64 * 1024, 'w'), &error);
        setrlimit(RLIMIT_FSIZE, &old);
        QCOMPARE(outcome, StockRestore::Failed);
        QVERIFY2(error.contains(QLatin1String("Weapon.ini")), qPrintable(error));
        QCOMPARE(QDir(game.path() + QStringLiteral("/Data/INI")).entryList(QDir::Files | QDir::Hidden), QStringList{"keep"});
    }

    // Links in the game folder must not carry a write elsewhere; a link that
    // stays inside the folder is followed.
    void linksNeverLeadTheWriteOutside_data()
    {
        QTest::addColumn<QString>("link");   // made below the game folder
        QTest::addColumn<QString>("target"); // relative to the folder holding the game folder
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("outcome");
        QTest::newRow("file to a missing file") << "Data/INI/Armor.ini" << "Elsewhere.ini" << "Data\\INI\\Armor.ini"
                                                << int(StockRestore::Refused);
        QTest::newRow("folder leading out") << "Data/INI" << "Outside" << "Data\\INI\\Armor.ini"
                                            << int(StockRestore::Refused);
        QTest::newRow("folder leading out, new folders below") << "Data/INI" << "Outside" << "Data\\INI\\New\\A.ini"
                                                               << int(StockRestore::Refused);
        QTest::newRow("dangling folder") << "Data/INI" << "Gone" << "Data\\INI\\New\\A.ini"
                                         << int(StockRestore::Refused);
        QTest::newRow("folder inside") << "Data/INI" << "Game/Real" << "Data\\INI\\Armor.ini"
                                       << int(StockRestore::Written);
    }
    void linksNeverLeadTheWriteOutside()
    {
        QFETCH(QString, link);
        QFETCH(QString, target);
        QFETCH(QString, stored);
        QFETCH(int, outcome);
        TestGame outer;
        QVERIFY(QDir().mkpath(outer.path() + QStringLiteral("/Outside")));
        QVERIFY(QDir().mkpath(outer.path() + QStringLiteral("/Game/Real")));
        QVERIFY(QDir().mkpath(QFileInfo(outer.path() + QStringLiteral("/Game/") + link).path()));
        QVERIFY(QFile::link(outer.path() + QLatin1Char('/') + target, outer.path() + QStringLiteral("/Game/") + link));
        QString error;
        QCOMPARE(int(StockRestore::restore(outer.path() + QStringLiteral("/Game"), stored, "stock", &error)), outcome);
        if (outcome == StockRestore::Refused) {
            QVERIFY2(!error.isEmpty(), "a refusal without its reason");
            QVERIFY(!QFileInfo::exists(outer.path() + QStringLiteral("/Elsewhere.ini")));
            QCOMPARE(QDir(outer.path() + QStringLiteral("/Outside")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     QStringList());
            QVERIFY(!QFileInfo::exists(outer.path() + QStringLiteral("/Gone")));
        } else {
            QCOMPARE(outer.read(QStringLiteral("Game/Real/Armor.ini")), QByteArray("stock"));
        }
    }
};

QTEST_GUILESS_MAIN(tst_StockRestore)
#include "tst_stockrestore.moc"
