#include "wizard/frmwizard.h"

#include "engine/globals.h"
#include "manualedit/settingsstore.h"
#include "startup/dbfwriter.h"

#include "../common/hooks.h"
#include "../common/testgame.h"

#include <QDirIterator>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

class tst_FrmWizard : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    UserHooks m_user;

    // An empty home folder keeps the wizard's own search of this machine short.
    QTemporaryDir m_home;

    QLineEdit *pathField(frmWizard *w) { return w->findChild<QLineEdit *>(QStringLiteral("txtPath")); }
    QPushButton *nav(frmWizard *w, int i) { return w->findChild<QPushButton *>(QStringLiteral("cmdNav_%1").arg(i)); }

    frmWizard *openWizard(const QString &game, const QString &tableFolder = QStringLiteral(ZARNITH_BIN_DIR))
    {
        GamePath = game;
        auto *w = new frmWizard;
        w->setTableFolder(tableFolder);
        w->show();
        return w;
    }

private slots:
    void initTestCase()
    {
        SettingsStore::redirectTo(m_settings.path());
        qputenv("HOME", m_home.path().toLocal8Bit());
        m_user.install();
    }

    void init()
    {
        m_user.clear();
        SettingsStore::deleteSection(QStringLiteral("Torvane Zarnith"), QStringLiteral("Paths"));
        SettingsStore::deleteSection(QStringLiteral("Wizards"), QStringLiteral("WizardTemplate"));
    }

    // Opens on the introduction unless the setting skips it; Back still reaches it.
    void opensOnTheIntroductionUnlessSkipped()
    {
        TestGame game;
        std::unique_ptr<frmWizard> w(openWizard(game.path()));
        QCOMPARE(w->CurrentStep(), 0);
        QCOMPARE(w->windowTitle(), QStringLiteral("Torvane - Zarnith Setup Wizard - Introduction"));
        QVERIFY(!nav(w.get(), 2)->isEnabled() && nav(w.get(), 3)->isEnabled() && !nav(w.get(), 4)->isEnabled());
        SettingsStore::write(QStringLiteral("Wizards"), QStringLiteral("WizardTemplate"),
                             QStringLiteral("IntroductionScreen"), QStringLiteral("ShowIntro"));
        w.reset(openWizard(game.path()));
        QCOMPARE(w->CurrentStep(), 1);
        QCOMPARE(w->windowTitle(), QStringLiteral("Torvane - Zarnith Setup Wizard - Step 1"));
        nav(w.get(), 2)->click();
        QCOMPARE(w->CurrentStep(), 0);
    }

    void folderWithoutTheGameIsRefused()
    {
        TestGame game;
        std::unique_ptr<frmWizard> w(openWizard(game.path()));
        w->ShowStep(1);
        GamePath = game.path() + QChar(0) + QStringLiteral("junk");
        nav(w.get(), 3)->click();
        QCOMPARE(w->CurrentStep(), 1);
        QCOMPARE(m_user.messages.size(), 1);
        QCOMPARE(m_user.messages[0].text, QStringLiteral("Invalid path, Try a differnet directory"));
        QVERIFY(Settings::CCPathProbe.read() == QLatin1String("-1"));
        // The path check also keeps Next disabled, with the NUL and what follows cut off.
        QTRY_VERIFY(!nav(w.get(), 3)->isEnabled());
        QCOMPARE(GamePath, game.path());
    }

    void choosingAFolderInTheTreeSetsTheGameFolder()
    {
        TestGame game;
        QVERIFY(game.write(QStringLiteral("Inner/torvane.exe"), ""));
        std::unique_ptr<frmWizard> w(openWizard(game.path()));
        w->ShowStep(1);
        w->folderTree()->setCurrentIndex(w->folderIndex(game.path() + QStringLiteral("/Inner")));
        QCOMPARE(GamePath, game.path() + QStringLiteral("/Inner"));
        QCOMPARE(pathField(w.get())->text(), GamePath);
        QTRY_VERIFY(nav(w.get(), 3)->isEnabled());
    }

    void typedFolderMovesTheTreeAndSaysWhyNextIsUnavailable_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("treeAt");
        QTest::addColumn<bool>("present");
        QTest::newRow("the game folder") << "Game" << "Game" << true;
        QTest::newRow("program in another case, name with spaces") << "Other Game " << "Other Game" << true;
        QTest::newRow("folder without the program") << "Game/Data" << "Game/Data" << false;
        QTest::newRow("folder that is not there") << "Game/Missing/Deeper" << "Game" << false;
    }
    void typedFolderMovesTheTreeAndSaysWhyNextIsUnavailable()
    {
        QFETCH(QString, typed);
        QFETCH(QString, treeAt);
        QFETCH(bool, present);
        TestGame root;
        QVERIFY(root.write(QStringLiteral("Game/torvane.exe"), ""));
        QVERIFY(root.write(QStringLiteral("Game/Data/readme.txt"), ""));
        QVERIFY(root.write(QStringLiteral("Other Game/TorVane.EXE"), ""));
        std::unique_ptr<frmWizard> w(openWizard(root.path()));
        w->ShowStep(1);
        QTest::keyClick(pathField(w.get()), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(pathField(w.get()), root.path() + QLatin1Char('/') + typed);
        QCOMPARE(GamePath, (root.path() + QLatin1Char('/') + typed).trimmed());
        QCOMPARE(w->folderTree()->currentIndex(), w->folderIndex(root.path() + QLatin1Char('/') + treeAt));
        auto *status = w->findChild<QLabel *>(QStringLiteral("lblPathStatus"));
        QTRY_COMPARE(nav(w.get(), 3)->isEnabled(), present);
        QCOMPARE(status->text(), present ? QString() : QStringLiteral("torvane.exe is not in this folder"));
    }

    void foundFolderIsChosenWithOneClick()
    {
        TestGame root;
        QVERIFY(root.write(QStringLiteral(".wine/drive_c/Torvane/torvane.exe"), ""));
        QVERIFY(root.write(QStringLiteral(".cache/x"), ""));
        QVERIFY(root.write(QStringLiteral("Visible/x"), ""));
        const QString game = root.path() + QStringLiteral("/.wine/drive_c/Torvane");
        std::unique_ptr<frmWizard> w(openWizard(root.path()));
        w->ShowStep(1);
        w->setFoundGames({game});
        auto *found = w->findChild<QListWidget *>(QStringLiteral("lstFound"));
        QCOMPARE(found->count(), 1);
        const QRect row = found->visualItemRect(found->item(0));
        QTest::mouseClick(found->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(GamePath, game);
        QCOMPARE(pathField(w.get())->text(), game);
        QTRY_VERIFY(nav(w.get(), 3)->isEnabled());
        // Hidden folders show only on the way to a found game.
        QTRY_VERIFY(w->folderIndex(root.path() + QStringLiteral("/Visible")).isValid());
        QVERIFY(w->folderIndex(root.path() + QStringLiteral("/.wine")).isValid());
        QVERIFY(!w->folderIndex(root.path() + QStringLiteral("/.cache")).isValid());
    }

    void treeStartsAtTheStoredFolderElseAtHome_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::newRow("stored folder exists") << true;
        QTest::newRow("stored folder is gone") << false;
    }
    void treeStartsAtTheStoredFolderElseAtHome()
    {
        QFETCH(bool, stored);
        TestGame game;
        const QString folder = game.path() + (stored ? QString() : QStringLiteral("/gone"));
        std::unique_ptr<frmWizard> w(openWizard(folder));
        QCOMPARE(w->folderTree()->currentIndex(), w->folderIndex(stored ? folder : m_home.path()));
        QCOMPARE(pathField(w.get())->text(), folder);
    }

    void extractionRestoresEveryMissingStockFileExactly()
    {
        TestGame game;
        QVERIFY(game.write(QStringLiteral("torvane.exe"), ""));
        QVERIFY(game.write(QStringLiteral("data/ini/Weapon.ini"), "the player's own"));
        std::unique_ptr<frmWizard> w(openWizard(game.path()));
        QSignalSpy finish(w.get(), &frmWizard::finishRequested);
        w->ShowStep(1);
        nav(w.get(), 3)->click();
        QCOMPARE(w->CurrentStep(), 2);
        QVERIFY(m_user.messages.isEmpty());
        QCOMPARE(Settings::CCPath.read(), game.path());
        QVERIFY(!nav(w.get(), 1)->isEnabled() && nav(w.get(), 3)->isEnabled());
        auto *bar = w->findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(bar->toolTip(), QStringLiteral("File %1 of %1").arg(bar->maximum()));

        const QDir stock(QStringLiteral(ZARNITH_STOCK_DIR));
        int compared = 0;
        for (QDirIterator it(stock.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext(); ++compared) {
            const QString relative = stock.relativeFilePath(it.next()).replace(QLatin1String("Data/INI"), QLatin1String("data/ini"));
            QFile source(it.filePath());
            QVERIFY(source.open(QIODevice::ReadOnly));
            QCOMPARE(game.read(relative), relative == QLatin1String("data/ini/Weapon.ini") ? QByteArray("the player's own")
                                                                                          : source.readAll());
        }
        QCOMPARE(compared, bar->maximum());
        QVERIFY(!QFile::exists(game.path() + QStringLiteral("/Data/INI/Weapon.ini")));

        nav(w.get(), 3)->click();
        QCOMPARE(w->CurrentStep(), 3);
        QVERIFY(!nav(w.get(), 3)->isEnabled() && nav(w.get(), 4)->isEnabled());
        nav(w.get(), 4)->click();
        QCOMPARE(finish.count(), 1);
        QVERIFY(m_user.exits.isEmpty());
        w.release(); // deleted on close
    }

    void recordsLeadingOutsideTheFolderAreRefusedAndListed()
    {
        QTemporaryDir table;
        DbfWriter writer;
        QVERIFY(writer.write(table.filePath(QStringLiteral("Data.DBF")),
                             {{"Data\\INI\\Good.ini", "good"}, {"..\\Evil.ini", "evil"}, {"C:\\Evil.ini", "evil"},
                              {"Data\\INI\\\x80uro.ini", "euro"}}));
        TestGame game;
        QVERIFY(game.write(QStringLiteral("Game/torvane.exe"), ""));
        std::unique_ptr<frmWizard> w(openWizard(game.path() + QStringLiteral("/Game"), table.path()));
        w->ShowStep(1);
        nav(w.get(), 3)->click();
        QCOMPARE(w->refusedPaths(), (QStringList{"..\\Evil.ini", "C:\\Evil.ini"}));
        QCOMPARE(m_user.messages.size(), 1);
        QVERIFY(m_user.messages[0].text.contains(QLatin1String("..\\Evil.ini")));
        QVERIFY(!QFile::exists(game.path() + QStringLiteral("/Evil.ini")));
        QCOMPARE(game.read(QStringLiteral("Game/Data/INI/Good.ini")), QByteArray("good"));
        // Stored paths are Windows-1252: 0x80 is the euro sign.
        QCOMPARE(game.read(QStringLiteral("Game/Data/INI/\u20ACuro.ini")), QByteArray("euro"));
    }

    void damagedTableIsFatalWithItsMessage()
    {
        TestGame game;
        QVERIFY(game.write(QStringLiteral("Data.DBF"), QByteArray(64, '\xF5')));
        QVERIFY(game.write(QStringLiteral("torvane.exe"), ""));
        std::unique_ptr<frmWizard> w(openWizard(game.path(), game.path()));
        w->ShowStep(1);
        nav(w.get(), 3)->click();
        QCOMPARE(m_user.messages.size(), 1);
        const QStringList lines = m_user.messages[0].text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 6);
        QVERIFY(lines[1].startsWith(QLatin1String("Error Name: ")) && lines[1].contains(QLatin1String("FoxPro")));
        QCOMPARE(lines[5], QStringLiteral("Torvane Zarnith will close when you click 'OK'"));
        QCOMPARE(m_user.exits.size(), 1);
    }

    // Closing the window ends the program; Cancel also forgets the folder.
    void closingOrCancelEndsTheProgram()
    {
        TestGame game;
        openWizard(game.path())->close();
        QVERIFY(Settings::readWindowValue(QStringLiteral("frmWizard"), "_Width", QString()).toInt() > 0);
        Settings::CCPath.write(QStringLiteral("/somewhere"));
        nav(openWizard(game.path()), 1)->click();
        QCOMPARE(Settings::CCPathProbe.read(), QStringLiteral("-1"));
        QCOMPARE(m_user.exits, (QList<int>{0, 0}));
    }
};

QTEST_MAIN(tst_FrmWizard)
#include "tst_frmwizard.moc"
