#include "startup/stockrestore.h"

#include "../common/filesizelimit.h"
#include "../common/testgame.h"
#include "../common/unprivileged.h"

#include <QTest>

class tst_StockRestore : public QObject
{
    Q_OBJECT

private slots:
    // The disk "fills up" part of the way into the write: nothing partial may stay.
    void failedWriteLeavesNoPartialFile()
    {
        TestGame game;
        QVERIFY(game.write(QStringLiteral("Data/INI/keep"), ""));
        QString error;
        {
            const FileSizeLimit full(16 * 1024);
            QVERIFY(full.isSet());
            QCOMPARE(StockRestore::restore(game.path(), QStringLiteral("Data\\INI\\Weapon.ini"),
                                           QByteArray(64 * 1024, 'w'), &error),
                     StockRestore::Failed);
        }
        QVERIFY2(error.contains(QLatin1String("Weapon.ini")), qPrintable(error));
        QCOMPARE(QDir(game.path() + QStringLiteral("/Data/INI")).entryList(QDir::Files | QDir::Hidden), QStringList{"keep"});
    }

    // Neither a stored path nor a link in the game folder may carry a write
    // elsewhere; a link that stays inside the folder is followed.
    void pathsAndLinksNeverLeadTheWriteOutside_data()
    {
        QTest::addColumn<QString>("link");   // made below the game folder; empty for none
        QTest::addColumn<QString>("target"); // relative to the folder holding the game folder
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("written");
        QTest::newRow("absolute") << "" << "" << "\\Data\\INI\\A.ini" << false;
        QTest::newRow("drive relative") << "" << "" << "C:A.ini" << false;
        QTest::newRow("parent folder") << "" << "" << "Data\\..\\..\\A.ini" << false;
        QTest::newRow("empty") << "" << "" << "" << false;
        QTest::newRow("folder only") << "" << "" << "Data\\INI\\" << false;
        QTest::newRow("file to a missing file") << "Data/INI/Armor.ini" << "Elsewhere.ini" << "Data\\INI\\Armor.ini" << false;
        QTest::newRow("folder leading out") << "Data/INI" << "Outside" << "Data\\INI\\Armor.ini" << false;
        QTest::newRow("folder leading out, new folders below") << "Data/INI" << "Outside" << "Data\\INI\\New\\A.ini" << false;
        QTest::newRow("dangling folder") << "Data/INI" << "Gone" << "Data\\INI\\New\\A.ini" << false;
        QTest::newRow("folder inside") << "Data/INI" << "Game/Real" << "Data\\INI\\Armor.ini" << true;
    }
    void pathsAndLinksNeverLeadTheWriteOutside()
    {
        QFETCH(QString, link);
        QFETCH(QString, target);
        QFETCH(QString, stored);
        QFETCH(bool, written);
        TestGame outer;
        QVERIFY(QDir().mkpath(outer.path() + QStringLiteral("/Outside")));
        QVERIFY(QDir().mkpath(outer.path() + QStringLiteral("/Game/Real")));
        QVERIFY(link.isEmpty() || QDir().mkpath(QFileInfo(outer.path() + QStringLiteral("/Game/") + link).path()));
        QVERIFY(link.isEmpty() || QFile::link(outer.path() + u'/' + target, outer.path() + QStringLiteral("/Game/") + link));
        QString error;
        const auto outcome = StockRestore::restore(outer.path() + QStringLiteral("/Game"), stored, "stock", &error);
        if (written) {
            QCOMPARE(outcome, StockRestore::Written);
            QCOMPARE(outer.read(QStringLiteral("Game/Real/Armor.ini")), QByteArray("stock"));
        } else {
            QCOMPARE(outcome, StockRestore::Refused);
            QVERIFY2(!error.isEmpty(), "a refusal without its reason");
            // No Elsewhere.ini, Gone or A.ini beside the game folder, nothing new in it or in Outside.
            QCOMPARE(QDir(outer.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), (QStringList{"Game", "Outside"}));
            QCOMPARE(QDir(outer.path() + QStringLiteral("/Game")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     (link.isEmpty() ? QStringList{"Real"} : QStringList{"Data", "Real"}));
            QVERIFY(QDir(outer.path() + QStringLiteral("/Outside")).isEmpty());
        }
    }

    // A folder that cannot be written, or a folder that cannot be made, gives
    // the real reason with the file's name and leaves nothing behind.
    void readOnlyGameFolderSaysWhy()
    {
        if (!runsUnprivileged())
            return;
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Weapon.ini"), "Weapon A"));
        const QString ini = game.path() + QStringLiteral("/Data/INI");
        for (const QString &folder : {ini, game.path()})
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        QString error;
        for (const char *stored : {"Data\\INI\\Armor.ini", "Maps\\Map.ini"}) {
            QCOMPARE(StockRestore::restore(game.path(), QLatin1String(stored), "stock", &error), StockRestore::Failed);
            const QString name = QString::fromLatin1(stored).section(QLatin1Char('\\'), -1);
            QVERIFY2(error.contains(name) && error.contains(QLatin1String("Permission denied")), qPrintable(error));
        }
        for (const QString &folder : {ini, game.path()})
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(QDir(game.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Data"});
        QCOMPARE(QDir(ini).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"Weapon.ini"});
    }
};

QTEST_GUILESS_MAIN(tst_StockRestore)
#include "tst_stockrestore.moc"
