#include "engine/globals.h"
#include "manualedit/frmmanedit.h"
#include "manualedit/settingsstore.h"
#include "platform/messages.h"
#include "startup/stockrestore.h"

#include "../common/testgame.h"

#include <QDirIterator>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// What a user has on disk must survive whatever goes wrong: a save that
// fails half way, a restore that meets files already there or paths that
// lead elsewhere, a game folder that cannot be written.
class tst_DataSafety : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    QList<Messages::Message> m_messages;

    static QStringList filesIn(const QString &folder)
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(folder).relativeFilePath(it.next());
        files.sort();
        return files;
    }

    static bool copyStock(const TestGame &game)
    {
        const QDir stock(QStringLiteral(ZARNITH_STOCK_DIR));
        QDirIterator it(stock.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly) || !game.write(stock.relativeFilePath(path), f.readAll()))
                return false;
        }
        return true;
    }

    // Runs one test function of this program again as an unprivileged user,
    // for the cases that permissions decide (they do not bind root).
    // False with started cleared when the child could not run the test at
    // all (no setpriv, or the build folder is closed to other users).
    static bool runAsNobody(const char *function, QString *output, bool *started)
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QStringLiteral("setpriv"), {"--reuid=65534", "--regid=65534", "--clear-groups",
                                                QCoreApplication::applicationFilePath(), QLatin1String(function)});
        child.waitForFinished(120000);
        *output = QString::fromLocal8Bit(child.readAll());
        *started = output->contains(QLatin1String("Start testing"));
        return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    }

private slots:
    void initTestCase()
    {
        QFile::setPermissions(m_settings.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                     | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
        SettingsStore::redirectTo(m_settings.path());
        Messages::setHook([this](const Messages::Message &m) {
            m_messages << m;
            return QMessageBox::Discard;
        });
    }

    void init()
    {
        m_messages.clear();
    }

    void cleanup()
    {
        if (FrmManEdit *editor = FrmManEdit::existing()) {
            editor->setAttribute(Qt::WA_DeleteOnClose, false);
            editor->close();
            delete editor;
        }
    }

    void everyStockFileSavesBackUnchanged()
    {
        TestGame game;
        QVERIFY(copyStock(game));
        GamePath = game.path();
        const QStringList files = filesIn(game.path());
        QCOMPARE(files.size(), 13);
        for (const QString &relative : files) {
            const QByteArray before = game.read(relative);
            const bool object = relative.contains(QLatin1String("/Object/"));
            FrmManEdit *editor = FrmManEdit::instance();
            QVERIFY2(editor->OpenFile(object ? 1 : 0, QFileInfo(relative).fileName()), qPrintable(relative));
            QVERIFY2(editor->Save(), qPrintable(relative));
            QCOMPARE(game.read(relative), before);
        }
        QCOMPARE(filesIn(game.path()), files);
    }

    void saveThatFailsHalfwayKeepsTheOriginal()
    {
        TestGame game;
        QByteArray original;
        for (int i = 0; i < 20000; ++i)
            original += "Weapon W" + QByteArray::number(i) + "\r\n  Damage = 1\r\nEnd\r\n";
        QVERIFY(game.writeIni(QStringLiteral("Weapon.ini"), original));
        GamePath = game.path();
        FrmManEdit *editor = FrmManEdit::instance();
        QVERIFY(editor->OpenFile(0, QStringLiteral("Weapon.ini")));
        editor->textControl()->appendPlainText(QStringLiteral("Weapon Extra"));

        // The disk "fills up" a quarter of the way into the write.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = rlim_t(original.size() / 4);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved = editor->Save();
        setrlimit(RLIMIT_FSIZE, &old);

        QVERIFY(!saved);
        QCOMPARE(game.read(QStringLiteral("Data/INI/Weapon.ini")), original);
        QCOMPARE(filesIn(game.path()), QStringList{"Data/INI/Weapon.ini"});
        QVERIFY(!m_messages.isEmpty());
        QVERIFY2(m_messages.last().text.contains(QLatin1String("Weapon.ini")), qPrintable(m_messages.last().text));
        // The edit is still there to save again.
        QVERIFY(editor->textControl()->toPlainText().endsWith(QLatin1String("Weapon Extra")));
    }

    void restoreKeepsToTheGameFolderAndNeverOverwrites()
    {
        TestGame outer;
        const QString game = outer.path() + QStringLiteral("/Game");
        QVERIFY(outer.write(QStringLiteral("Game/Data/INI/Weapon.ini"), "mine"));
        QVERIFY(outer.write(QStringLiteral("Secret.ini"), "secret"));
        const struct {
            const char *path;
            StockRestore::Outcome outcome;
        } cases[] = {
            {"Data\\INI\\Weapon.ini", StockRestore::Present},
            {"DATA\\ini\\WEAPON.INI", StockRestore::Present},
            {"..\\Secret.ini", StockRestore::Refused},
            {"Data\\..\\..\\Secret.ini", StockRestore::Refused},
            {"/tmp/Secret.ini", StockRestore::Refused},
            {"C:\\Secret.ini", StockRestore::Refused},
            {"Data\\INI\\Armor.ini", StockRestore::Written},
        };
        for (const auto &c : cases)
            QCOMPARE(StockRestore::restore(game, QLatin1String(c.path), "stock"), c.outcome);
        QCOMPARE(outer.read(QStringLiteral("Game/Data/INI/Weapon.ini")), QByteArray("mine"));
        QCOMPARE(outer.read(QStringLiteral("Secret.ini")), QByteArray("secret"));
        QCOMPARE(filesIn(outer.path()), (QStringList{"Game/Data/INI/Armor.ini", "Game/Data/INI/Weapon.ini", "Secret.ini"}));
    }

    void readOnlyGameFolderGivesClearMessagesAndNoPartialFiles()
    {
        if (geteuid() == 0) {
            QString output;
            bool started = false;
            const bool passed = runAsNobody("readOnlyGameFolderGivesClearMessagesAndNoPartialFiles", &output, &started);
            if (!started)
                QSKIP(qPrintable(QStringLiteral("cannot run as an unprivileged user here: ") + output.left(200)));
            QVERIFY2(passed, qPrintable(output));
            return;
        }
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Weapon.ini"), "Weapon A\r\nEnd\r\n"));
        const QString ini = game.path() + QStringLiteral("/Data/INI");
        QFile::setPermissions(ini, QFile::ReadOwner | QFile::ExeOwner);
        QFile::setPermissions(ini + QStringLiteral("/Weapon.ini"), QFile::ReadOwner);
        GamePath = game.path();

        FrmManEdit *editor = FrmManEdit::instance();
        QVERIFY(editor->OpenFile(0, QStringLiteral("Weapon.ini")));
        editor->textControl()->appendPlainText(QStringLiteral("; changed"));
        QVERIFY(!editor->Save());
        QVERIFY(!m_messages.isEmpty());
        QVERIFY2(m_messages.last().text.contains(QLatin1String("Weapon.ini")), qPrintable(m_messages.last().text));

        QString error;
        QCOMPARE(StockRestore::restore(game.path(), QStringLiteral("Data\\INI\\Armor.ini"), "stock", &error),
                 StockRestore::Failed);
        QVERIFY2(error.contains(QLatin1String("Armor.ini")), qPrintable(error));

        QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(filesIn(game.path()), QStringList{"Data/INI/Weapon.ini"});
        QCOMPARE(game.read(QStringLiteral("Data/INI/Weapon.ini")), QByteArray("Weapon A\r\nEnd\r\n"));
    }
};

QTEST_MAIN(tst_DataSafety)
#include "tst_datasafety.moc"
