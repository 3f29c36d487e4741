#include "mainwindow/frmedit.h"

#include "../common/hooks.h"
#include "../common/testgame.h"
#include "engine/globals.h"
#include "manualedit/settingsstore.h"
#include "platform/controlhost.h"
#include "platform/eventyield.h"
#include "platform/windowplacement.h"
#include "startup/catalogue.h"
#include "subeditors/cmdsetformat.h"
#include "subeditors/frmamrpar.h"
#include "subeditors/frmarmour.h"
#include "subeditors/frmcmdbtn.h"
#include "subeditors/frmcmdset.h"
#include "subeditors/frmwe.h"
#include "tabulet/controlfactory.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using Open = SubEditor *(*)();
Q_DECLARE_METATYPE(Open)

// The four viewers over the stock data, next to a main window.
class tst_SubEditor : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    TestGame m_game;
    UserHooks m_user;
    QStringList m_handOffs; // "block flag, folder kind, file: text"
    FrmEdit *m_main = nullptr;

    template<typename Viewer>
    static SubEditor *open() { return Viewer::open(); }
    // Lets queued selections and deferred deletions run.
    static void settle() { QTest::qWait(20); }
    static QAbstractItemModel *values(const SubEditor *w) { return w->valueList().listView()->model(); }
    static QString tagOf(const SubEditor *w, int r) { return values(w)->index(r, 1).data(ItemRole::Tag).toString(); }
    static QString currentEntry(const SubEditor *w)
    {
        return w->entryList()->currentItem() ? w->entryList()->currentItem()->text() : QString();
    }
    // "label=value" per row of the value list.
    static QStringList valueRows(const SubEditor *w)
    {
        QStringList rows;
        for (int r = 0; r < values(w)->rowCount(); ++r)
            rows << values(w)->index(r, 0).data().toString() + u'=' + values(w)->index(r, 1).data().toString();
        return rows;
    }
    // Chooses a row the way the user does: a click on it.
    static void clickEntry(SubEditor *w, const QString &text)
    {
        QTableWidget *list = w->entryList();
        const QList<QTableWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(text));
        list->scrollToItem(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    }
    // Chooses a damage type in "Insert Parameter" and presses one of its buttons.
    static void press(const char *button, const QString &type = QString())
    {
        QAbstractItemView *view = FrmAmrPar::existing()->list().listView();
        if (!type.isEmpty())
            view->setCurrentIndex(view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, type).value(0));
        FrmAmrPar::existing()->findChild<QAbstractButton *>(QLatin1String(button))->click();
    }

