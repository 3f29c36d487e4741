#include "startup/frmsplash.h"

#include "engine/globals.h"
#include "manualedit/settingsstore.h"
#include "platform/controlhost.h"
#include "platform/messages.h"
#include "platform/programexit.h"
#include "startup/programwindows.h"
#include "wizard/frmwizard.h"

#include "../common/testgame.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

// Start-up as a user meets it: the installation checks in their order, the
// hand-over to the wizard, and the main window once everything is in place.
class tst_FrmSplash : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    QList<Messages::Message> m_messages;
    QList<int> m_exits;

    static bool mainWindowShown()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("FrmEdit") && w->isVisible())
                return true;
        }
        return false;
    }

    static void closeWizard()
    {
        if (frmWizard *wizard = ProgramWindows::wizard()) {
            wizard->hide();
            delete wizard;
        }
    }

private slots:
    void initTestCase()
    {
        SettingsStore::redirectTo(m_settings.path());
        ControlHost::setPluginPath(QStringLiteral(ZARNITH_PLUGIN));
        Messages::setHook([this](const Messages::Message &m) {
            m_messages << m;
            return QMessageBox::Ok;
        });
        ProgramExit::setHook([this](int code) { m_exits << code; });
    }

    void init()
    {
        m_messages.clear();
        m_exits.clear();
        frmSplash::setProgramFolder(QStringLiteral(ZARNITH_BIN_DIR));
        SettingsStore::deleteSection(QStringLiteral("Torvane Zarnith"), QStringLiteral("Paths"));
    }

    void cleanup()
    {
        closeWizard();
    }

    void reinstallSwitchIsTheWholeCommandLineInAnyCase_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("reinstall");
        QTest::newRow("as written") << QStringList{"-Reinstall"} << true;
        QTest::newRow("lower case") << QStringList{"-reinstall"} << true;
        QTest::newRow("with more") << QStringList{"-Reinstall", "x"} << false;
        QTest::newRow("nothing") << QStringList{} << false;
    }
    void reinstallSwitchIsTheWholeCommandLineInAnyCase()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, reinstall);
        QCOMPARE(frmSplash::isReinstall(arguments), reinstall);
    }

    void strayManifestIsDeletedAndTheProgramEnds()
    {
        TestGame folder;
        QVERIFY(folder.write(QStringLiteral("Zarnith.exe.manifest"), "x"));
        frmSplash::setProgramFolder(folder.path());
        (new frmSplash)->Form_Load();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].text.endsWith(QStringLiteral("Zarnith.exe.manifest has been detected,\r\nThis file will be "
                                                           "deleted, Click OK and Run Torvane Zarnith again.")));
        QVERIFY(!QFile::exists(folder.path() + QStringLiteral("/Zarnith.exe.manifest")));
        QCOMPARE(m_exits, QList<int>{0});
    }

    void missingStockFilesAreListedInOrderAndEndTheProgram()
    {
        TestGame folder;
        frmSplash::setProgramFolder(folder.path());
        (new frmSplash)->Form_Load();
        QCOMPARE(m_messages.size(), 1);
        const QString expected = QStringLiteral("The following files are missing:\r\n%1/Data.DBF\r\n%1/Data.DBT\r\n\r\n"
                                                "Please re-install Torvane Zarnith")
                                     .arg(folder.path());
        QVERIFY2(m_messages[0].text.startsWith(expected), qPrintable(m_messages[0].text));
        QCOMPARE(m_messages[0].title, QStringLiteral("Error"));
        QCOMPARE(m_messages[0].helpContext, 62);
        QCOMPARE(m_exits, QList<int>{0});
    }

    void gameFolderWithoutDataRunsTheWizardAfterSayingSo()
    {
        TestGame game;
        Settings::CCPath.write(game.path());
        (new frmSplash)->Form_Load();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text, game.path() + QStringLiteral("/Data/INI does not exist, \r\nTorvane Zarnith will now run the setup wizard."));
        QVERIFY(ProgramWindows::wizard() && ProgramWindows::wizard()->isVisible());
        QVERIFY(m_exits.isEmpty());
    }

    void noStoredFolderRunsTheWizardEvenWhenTheDefaultExists()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Weapon.ini"), "Weapon A\r\nEnd\r\n"));
        frmSplash::setDefaultGameFolder(game.path());
        (new frmSplash)->Form_Load();
        frmSplash::setDefaultGameFolder(QString());
        QVERIFY(m_messages.isEmpty());
        QVERIFY(ProgramWindows::wizard() && ProgramWindows::wizard()->isVisible());
    }

    void completeInstallationShowsTheMainWindowUnlessReinstallIsAsked()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"), "Object AmericaTank\r\nEnd\r\n"));
        Settings::CCPath.write(game.path());

        (new frmSplash(true))->Form_Load();
        QVERIFY(ProgramWindows::wizard() && ProgramWindows::wizard()->isVisible());
        QVERIFY(!mainWindowShown());
        closeWizard();

        auto *splash = new frmSplash;
        splash->Form_Load();
        QVERIFY(m_messages.isEmpty());
        QVERIFY(mainWindowShown());
        QCOMPARE(Settings::TVPos.read(), QStringLiteral("1"));
    }
};

QTEST_MAIN(tst_FrmSplash)
#include "tst_frmsplash.moc"
