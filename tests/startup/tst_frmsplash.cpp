#include "startup/frmsplash.h"

#include "mainwindow/frmedit.h"
#include "manualedit/settingsstore.h"
#include "platform/controlhost.h"
#include "startup/programwindows.h"
#include "wizard/frmwizard.h"

#include "../common/hooks.h"
#include "../common/testgame.h"

#include <QPointer>
#include <QTest>
#include <QTimer>

class tst_FrmSplash : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    UserHooks m_user;

    static bool wizardShown() { return ProgramWindows::wizard() && ProgramWindows::wizard()->isVisible(); }

private slots:
    void initTestCase()
    {
        SettingsStore::redirectTo(m_settings.path());
        ControlHost::setPluginPath(QStringLiteral(ZARNITH_PLUGIN));
        m_user.install();
    }

    void init()
    {
        m_user.clear();
        frmSplash::setProgramFolder(QStringLiteral(ZARNITH_BIN_DIR));
        SettingsStore::deleteSection(QStringLiteral("Torvane Zarnith"), QStringLiteral("Paths"));
    }

    void cleanup()
    {
        if (frmWizard *wizard = ProgramWindows::wizard()) {
            wizard->hide();
            delete wizard;
        }
    }

    // Start-up as a user meets it: the installation checks in their order (a
    // stray manifest, the stock files, the game folder), then the wizard or
    // the main window. Only a command line of just "-Reinstall", in any
    // letter case, asks for the wizard.
    void startUp_data()
    {
        QTest::addColumn<QString>("program"); // the program folder: "built", or "empty" with or without a "manifest"
        QTest::addColumn<QString>("ini");     // the one file of the game folder's Data\INI; empty for none
        QTest::addColumn<bool>("stored");     // the game folder is stored, not only the default
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message"); // how the one message starts, %1 for the folder it names; null for none
        QTest::addColumn<QString>("outcome"); // "exit", "wizard" or "main"
        QTest::newRow("stray manifest") << "manifest" << "" << true << QStringList()
                                        << "%1/Zarnith.exe.manifest has been detected,\r\nThis file will be deleted, "
                                           "Click OK and Run Torvane Zarnith again." << "exit";
        QTest::newRow("stock files missing") << "empty" << "" << true << QStringList()
                                             << "The following files are missing:\r\n%1/Data.DBF\r\n%1/Data.DBT\r\n\r\n"
                                                "Please re-install Torvane Zarnith" << "exit";
        QTest::newRow("game folder without data") << "built" << "" << true << QStringList()
                                                  << "%1/Data/INI does not exist, \r\nTorvane Zarnith will now run the setup wizard."
                                                  << "wizard";
        QTest::newRow("only the default game folder") << "built" << "Weapon.ini" << false << QStringList() << QString() << "wizard";
        QTest::newRow("reinstall asked") << "built" << "Object/FactionUnit.ini" << true << QStringList{"-rEINSTALL"}
                                         << QString() << "wizard";
        QTest::newRow("complete installation") << "built" << "Object/FactionUnit.ini" << true << QStringList{"-Reinstall", "x"}
                                               << QString() << "main";
    }
    void startUp()
    {
        QFETCH(QString, program);
        QFETCH(QString, ini);
        QFETCH(bool, stored);
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(QString, outcome);
        TestGame folder;
        TestGame gameFolder;
        if (program != QLatin1String("built"))
            frmSplash::setProgramFolder(folder.path());
        QVERIFY(program != QLatin1String("manifest") || folder.write(QStringLiteral("Zarnith.exe.manifest"), "x"));
        QVERIFY(ini.isEmpty() || gameFolder.writeIni(ini, "Object AmericaTank\r\nEnd\r\n"));
        if (stored)
            Settings::CCPath.write(gameFolder.path());
        frmSplash::setDefaultGameFolder(stored ? QString() : gameFolder.path());
        (new frmSplash(frmSplash::isReinstall(arguments)))->Form_Load();
        frmSplash::setDefaultGameFolder(QString());
        QCOMPARE(m_user.messages.size(), message.isNull() ? 0 : 1);
        const QString named = program == QLatin1String("built") ? gameFolder.path() : folder.path();
        QVERIFY2(message.isNull() || m_user.lastText().startsWith(message.arg(named)), qPrintable(m_user.lastText()));
        QVERIFY(!QFile::exists(folder.path() + QStringLiteral("/Zarnith.exe.manifest")));
        QCOMPARE(m_user.exits, outcome == QLatin1String("exit") ? QList<int>{0} : QList<int>());
        QCOMPARE(wizardShown(), outcome == QLatin1String("wizard"));
        QCOMPARE(FrmEdit::instance()->isVisible(), outcome == QLatin1String("main"));
        QCOMPARE(Settings::TVPos.read(), QStringLiteral("1"));
    }

    // Closed by the window manager while it builds the catalogue, the window
    // lives until the start-up is through with it.
    void closedDuringTheStartUp()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"),
                              QByteArray("Object AmericaTank\r\nEnd\r\n").repeated(40000)));
        Settings::CCPath.write(game.path());
        QPointer<frmSplash> splash = new frmSplash;
        QTimer::singleShot(0, splash, [&] { splash->close(); });
        splash->Form_Load();
        QVERIFY(FrmEdit::instance()->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!splash);
    }
};

QTEST_MAIN(tst_FrmSplash)
#include "tst_frmsplash.moc"