private slots:
    void initTestCase()
    {
        SettingsStore::redirectTo(m_settings.path());
        ControlHost::setPluginPath(QStringLiteral(ZARNITH_PLUGIN));
        m_user.install();
        const QDir stock(QStringLiteral(ZARNITH_STOCK_DIR));
        for (QDirIterator it(stock.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            QFile f(it.next());
            QVERIFY(f.open(QIODevice::ReadOnly) && m_game.write(stock.relativeFilePath(f.fileName()), f.readAll()));
        }
        // A name in lower case, which a sort by character codes would put last.
        QVERIFY(m_game.writeIni("Armor.ini", m_game.read("Data/INI/Armor.ini") + "Armor lowerDeckPlate\r\nEnd\r\n"));
        GamePath = m_game.path();
        SubEditor::setHandOffHook([this](int block, int kind, const QString &file, const QString &text) {
            m_handOffs << QStringLiteral("%1,%2,%3: %4").arg(block).arg(kind).arg(file, text);
        });
        // The weapons viewer lists the main window's primary weapon choices.
        m_main = new FrmEdit;
        m_main->fillCatalogue(Catalogue().BuildCatalogue(GamePath));
        m_main->prepareAfterStartup();
    }

    void cleanupTestCase()
    {
        m_main->AskOnClose = false;
        delete m_main;
    }

    void init()
    {
        for (QWidget *w : std::initializer_list<QWidget *>{FrmWE::existing(), FrmArmour::existing(),
                                                          FrmCmdBtn::existing(), FrmCmdSet::existing(),
                                                          FrmAmrPar::existing(), CmdSetFormat::existing()}) {
            if (w)
                w->close();
        }
        m_main->findChild<QComboBox *>(QStringLiteral("CboArmour"))->clear();
        settle();
        m_handOffs.clear();
    }

    void viewersListTheirEntriesAndHandOverBlocks_data()
    {
        QTest::addColumn<Open>("open");
        QTest::addColumn<QString>("firstRead");
        QTest::addColumn<QString>("blockHeader");
        QTest::newRow("weapons") << &open<FrmWE> << "HarrowCannonMk1" << "1,0,Weapon.ini: Weapon HarrowCannonMk1\r\n";
        QTest::newRow("armour") << &open<FrmArmour> << "TankPlate" << "1,0,Armor.ini: Armor TankPlate\r\n";
        QTest::newRow("command buttons") << &open<FrmCmdBtn> << "Cmd_Halt"
                                         << "1,0,CommandButton.ini: CommandButton Cmd_Halt\r\n";
        QTest::newRow("command sets") << &open<FrmCmdSet> << "AmericaSapperCommandSet"
                                      << "1,0,CommandSet.ini: CommandSet AmericaSapperCommandSet\r\n";
    }

    void viewersListTheirEntriesAndHandOverBlocks()
    {
        QFETCH(Open, open);
        QFETCH(QString, firstRead);
        QFETCH(QString, blockHeader);
        SubEditor *w = open();
        // The first row read is chosen in a list sorted without regard to case; nothing is shown yet.
        QStringList listed;
        for (int r = 0; r < w->entryList()->rowCount(); ++r)
            listed << w->entryList()->item(r, 0)->text();
        const auto caseBlind = [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
        QVERIFY(std::is_sorted(listed.begin(), listed.end(), caseBlind));
        QCOMPARE(currentEntry(w), firstRead);
        settle();
        QCOMPARE(values(w)->rowCount(), 0);

        // Both menu items hand the entry's block over as a block of the viewer's own file.
        w->findChild<QAction *>(QStringLiteral("MnuManEd"))->trigger();
        w->findChild<QAction *>(QStringLiteral("PopManEd"))->trigger();
        QCOMPARE(m_handOffs, QStringList(2, m_handOffs.value(0)));
        QVERIFY2(m_handOffs[0].startsWith(blockHeader) && m_handOffs[0].endsWith(QStringLiteral("End\r\n")),
                 qPrintable(m_handOffs[0]));
    }

    void clickedEntryIsShownInRedBoldOthersAreOnlySelected()
    {
        // With an armour chosen on the main window, the armour viewer leaves the selection to it.
        m_main->findChild<QComboBox *>(QStringLiteral("CboArmour"))->addItem(QStringLiteral("VeteranVest"));
        SubEditor *hidden = FrmArmour::open(QString(), false);
        QCOMPARE(currentEntry(hidden), QString());
        QCOMPARE(FrmArmour::open(QStringLiteral("LightHullPlate"), false), hidden);
        QVERIFY(!hidden->isVisible());
        QCOMPARE(currentEntry(hidden), QStringLiteral("LightHullPlate"));

        SubEditor *w = FrmWE::open(QStringLiteral("HarrowCannonMk2"));
        clickEntry(w, QStringLiteral("HarrowCannonMk2"));
        QTRY_COMPARE(w->windowTitle(), QStringLiteral("HarrowCannonMk2 - Weapon Editor"));
        QCOMPARE(valueRows(w)[0], QStringLiteral("Weapon Damage=75.0"));
        QCOMPARE(tagOf(w, 0), QStringLiteral("TxtBox|"));
        QCOMPARE(tagOf(w, 2), QString()); // a separator
        QVERIFY(tagOf(w, 12).startsWith(QStringLiteral("CboBox|ARMOR_PIERCING,AURORA_BOMB,")));
        for (int r = 0; r < 18; ++r) {
            QCOMPARE(values(w)->index(r, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
            QVERIFY(values(w)->index(r, 0).data(Qt::FontRole).value<QFont>().bold());
            QVERIFY(!values(w)->index(r, 1).data(Qt::ForegroundRole).isValid());
        }

        QCOMPARE(FrmWE::open(QStringLiteral("harrowcannonmk1")), w);
        QCOMPARE(currentEntry(w), QStringLiteral("HarrowCannonMk1"));
        settle();
        QCOMPARE(w->windowTitle(), QStringLiteral("HarrowCannonMk2 - Weapon Editor"));
        QVERIFY(!w->selectEntry(QStringLiteral("NoSuchWeapon")));
        QCOMPARE(currentEntry(w), QStringLiteral("HarrowCannonMk1"));
        // Without a chosen entry there is nothing to hand over.
        w->entryList()->setCurrentItem(nullptr);
        w->editInManualEditor();
        QVERIFY(m_handOffs.isEmpty());
    }

    void rightButtonOpensTheContextMenuOverEitherList()
    {
        SubEditor *w = FrmCmdBtn::open();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        auto *popup = w->findChild<QMenu *>(QStringLiteral("MnuPop"));
        for (QWidget *list : {w->entryList()->viewport(), w->valueList().listView()->viewport()}) {
            QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(10, 5));
            QTRY_VERIFY(values(w)->rowCount() > 0);
            QVERIFY(!popup->isVisible());
            QTest::mousePress(list, Qt::RightButton, {}, QPoint(10, 5));
            QTRY_VERIFY(popup->isVisible());
            popup->hide();
        }
    }

    void resizedWindowPlacesBothListsAndKeepsItsSize()
    {
        // Sizes that would be negative are none; the window keeps those as they were.
        const SubEditor::Layout l = SubEditor::layoutFor(500, 240);
        QCOMPARE((QList<int>{l.valueLeft.value_or(-1), l.listWidth.value_or(-1), l.valueWidth.value_or(-1),
                             l.valueHeight.value_or(-1)}),
                 (QList<int>{150, -1, 250, 0}));

        SubEditor *w = FrmWE::open();
        QWidget *central = w->centralWidget();
        const auto twips = [w](int pixels) { return WindowPlacement::toTwips(w, pixels); };
        w->resize(WindowPlacement::toPixels(w, 10000), w->height() - central->height() + 400);
        QTRY_COMPARE(central->width(), WindowPlacement::toPixels(w, 10000));
        const QWidget *valueList = w->valueList().widget();
        QVERIFY(qAbs(twips(valueList->x()) - 3000) <= twips(1));
        QVERIFY(qAbs(twips(w->entryList()->width()) - 2825) <= twips(1));
        QVERIFY(qAbs(twips(valueList->width()) - 6900) <= twips(1));
        QCOMPARE(w->entryList()->height(), valueList->height());
        QCOMPARE(valueList->height(), 400 - 2 * WindowPlacement::toPixels(w, 120));

        const QSize size = w->size();
        w->close();
        settle();
        QVERIFY(!FrmWE::existing());
        QCOMPARE(FrmWE::open()->size(), size);
    }

    void choiceOrCloseDuringAFillWaitsForIt_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("another choice") << false;
        QTest::newRow("close") << true;
    }

    void choiceOrCloseDuringAFillWaitsForIt()
    {
        QFETCH(bool, close);
        QPointer<SubEditor> w = FrmCmdBtn::open(QStringLiteral("Cmd_Halt"));
        bool done = false;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] {
            const int rows = w ? values(w)->rowCount() : 0;
            if (!done && rows > 0 && rows < 15) {
                // While the first button's rows are still being added.
                done = true;
                if (close)
                    w->close();
                else if (w->selectEntry(QStringLiteral("Cmd_GuardArea")))
                    emit w->entryList()->cellClicked(w->entryList()->currentRow(), 0);
            }
            EventYield::reset(); // the fill's next yield lets events in
        });
        tick.start(0);
        EventYield::reset();
        clickEntry(w, QStringLiteral("Cmd_Halt"));
        if (close) {
            QTRY_VERIFY(!w);
            QCOMPARE(FrmCmdBtn::open()->windowTitle(), QStringLiteral("Command Button Editor"));
            return;
        }
        QTRY_COMPARE(w->windowTitle(), QStringLiteral("Cmd_GuardArea - Command Button Editor"));
        QTRY_VERIFY(!w->isBusy());
        settle();
        QVERIFY(done);
        QCOMPARE(values(w)->rowCount(), 15);
        QCOMPARE(valueRows(w)[0], QStringLiteral("Command Type=GUARD"));
    }

    void insertParameterAppendsLabelOnlyRows()
    {
        FrmArmour *w = FrmArmour::open();
        w->findChild<QAction *>(QStringLiteral("Test"))->trigger();
        QPointer<FrmAmrPar> par = FrmAmrPar::existing();
        QVERIFY(par && par->isVisible());
        QCOMPARE(par->list().listView()->model()->index(0, 0).data().toString(), QStringLiteral("ARMOR_PIERCING"));
        press("CmdAdd"); // nothing chosen yet
        press("CmdOK", QStringLiteral("FLAME")); // no armour shown yet
        settle();
        QVERIFY(!par);
        QCOMPARE(valueRows(w), QStringList({"FLAME="}));

        // The next choice of an armour drops the added rows; Cancel adds nothing.
        clickEntry(w, QStringLiteral("LightHullPlate"));
        QTRY_COMPARE(w->windowTitle(), QStringLiteral("LightHullPlate - Armour Editor"));
        QCOMPARE(values(w)->rowCount(), 9);
        FrmAmrPar::open();
        press("CmdAdd", QStringLiteral("HEALING"));
        press("CmdAdd");
        press("CmdCancel", QStringLiteral("WATER"));
        QCOMPARE(valueRows(w).mid(9), QStringList({"HEALING=", "HEALING="}));
        QCOMPARE(tagOf(w, 9), QString());

        // Without the armour window there is nothing to add to.
        w->close();
        settle();
        FrmAmrPar::open();
        press("CmdAdd", QStringLiteral("WATER"));
        QVERIFY(!FrmArmour::existing());
    }

    void commandSetSlotsOfferEveryButtonAndTheFormatIsShown()
    {
        FrmCmdSet *w = FrmCmdSet::open();
        clickEntry(w, QStringLiteral("AmericaSapperCommandSet"));
        QTRY_COMPARE(w->windowTitle(), QStringLiteral("AmericaSapperCommandSet - Command Set Editor"));
        QCOMPARE(valueRows(w).value(11), QStringLiteral("12=Cmd_Halt"));
        const QStringList &names = w->commandButtonNames();
        QCOMPARE(std::pair(names.size(), names.value(0)), std::pair(qsizetype(47), QStringLiteral("Cmd_Halt")));
        QCOMPARE(tagOf(w, 11), QStringLiteral("CboBox|") + names.join(u',') + u',');

        w->findChild<QAction *>(QStringLiteral("MnuCmdFormat"))->trigger();
        QPointer<CmdSetFormat> format = CmdSetFormat::existing();
        QVERIFY(format && format->isVisible());
        QCOMPARE(format->findChild<QLabel *>(QStringLiteral("Picture1"))->pixmap().size(), QSize(358, 40));
    }
};

QTEST_MAIN(tst_SubEditor)
#include "tst_subeditor.moc"
