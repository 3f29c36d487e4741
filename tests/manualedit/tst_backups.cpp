#include "manualedit/backups.h"

#include "../common/testgame.h"

#include <QTest>

class tst_Backups : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestGame> m_dir;

    QString folder() const { return m_dir->path() + QStringLiteral("/backups"); }
    QString gameFolder() const { return m_dir->path() + QStringLiteral("/game"); }
    QString game() const { return gameFolder() + QStringLiteral("/Weapon.ini"); }
    QString series() const { return Backups::seriesFolder(gameFolder(), QStringLiteral("Weapon.ini")); }
    bool write(const QString &path, const QByteArray &bytes) const
    {
        return m_dir->write(QDir(m_dir->path()).relativeFilePath(path), bytes);
    }
    QByteArray read(const QString &path) const { return m_dir->read(QDir(m_dir->path()).relativeFilePath(path)); }
    QStringList copies() const { return Backups::list(series()); }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestGame>();
        Backups::redirectTo(folder());
        QVERIFY(QDir().mkpath(gameFolder()));
    }

    void newestTwentyOfEachSeriesAreKeptInOrder()
    {
        // Other files' copies and names that only look alike are never pruned.
        const QStringList others{"Armor.ini.20200101-000000-000", "weapon.ini.20200101-000000-000", "Weapon.ini.txt",
                                 "Weapon.ini.20200101-000000-000.tmp"};
        for (const QString &other : others)
            QVERIFY(write(series() + QLatin1Char('/') + other, "other"));
        // Most of these land in the same millisecond.
        for (int i = 0; i < Backups::Kept + 10; ++i)
            QVERIFY(write(game(), QByteArray::number(i)) && Backups().backUp(game(), series()));
        QCOMPARE(copies().size(), Backups::Kept);
        for (int i = 0; i < Backups::Kept; ++i)
            QCOMPARE(read(copies()[i]), QByteArray::number(Backups::Kept + 9 - i));
        for (const QString &other : others)
            QVERIFY2(QFile::exists(series() + QLatin1Char('/') + other), qPrintable(other));
    }

    void copySortsAfterOneFromAClockThatWasAhead()
    {
        QVERIFY(write(series() + QStringLiteral("/Weapon.ini.29991231-235959-999"), "earlier"));
        QVERIFY(write(game(), "later") && Backups().backUp(game(), series()));
        QCOMPARE(copies(), (QStringList{series() + QStringLiteral("/Weapon.ini.30000101-000000-000"),
                                        series() + QStringLiteral("/Weapon.ini.29991231-235959-999")}));
        QCOMPARE(read(copies()[0]), QByteArray("later"));
    }

    void unwritableFolderFailsWithItsName()
    {
        QVERIFY(write(game(), "Weapon A") && write(folder(), "not a folder"));
        Backups::redirectTo(folder() + QStringLiteral("/deeper"));
        Backups backups;
        QVERIFY(!backups.backUp(game(), series()));
        QVERIFY2(backups.errorString().contains(QDir::toNativeSeparators(folder())), qPrintable(backups.errorString()));
    }

    void seriesIsNamedAfterTheGameFolderAndFile_data()
    {
        QTest::addColumn<QString>("gameFolder");
        QTest::addColumn<QString>("dataFile");
        QTest::addColumn<QString>("relative");
        QTest::newRow("data folder file") << "/home/anna/Games/Torvane" << "Weapon.ini"
                                          << "home-anna-Games-Torvane/Weapon.ini";
        QTest::newRow("object folder file") << "/home/anna/Games/Torvane" << "Object\\FactionUnit.ini"
                                            << "home-anna-Games-Torvane/Object/FactionUnit.ini";
        QTest::newRow("trailing slash and dots") << "/home/anna/Games/./Torvane/" << "Weapon.ini"
                                                 << "home-anna-Games-Torvane/Weapon.ini";
        QTest::newRow("root") << "/" << "Weapon.ini" << "-/Weapon.ini";
    }

    void seriesIsNamedAfterTheGameFolderAndFile()
    {
        QFETCH(QString, gameFolder);
        QFETCH(QString, dataFile);
        QFETCH(QString, relative);
        QCOMPARE(Backups::seriesFolder(gameFolder, dataFile), folder() + QLatin1Char('/') + relative);
    }

    void seriesFollowsALinkToItsCanonicalFolder()
    {
        const QString link = m_dir->path() + QStringLiteral("/link");
        QVERIFY(QFile::link(gameFolder(), link));
        QCOMPARE(Backups::seriesName(link), Backups::seriesName(gameFolder()));
    }

    // A clean install and a modded copy: saves in one never push out the other's backups.
    void twoGameFoldersKeepTheirOwnSeries()
    {
        const QString modded = m_dir->path() + QStringLiteral("/modded");
        const QString moddedSeries = Backups::seriesFolder(modded, QStringLiteral("Weapon.ini"));
        QVERIFY(write(game(), "clean") && Backups().backUp(game(), series()));
        for (int i = 0; i < Backups::Kept + 5; ++i)
            QVERIFY(write(modded + QStringLiteral("/Weapon.ini"), QByteArray::number(i))
                    && Backups().backUp(modded + QStringLiteral("/Weapon.ini"), moddedSeries));
        QCOMPARE(Backups::list(moddedSeries).size(), Backups::Kept);
        QCOMPARE(copies().size(), 1);
        QCOMPARE(read(copies()[0]), QByteArray("clean"));
    }

    void oldCopiesMoveIntoTheirSeries()
    {
        QVERIFY(write(folder() + QStringLiteral("/Weapon.ini.20200101-000000-000"), "w0"));
        QVERIFY(write(folder() + QStringLiteral("/FactionUnit.ini.20200101-000000-000"), "f0"));
        for (int i = 0; i < Backups::Kept + 2; ++i)
            QVERIFY(write(folder() + QStringLiteral("/Armor.ini.20210101-000000-%1").arg(i, 3, 10, QLatin1Char('0')),
                          QByteArray::number(i)));
        QVERIFY(write(folder() + QStringLiteral("/notes.txt"), "mine"));

        QCOMPARE(Backups::moveOldCopies(gameFolder()), Backups::Kept + 4);
        QCOMPARE(read(copies().value(0)), QByteArray("w0"));
        const QStringList units = Backups::list(Backups::seriesFolder(gameFolder(), QStringLiteral("Object\\FactionUnit.ini")));
        QCOMPARE(units.size(), 1);
        const QStringList armour = Backups::list(Backups::seriesFolder(gameFolder(), QStringLiteral("Armor.ini")));
        QCOMPARE(armour.size(), Backups::Kept);
        QCOMPARE(read(armour.first()), QByteArray::number(Backups::Kept + 1));
        QVERIFY(QFile::exists(folder() + QStringLiteral("/notes.txt")));
        // Once moved, a second start has nothing left to move.
        QCOMPARE(Backups::moveOldCopies(gameFolder()), 0);
    }
};

QTEST_GUILESS_MAIN(tst_Backups)
#include "tst_backups.moc"
