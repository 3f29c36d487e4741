#include "mainwindow/frmcheckdata.h"
#include "mainwindow/frmedit.h"

#include "engine/globals.h"
#include "engine/summaryrows.h"
#include "manualedit/settingsstore.h"
#include "platform/controlhost.h"
#include "startup/catalogue.h"

#include "../common/hooks.h"
#include "../common/testgame.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

class tst_FrmEdit : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    TestGame m_game;
    UserHooks m_user;
    FrmEdit *m_window = nullptr;

    template<typename T>
    T *child(const char *name) const
    {
        T *w = m_window->findChild<T *>(QLatin1String(name));
        if (!w)
            qWarning("no child %s", name);
        return w;
    }

    QModelIndex node(const QString &text) const
    {
        const QAbstractItemModel *model = m_window->tree()->model();
        const auto found = model->match(model->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? QModelIndex() : found.first();
    }

    void click(const QString &text)
    {
        const QModelIndex item = node(text);
        QVERIFY2(item.isValid(), qPrintable(text));
        // Moving the choice loads the node; choosing the chosen node loads it again.
        if (m_window->tree()->currentIndex() == item)
            m_window->loadNode(item);
        else
            m_window->tree()->setCurrentIndex(item);
    }

    QStringList summaryRows() const
    {
        QStringList rows;
        const QAbstractItemModel *model = m_window->summaryList().listView()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            rows << model->index(r, 0).data().toString() + QLatin1Char('=') + model->index(r, 1).data().toString();
        return rows;
    }

private slots:
    void initTestCase()
    {
        SettingsStore::redirectTo(m_settings.path());
        ControlHost::setPluginPath(QStringLiteral(ZARNITH_PLUGIN));
        m_user.answer = QMessageBox::Yes;
        m_user.install();
        QCOMPARE(QProcess::execute(QStringLiteral("cp"), {"-R", ZARNITH_STOCK_DIR "/.", m_game.path()}), 0);
        GamePath = m_game.path();

        m_window = new FrmEdit;
        Catalogue catalogue;
        m_window->fillCatalogue(catalogue.BuildCatalogue(GamePath));
        m_window->prepareAfterStartup();
        m_window->show();
        QVERIFY(m_window->summaryList().isValid());
    }

    void cleanupTestCase()
    {
        m_window->AskOnClose = false;
        delete m_window;
    }

    void init()
    {
        m_user.clear();
    }

    // Before any object is chosen the weapon boxes hold the weapons but choose none.
    void weaponBoxesChooseNothingBeforeALoad()
    {
        QVERIFY(child<QComboBox>("PWeapon")->count() > 2);
        QCOMPARE(child<QComboBox>("PWeapon")->currentIndex(), -1);
        QCOMPARE(child<QComboBox>("TWeapon")->currentText(), QString());
    }

    void choosingAnObjectFillsEveryField()
    {
        click(QStringLiteral("AmericaHarrowTank"));
        QVERIFY(m_window->Ready() && m_window->isEnabled() && child<QTabWidget>("F_Tab")->isEnabled());
        QCOMPARE(child<QLineEdit>("MHealth")->text(), QStringLiteral("480.0"));
        QCOMPARE(child<QLineEdit>("TxtCost")->text(), QStringLiteral("900"));
        QCOMPARE(child<QComboBox>("CboArmour")->currentText(), QStringLiteral("TankPlate"));
        QVERIFY(child<QComboBox>("CboArmour")->count() >= 10 && child<QComboBox>("CboLocomotor")->count() >= 15);
        QVERIFY(child<QComboBox>("PWeapon")->count() >= 30);
        QVERIFY(child<QComboBox>("Conditions")->count() == 2 && child<QComboBox>("CondCombo")->count() == 2);
        QCOMPARE(child<QComboBox>("PWeapon")->currentText(), QStringLiteral("HarrowCannonMk1"));
        QCOMPARE(child<QTabBar>("LocoTab")->count(), 2);
        QCOMPARE(child<QTabBar>("LocoTab")->tabText(1), QStringLiteral("CrippledTreads"));
        QCOMPARE(child<QLineEdit>("HS_TextBox_1")->displayText(), QStringLiteral("32__ dist/sec"));
        QCOMPARE(child<QComboBox>("CboLocomotor")->currentText(), QStringLiteral("HarrowTreads"));
        QCOMPARE(child<QLabel>("StatusBar1_1")->text(), QStringLiteral("Player Units\\America\\AmericaHarrowTank"));
        QCOMPARE(child<QLabel>("StatusBar1_2")->text(), QStringLiteral("FactionUnit.ini"));
        QCOMPARE(child<QLabel>("StatusBar1_3")->text(), QStringLiteral("There are 0 items in this catagory."));

        const QStringList rows = summaryRows();
        QCOMPARE(rows.first(), QStringLiteral("Name=AmericaHarrowTank"));
        QVERIFY(rows.contains(QStringLiteral("Locomotor=HarrowTreads, CrippledTreads")));
        QVERIFY(rows.contains(QStringLiteral("Top Speed=32 dist/sec")));
        QVERIFY(rows.contains(QStringLiteral("Primary Weapon=HarrowCannonMk1")));
        const QAbstractItemModel *model = m_window->summaryList().listView()->model();
        for (int r = 0; r < model->rowCount(); ++r) // names in bold red
            QVERIFY(model->index(r, 0).data(Qt::FontRole).value<QFont>().bold()
                    && model->index(r, 0).data(Qt::ForegroundRole).value<QColor>() == QColor(Qt::red));
        QTRY_COMPARE(child<QPushButton>("CmdME_FINI")->text(), QStringLiteral("Manual Edit FactionUnit.ini"));
    }

    void otherWeaponSetsAndLocomotorsCanBeChosen()
    {
        click(QStringLiteral("AmericaHarrowTank"));
        QComboBox *conditions = child<QComboBox>("CondCombo");
        conditions->setCurrentIndex(1);
        emit conditions->activated(1);
        QCOMPARE(child<QComboBox>("PWeapon")->currentText(), QStringLiteral("HarrowCannonMk2"));
        QCOMPARE(child<QComboBox>("Conditions")->currentIndex(), 1);
        QVERIFY(summaryRows().contains(QStringLiteral("Primary Weapon=HarrowCannonMk2")));
        // And the other way round.
        child<QComboBox>("Conditions")->setCurrentIndex(0);
        emit child<QComboBox>("Conditions")->activated(0);
        QCOMPARE(conditions->currentIndex(), 0);
        QCOMPARE(child<QComboBox>("PWeapon")->currentText(), QStringLiteral("HarrowCannonMk1"));
        child<QTabBar>("LocoTab")->setCurrentIndex(1);
        QCOMPARE(child<QComboBox>("CboLocomotor")->currentText(), QStringLiteral("CrippledTreads"));
        QCOMPARE(child<QLineEdit>("HS_TextBox_1")->displayText(), QStringLiteral("14__ dist/sec"));

        // Clearing a box shows its empty mask, and the summary follows.
        child<QPushButton>("HS_ClearBtn_1")->click();
        QCOMPARE(child<QLineEdit>("HS_TextBox_1")->displayText(), QStringLiteral("____ dist/sec"));
        QVERIFY(summaryRows().contains(QStringLiteral("Top Speed= dist/sec")));
    }

    void categoryNodesAndMissingFilesLeaveTheOldValues()
    {
        click(QStringLiteral("AmericaHarrowTank"));
        click(QStringLiteral("Player Units"));
        QCOMPARE(child<QLabel>("StatusBar1_1")->text(), QStringLiteral("Player Units"));
        QCOMPARE(child<QLabel>("StatusBar1_3")->text(), QStringLiteral("There are 5 items in this catagory."));
        QVERIFY(!child<QTabWidget>("F_Tab")->isEnabled());
        QCOMPARE(child<QLineEdit>("MHealth")->text(), QStringLiteral("480.0"));
        QCOMPARE(child<QComboBox>("CboArmour")->currentText(), QString());

        // A missing file is named and the old values are kept.
        const QByteArray bytes = m_game.read(QStringLiteral("Data/INI/Object/CivilianUnit.ini"));
        QVERIFY(QFile::remove(m_game.path() + QStringLiteral("/Data/INI/Object/CivilianUnit.ini")));
        click(QStringLiteral("CartHauler"));
        QCOMPARE(child<QLabel>("StatusBar1_2")->text(), QStringLiteral("CivilianUnit.ini  (Error: File does not exist)"));
        QCOMPARE(child<QLineEdit>("MHealth")->text(), QStringLiteral("480.0"));
        QVERIFY(m_game.write(QStringLiteral("Data/INI/Object/CivilianUnit.ini"), bytes));
    }

    void filesOpenInTheManualEditor()
    {
        QSignalSpy requests(m_window, &FrmEdit::manualEditRequested); // block flag, folder kind, file, text
        child<QAction>("MnuFileEdit_12")->trigger();
        child<QAction>("MnuFileEdit_2")->trigger();
        m_window->runDropDownItem(QStringLiteral("Weapon.ini"));
        const QString set = m_game.path() + QStringLiteral("/Data/INI/CommandSet.ini");
        QVERIFY(QFile::rename(set, set + QStringLiteral(".bak")));
        child<QAction>("MnuFileEdit_16")->trigger();
        QVERIFY(QFile::rename(set + QStringLiteral(".bak"), set));
        QCOMPARE(m_user.messages.size(), 1);
        QCOMPARE(m_user.messages[0].text, QStringLiteral("The following files do not exist: \r\n") + set);
        click(QStringLiteral("AmericaHarrowTank"));
        child<QPushButton>("Btn_LEdit")->click();
        child<QPushButton>("Btn_FEdit")->click();
        QStringList seen;
        for (const QList<QVariant> &r : requests)
            seen << QStringLiteral("%1 %2 %3 %4").arg(r[0].toInt()).arg(r[1].toInt()).arg(r[2].toString(), r[3].toString().section(QLatin1Char('\r'), 0, 0));
        QCOMPARE(seen, (QStringList{"0 0 Locomotor.ini ", "0 1 FactionProp.ini ", "0 0 weapon.ini ",
                                    "1 0 Locomotor.ini Locomotor HarrowTreads", "1 1 FactionUnit.ini Object AmericaHarrowTank"}));
    }

    void filterNarrowsToMatchingObjectsAndKeepsTheChoice()
    {
        click(QStringLiteral("AmericaHarrowTank"));
        auto *filter = child<QLineEdit>("TxtFilter");
        filter->setText(QStringLiteral("hArRoW"));
        const QAbstractItemModel *shown = m_window->tree()->model();
        QStringList objects;
        for (const QModelIndex &i : shown->match(shown->index(0, 0), Qt::DisplayRole, QStringLiteral("*"), -1,
                                                 Qt::MatchWildcard | Qt::MatchRecursive))
            if (!shown->hasChildren(i))
                objects << i.data().toString();
        // Player Units / America and Player Props, where the shell lives.
        QCOMPARE(objects, (QStringList{"AmericaHarrowTank", "ProjHarrowShell"}));
        QCOMPARE(m_window->currentNode().data().toString(), QStringLiteral("AmericaHarrowTank"));

        filter->clear();
        QCOMPARE(shown->rowCount(), 10);
        QCOMPARE(m_window->tree()->currentIndex().data().toString(), QStringLiteral("AmericaHarrowTank"));
    }

    void checkDataListsProblemsAndOpensThemAtTheirLine()
    {
        QVERIFY(m_game.writeIni(QStringLiteral("Object/NatureUnit.ini"),
                                m_game.read(QStringLiteral("Data/INI/Object/NatureUnit.ini"))
                                    + "Object Ghost\r\n  Locomotor = SET_NORMAL NoSuchLegs\r\nEnd\r\n"));
        FrmCheckData window;
        window.runCheck();
        QCOMPARE(window.list()->topLevelItemCount(), 1);
        QTreeWidgetItem *problem = window.list()->topLevelItem(0);
        QCOMPARE(problem->text(2), QStringLiteral("unknown-locomotor"));
        QSignalSpy open(&window, &FrmCheckData::openRequested);
        emit window.list()->itemActivated(problem, 0);
        QCOMPARE(open, (QList<QVariantList>{{1, QStringLiteral("NatureUnit.ini"), problem->text(1).toInt()}}));
    }

    void closingAsksUnlessTurnedOff()
    {
        SettingsStore::deleteSection(QStringLiteral("Torvane Zarnith"), QStringLiteral("Settings"));
        m_user.answer = QMessageBox::No;
        QVERIFY(!m_window->close());
        QCOMPARE(m_user.messages.size(), 1);
        QCOMPARE(m_user.messages[0].text, QStringLiteral("Are you sure that you want to quit?"));

        // The manual editor may still hold unsaved edits the user keeps.
        Settings::SaveSet(QStringLiteral("Exit"), QStringLiteral("0"));
        m_window->setExitCheck([] { return false; });
        QVERIFY(!m_window->close());
        m_window->setExitCheck({});

        m_window->setAttribute(Qt::WA_DeleteOnClose, false);
        QVERIFY(m_window->close());
        QCOMPARE(m_user.messages.size(), 1);
        QCOMPARE(m_user.exits, QList<int>{0}); // none while the close was refused
        m_window->show();
    }

    // Closing the window while its check still reads must stop the check.
    void closingCheckDataDuringTheCheck()
    {
        const QByteArray big = QByteArray("Weapon W\r\n  Damage = 1\r\nEnd\r\n").repeated(40000);
        const QByteArray stock = m_game.read(QStringLiteral("Data/INI/Weapon.ini"));
        QVERIFY(m_game.writeIni(QStringLiteral("Weapon.ini"), stock + big));
        QPointer<FrmCheckData> window = new FrmCheckData;
        window->show();
        QTimer::singleShot(0, window, [&] { window->close(); });
        window->runCheck();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window);

        // Opened again while the closed one still reads, it is a new window.
        window = FrmCheckData::open();
        QPointer<FrmCheckData> again;
        QTimer::singleShot(0, window, [&] {
            window->close();
            again = FrmCheckData::open();
        });
        window->runCheck();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window);
        QVERIFY(again);
        delete again;
        QVERIFY(m_game.writeIni(QStringLiteral("Weapon.ini"), stock));
    }

    void toolbarKeysAndTips()
    {
        QStringList tips;
        for (const char *name : {"MISC01", "New", "Save", "Properties", "Help", "DISK12", "WRENCH", "W95MBX01"})
            tips << child<QToolButton>(name)->toolTip();
        QCOMPARE(tips, (QStringList{"Run Torvane", "New", "Save", "Properties", "Help", "Files", "Editors", "Exit"}));
        const auto keys = [this](const char *button) {
            QStringList names;
            for (const QAction *a : child<QToolButton>(button)->menu()->actions())
                names << a->objectName() + (a->isSeparator() ? QStringLiteral("-") : QString());
            return names;
        };
        QStringList files;
        for (int i = 1; i <= 16; ++i)
            files << QStringLiteral("MnuFileList%1").arg(i) + (i == 4 || i == 8 || i == 11 ? QStringLiteral("-") : QString());
        files.insert(14, QStringLiteral("SepThingy-"));
        QCOMPARE(keys("DISK12"), files);
        QCOMPARE(keys("WRENCH"), (QStringList{"MnuWeapons", "MnuArmour", "MnuSep873-", "MnuCmdBtn", "MnuCmdSet"}));
        QCOMPARE(keys("New"), (QStringList{"MnuTBUnit", "MnuTBBuilding"}));
        child<QToolButton>("WRENCH")->click();
        QCOMPARE(m_user.messages.size(), 1);
        QCOMPARE(m_user.messages[0].text, QStringLiteral("Click on the 'Down Arrow' next to this button!"));
        QCOMPARE(m_user.messages[0].title, QStringLiteral("For your information,"));
    }

    // A filled box has no chosen entry until its text names one.
    void comboBoxesChooseOnlyTheObjectsEntry()
    {
        click(QStringLiteral("AmericaVanguard"));
        QSignalSpy shown(m_window, &FrmEdit::showWindowRequested);
        child<QPushButton>("PWeaponEdit")->click();
        child<QPushButton>("Command2")->click();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0][1].toString(), QStringLiteral("VanguardCarbine"));
        QCOMPARE(shown[1][1].toString(), QStringLiteral("InfantryVest"));
        QCOMPARE(child<QComboBox>("CboArmour")->currentIndex(),
                 child<QComboBox>("CboArmour")->findText(QStringLiteral("InfantryVest")));
    }

    void keyboardChoosesAndLoadsNodes()
    {
        click(QStringLiteral("AmericaVanguard"));
        QTreeView *tree = m_window->tree();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(m_window->currentNode().data().toString(), QStringLiteral("AmericaLongshot"));
        QCOMPARE(child<QLabel>("StatusBar1_1")->text(), QStringLiteral("Player Units\\America\\AmericaLongshot"));
        QTRY_VERIFY(tree->hasFocus());
        child<QLineEdit>("MHealth")->setText(QStringLiteral("1"));
        QTest::keyClick(tree, Qt::Key_Return);
        QVERIFY(child<QLineEdit>("MHealth")->text() != QStringLiteral("1"));
        QTRY_VERIFY(tree->hasFocus());
        QTest::keyClick(tree, Qt::Key_Left); // up to the side node: no progress window
        QCOMPARE(child<QLabel>("StatusBar1_1")->text(), QStringLiteral("Player Units\\America"));
        QVERIFY(tree->hasFocus());
    }

    void locomotorTabsShowAfterALoad()
    {
        child<QTabWidget>("F_Tab")->setCurrentIndex(1);
        click(QStringLiteral("AmericaHarrowTank"));
        child<QTabWidget>("F_Tab")->setCurrentIndex(0);
        QTRY_VERIFY(child<QTabBar>("LocoTab")->height() > 0);
    }

    // An object filed under a category of another file is read from that
    // category's file, as the command line reads it.
    void objectIsReadFromItsCategorysFile()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionBuilding.ini"), crlf({"OBJECT Bus", "  MaxHealth = 111", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/CivilianUnit.ini"), crlf({"Object Bus", "  MaxHealth = 222", "End"})));
        GamePath = game.path();
        Catalogue catalogue;
        m_window->fillCatalogue(catalogue.BuildCatalogue(GamePath));
        const QAbstractItemModel *model = m_window->tree()->model();
        const auto buses = model->match(model->index(0, 0), Qt::DisplayRole, QStringLiteral("Bus"), -1,
                                        Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(buses.size(), 2);
        m_window->loadNode(buses[0]);
        QCOMPARE(child<QLineEdit>("MHealth")->text(), QStringLiteral("111"));
        m_window->loadNode(buses[1]);
        QCOMPARE(child<QLineEdit>("MHealth")->text(), QStringLiteral("222"));
        GamePath = m_game.path();
        m_window->fillCatalogue(catalogue.BuildCatalogue(GamePath));
    }

    // Neither Steam nor Wine on the search path: the message says what was tried.
    void runningTheGameWithNothingToRunItSaysSo()
    {
        QVERIFY(m_game.write(QStringLiteral("TorVane.exe"), ""));
        const QByteArray path = qgetenv("PATH");
        QTemporaryDir empty;
        qputenv("PATH", empty.path().toLocal8Bit());
        m_window->findChild<QAction *>(QStringLiteral("MnuRun"))->trigger();
        child<QToolButton>("MISC01")->click();
        qputenv("PATH", path);
        QCOMPARE(m_user.messages.size(), 2);
        QVERIFY2(m_user.lastText().contains(QStringLiteral("wine is not installed"))
                     && m_user.lastText().contains(QStringLiteral("not in a Steam library")),
                 qPrintable(m_user.lastText()));
        QFile::remove(m_game.path() + QStringLiteral("/TorVane.exe"));
    }

    // Missing files first, the whole problem as a tip, the opened line marked.
    void checkDataPutsMissingFilesFirstAndMarksTheOpenedLine()
    {
        // A unit file with a block that never ends, and no weapon file.
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"), crlf({"Object Tank", "  MaxHealth = 1"})));
        GamePath = game.path();
        FrmCheckData *window = FrmCheckData::open();
        GamePath = m_game.path();
        QTreeWidget *list = window->list();
        QVERIFY(list->topLevelItemCount() > 2);
        QTreeWidgetItem *first = list->topLevelItem(0);
        QCOMPARE(first->text(2), QStringLiteral("missing-file"));
        QTreeWidgetItem *last = list->topLevelItem(list->topLevelItemCount() - 1);
        QCOMPARE(last->text(0), QStringLiteral("Object\\FactionUnit.ini"));
        QVERIFY(last->toolTip(3).contains(last->text(3)) && last->toolTip(0).contains(QStringLiteral("line ")));
        QSignalSpy opened(window, &FrmCheckData::openRequested);
        emit list->itemActivated(last, 0);
        QCOMPARE(opened.size(), 1);
        QVERIFY(last->font(0).bold() && !first->font(0).bold());
        QCOMPARE(list->currentItem(), last);
        window->close();
    }

    void reloadKeepsTheChoiceAndTheFilterAndShowsOutsideChanges()
    {
        const QString unitFile = QStringLiteral("Data/INI/Object/FactionUnit.ini");
        const QByteArray stock = m_game.read(unitFile);
        click(QStringLiteral("AmericaHarrowTank"));
        child<QLineEdit>("TxtFilter")->setText(QStringLiteral("Harrow"));
        QByteArray changed = stock;
        const QByteArray health("MaxHealth         = 480.0");
        const qsizetype at = changed.indexOf(health, changed.indexOf("Object AmericaHarrowTank"));
        QVERIFY(at > 0);
        changed.replace(at, health.size(), "MaxHealth         = 975.5");
        QVERIFY(m_game.write(unitFile, changed));
        auto *reload = m_window->findChild<QAction *>(QStringLiteral("MnuReload"));
        QCOMPARE(reload->shortcut(), QKeySequence(Qt::Key_F5));
        reload->trigger();
        QCOMPARE(child<QLineEdit>("MHealth")->text(), QStringLiteral("975.5"));
        QCOMPARE(m_window->currentNode().data().toString(), QStringLiteral("AmericaHarrowTank"));
        QCOMPARE(m_window->tree()->currentIndex().data().toString(), QStringLiteral("AmericaHarrowTank"));
        QCOMPARE(child<QLineEdit>("TxtFilter")->text(), QStringLiteral("Harrow"));
        QVERIFY(!node(QStringLiteral("AmericaVanguard")).isValid());
        QVERIFY(m_game.write(unitFile, stock));
        child<QLineEdit>("TxtFilter")->clear();
    }

    // Files that are there, the player's own text included, are never touched;
    // a file whose folder leads out of the game folder is refused and said so.
    void missingFilesLineNamesThemAndRestoresJustThose_data()
    {
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<bool>("objectFolderLinkedOut");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("messages");
        QTest::newRow("none missing") << QStringList{} << false << QString() << 0;
        QTest::newRow("a data file and an object file")
            << QStringList{"Weapon.ini", "Object/NatureUnit.ini"} << false
            << "Missing data files: Object\\NatureUnit.ini, Weapon.ini" << 0;
        QTest::newRow("object folder is a link out of the game folder")
            << QStringList{"Object/FactionProp.ini"} << true << "Missing data files: Object\\FactionProp.ini" << 1;
    }
    void missingFilesLineNamesThemAndRestoresJustThose()
    {
        QFETCH(QStringList, removed);
        QFETCH(bool, objectFolderLinkedOut);
        QFETCH(QString, line);
        QFETCH(int, messages);
        TestGame game;
        QCOMPARE(QProcess::execute(QStringLiteral("cp"), {"-R", ZARNITH_STOCK_DIR "/.", game.path()}), 0);
        QVERIFY(game.writeIni(QStringLiteral("Armor.ini"), "the player's own"));
        for (const QString &file : removed)
            QVERIFY(QFile::remove(game.path() + QStringLiteral("/Data/INI/") + file));
        TestGame outside;
        if (objectFolderLinkedOut) {
            const QString objects = game.path() + QStringLiteral("/Data/INI/Object");
            QCOMPARE(QProcess::execute(QStringLiteral("mv"), {objects, outside.path() + QStringLiteral("/Object")}), 0);
            QVERIFY(QFile::link(outside.path() + QStringLiteral("/Object"), objects));
        }
        GamePath = game.path();
        m_window->setStockFolder(QStringLiteral(ZARNITH_BIN_DIR));
        m_window->reloadData();
        auto *bar = child<QWidget>("FraMissing");
        QCOMPARE(!bar->isHidden(), !line.isEmpty());
        if (!line.isEmpty()) {
            QCOMPARE(child<QLabel>("LblMissing")->text(), line);
            child<QPushButton>("BtnRestoreStock")->click();
        }
        QCOMPARE(m_user.messages.size(), messages);
        QCOMPARE(bar->isHidden(), messages == 0);
        QCOMPARE(game.read(QStringLiteral("Data/INI/Armor.ini")), QByteArray("the player's own"));
        for (const QString &file : removed) {
            QFile stock(QStringLiteral(ZARNITH_STOCK_DIR "/Data/INI/") + file);
            QVERIFY(stock.open(QIODevice::ReadOnly));
            QCOMPARE(game.read(QStringLiteral("Data/INI/") + file), objectFolderLinkedOut ? QByteArray() : stock.readAll());
        }
        QVERIFY(!QFile::exists(outside.path() + QStringLiteral("/Object/FactionProp.ini")));
        GamePath = m_game.path();
        m_window->reloadData();
        QVERIFY(bar->isHidden());
    }
};

QTEST_MAIN(tst_FrmEdit)
#include "tst_frmedit.moc"
