#include "manualedit/backups.h"

#include "../common/testgame.h"

#include <QTest>

class tst_Backups : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestGame> m_dir;

    QString folder() const { return m_dir->path() + QStringLiteral("/backups"); }
    QString game() const { return m_dir->path() + QStringLiteral("/Weapon.ini"); }
    bool write(const QString &path, const QByteArray &bytes) const
    {
        return m_dir->write(QDir(m_dir->path()).relativeFilePath(path), bytes);
    }
    QByteArray read(const QString &path) const { return m_dir->read(QDir(m_dir->path()).relativeFilePath(path)); }
    static QStringList copies() { return Backups::list(QStringLiteral("Weapon.ini")); }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestGame>();
        Backups::redirectTo(folder());
    }

    void newestTwentyOfEachNameAreKeptInOrder()
    {
        // Other files' copies and names that only look alike are never pruned.
        const QStringList others{"Armor.ini.20200101-000000-000", "weapon.ini.20200101-000000-000", "Weapon.ini.txt",
                                 "Weapon.ini.20200101-000000-000.tmp"};
        for (const QString &other : others)
            QVERIFY(write(folder() + QLatin1Char('/') + other, "other"));
        // Most of these land in the same millisecond.
        for (int i = 0; i < Backups::Kept + 10; ++i)
            QVERIFY(write(game(), QByteArray::number(i)) && Backups().backUp(game()));
        QCOMPARE(copies().size(), Backups::Kept);
        for (int i = 0; i < Backups::Kept; ++i)
            QCOMPARE(read(copies()[i]), QByteArray::number(Backups::Kept + 9 - i));
        for (const QString &other : others)
            QVERIFY2(QFile::exists(folder() + QLatin1Char('/') + other), qPrintable(other));
    }

    void copySortsAfterOneFromAClockThatWasAhead()
    {
        QVERIFY(write(folder() + QStringLiteral("/Weapon.ini.29991231-235959-999"), "earlier"));
        QVERIFY(write(game(), "later") && Backups().backUp(game()));
        QCOMPARE(copies(), (QStringList{folder() + QStringLiteral("/Weapon.ini.30000101-000000-000"),
                                        folder() + QStringLiteral("/Weapon.ini.29991231-235959-999")}));
        QCOMPARE(read(copies()[0]), QByteArray("later"));
    }

    void unwritableFolderFailsWithItsName()
    {
        QVERIFY(write(game(), "Weapon A") && write(folder(), "not a folder"));
        Backups::redirectTo(folder() + QStringLiteral("/deeper"));
        Backups backups;
        QVERIFY(!backups.backUp(game()));
        QVERIFY2(backups.errorString().contains(QDir::toNativeSeparators(folder())), qPrintable(backups.errorString()));
    }
};

QTEST_GUILESS_MAIN(tst_Backups)
#include "tst_backups.moc"
