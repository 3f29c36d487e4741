#include "manualedit/recoveryfile.h"

#include "platform/statefolder.h"

#include <QCryptographicHash>
#include <QTest>

class tst_RecoveryFile : public QObject
{
    Q_OBJECT

private:
    static RecoveryFile sample()
    {
        RecoveryFile file;
        file.gameFolder = QStringLiteral("/home/anna/Games/Torvane");
        file.folderKind = 1;
        file.fileName = QStringLiteral("FactionUnit.ini");
        file.path = QStringLiteral("/home/anna/Games/Torvane/Data/INI/Object/FactionUnit.ini");
        file.loadedSha256 = QCryptographicHash::hash("Object A\r\nEnd\r\n", QCryptographicHash::Sha256);
        file.text = QByteArray("Object A\r\n  Caf\xC3\xA9 = 1\nEnd\r\n\0tail", 28);
        return file;
    }

private slots:
    void writtenFileReadsBackTheSame()
    {
        const RecoveryFile file = sample();
        const std::optional<RecoveryFile> back = RecoveryFile::fromBytes(file.toBytes());
        QVERIFY(back);
        QCOMPARE(back->gameFolder, file.gameFolder);
        QCOMPARE(back->folderKind, file.folderKind);
        QCOMPARE(back->fileName, file.fileName);
        QCOMPARE(back->path, file.path);
        QCOMPARE(back->loadedSha256, file.loadedSha256);
        QCOMPARE(back->text, file.text);
    }

    // Anything but a whole, well-formed recovery file is refused, so that
    // nothing damaged or foreign is ever offered as someone's work.
    void damagedOrForeignFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = sample().toBytes();
        const qsizetype textAt = good.size() - sample().text.size();
        const auto edited = [&](const char *from, const char *to) {
            QByteArray bytes = good;
            const qsizetype at = bytes.indexOf(from);
            return at < 0 ? QByteArray() : bytes.replace(at, qsizetype(qstrlen(from)), to);
        };
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only") << good.left(good.indexOf('\n') + 1);
        QTest::newRow("cut short in the text") << good.chopped(1);
        QTest::newRow("cut short in the header") << good.left(textAt - 10);
        QTest::newRow("a byte after the text") << good + "x";
        QTest::newRow("a text byte changed") << QByteArray(good).replace(textAt, 1, "X");
        QTest::newRow("other program's file") << QByteArray("[Desktop Entry]\nName=x\n");
        QTest::newRow("other version") << edited("recovery 1\n", "recovery 2\n");
        QTest::newRow("fields out of order") << edited("game=", "kind=");
        QTest::newRow("folder kind 2") << edited("kind=1", "kind=2");
        QTest::newRow("file name with a path") << edited("file=FactionUnit.ini", "file=../../x.ini");
        QTest::newRow("relative path") << edited("path=/home", "path=home");
        QTest::newRow("CR in a path") << edited("path=/home", "path=/ho\rme");
        QTest::newRow("short digest") << edited("loaded=", "loaded=0");
        QTest::newRow("signed length") << edited("text=28", "text=+28");
        QTest::newRow("length with a leading zero") << edited("text=28", "text=028");
        QTest::newRow("length too large") << edited("text=28", "text=29");
        QTest::newRow("huge length") << edited("text=28", "text=99999999999999999999");
        QTest::newRow("no digest of the text") << edited("text=28 ", "text=28\n");
        RecoveryFile latin = sample();
        latin.text = "Caf\xE9";
        QTest::newRow("text not UTF-8") << latin.toBytes();
        RecoveryFile badName = sample();
        badName.fileName = QString::fromUtf8("\xEF\xBF\xBD");
        QByteArray raw = badName.toBytes();
        QTest::newRow("header not UTF-8") << raw.replace("file=\xEF\xBF\xBD", "file=\xFF");
    }

    void damagedOrForeignFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!RecoveryFile::fromBytes(bytes));
    }

    void fileIsNamedAfterTheGameFileAndItsPath()
    {
        RecoveryFile::redirectTo(QStringLiteral("/state/recovery"));
        const QString a = RecoveryFile::fileFor(QStringLiteral("/games/clean/Data/INI/Weapon.ini"));
        const QString b = RecoveryFile::fileFor(QStringLiteral("/games/modded/Data/INI/Weapon.ini"));
        QVERIFY2(a.startsWith(QLatin1String("/state/recovery/Weapon.ini-")) && a.endsWith(QLatin1String(".recovery")),
                 qPrintable(a));
        QVERIFY(a != b);
        QCOMPARE(RecoveryFile::fileFor(QStringLiteral("/games/clean/Data/INI/./Weapon.ini")), a);
        RecoveryFile::redirectTo(QString());
    }

    void folderFollowsTheStateHome_data()
    {
        QTest::addColumn<QByteArray>("stateHome");
        QTest::addColumn<QString>("folder");
        QTest::newRow("set") << QByteArray("/x/state") << "/x/state/Torvane Zarnith/recovery";
        QTest::newRow("unset") << QByteArray() << QDir::homePath() + "/.local/state/Torvane Zarnith/recovery";
        QTest::newRow("relative is ignored") << QByteArray("state") << QDir::homePath() + "/.local/state/Torvane Zarnith/recovery";
    }

    void folderFollowsTheStateHome()
    {
        QFETCH(QByteArray, stateHome);
        QFETCH(QString, folder);
        const QByteArray saved = qgetenv("XDG_STATE_HOME");
        if (stateHome.isNull())
            qunsetenv("XDG_STATE_HOME");
        else
            qputenv("XDG_STATE_HOME", stateHome);
        const QString got = RecoveryFile::folder();
        qputenv("XDG_STATE_HOME", saved);
        QCOMPARE(got, folder);
    }
};

QTEST_GUILESS_MAIN(tst_RecoveryFile)
#include "tst_recoveryfile.moc"
