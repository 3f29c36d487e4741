#include "engine/globals.h"
#include "manualedit/frmmanedit.h"
#include "manualedit/settingsstore.h"
#include "startup/stockrestore.h"

#include "../common/hooks.h"
#include "../common/testgame.h"
#include "../common/unprivileged.h"

#include <QDirIterator>
#include <QPlainTextEdit>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

// What a user has on disk must survive whatever goes wrong: a save that
// fails half way, a game folder that cannot be written.
class tst_DataSafety : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    UserHooks m_user;

    static QStringList filesIn(const QString &folder)
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(folder).relativeFilePath(it.next());
        files.sort();
        return files;
    }

private slots:
    void initTestCase()
    {
        SettingsStore::redirectTo(m_settings.path());
        m_user.answer = QMessageBox::Discard;
        m_user.install();
    }

    void init()
    {
        m_user.clear();
    }

    void cleanup()
    {
        if (FrmManEdit *editor = FrmManEdit::existing()) {
            editor->setAttribute(Qt::WA_DeleteOnClose, false);
            editor->close();
            delete editor;
        }
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
        QVERIFY2(m_user.lastText().contains(QLatin1String("Weapon.ini")), qPrintable(m_user.lastText()));
        // The edit is still there to save again.
        QVERIFY(editor->textControl()->toPlainText().endsWith(QLatin1String("Weapon Extra")));
    }

    void restoreIntoAReadOnlyGameFolderSaysWhyAndLeavesNothing()
    {
        if (!runsUnprivileged())
            return;
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Weapon.ini"), "Weapon A\r\nEnd\r\n"));
        const QString ini = game.path() + QStringLiteral("/Data/INI");
        QFile::setPermissions(ini, QFile::ReadOwner | QFile::ExeOwner);
        QFile::setPermissions(ini + QStringLiteral("/Weapon.ini"), QFile::ReadOwner);
        QString error;
        QCOMPARE(StockRestore::restore(game.path(), QStringLiteral("Data\\INI\\Armor.ini"), "stock", &error),
                 StockRestore::Failed);
        QVERIFY2(error.contains(QLatin1String("Armor.ini")), qPrintable(error));
        // A folder that cannot be made gives the real reason, not a missing file.
        QFile::setPermissions(game.path(), QFile::ReadOwner | QFile::ExeOwner);
        QCOMPARE(StockRestore::restore(game.path(), QStringLiteral("Maps\\Map.ini"), "stock", &error), StockRestore::Failed);
        QVERIFY2(error.contains(QLatin1String("Map.ini")) && error.contains(QLatin1String("Permission denied")),
                 qPrintable(error));
        QFile::setPermissions(game.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(filesIn(game.path()), QStringList{"Data/INI/Weapon.ini"});
        QCOMPARE(game.read(QStringLiteral("Data/INI/Weapon.ini")), QByteArray("Weapon A\r\nEnd\r\n"));
    }
};

QTEST_MAIN(tst_DataSafety)
#include "tst_datasafety.moc"
