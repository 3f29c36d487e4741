#include "mainwindow/frmedit.h"
#include "platform/eventyield.h"
#include "platform/windowplacement.h"
#include "subeditors/frmarmour.h"
#include "subeditors/frmcmdbtn.h"
#include "subeditors/frmcmdset.h"
#include "subeditors/frmwe.h"

#include "viewertest.h"

#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

using namespace ViewerTest;

namespace {

SubEditor *openViewer(const QString &name, const QString &entry = QString(), bool show = true)
{
    if (name == QLatin1String("FrmWE"))
        return FrmWE::open(entry, show);
    if (name == QLatin1String("FrmArmour"))
        return FrmArmour::open(entry, show);
    if (name == QLatin1String("FrmCmdBtn"))
        return FrmCmdBtn::open(entry, show);
    return FrmCmdSet::open(entry, show);
}

} // namespace

class tst_SubEditor : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    TestGame m_game;
    QStringList m_handOffs; // "block flag, folder kind, file: text"
    FrmEdit *m_main = nullptr;

private slots:
    void initTestCase()
    {
        QVERIFY(prepare(m_game, m_settings.path()));
        SubEditor::setHandOffHook([this](int block, int kind, const QString &file, const QString &text) {
            m_handOffs << QStringLiteral("%1,%2,%3: %4").arg(block).arg(kind).arg(file, text);
        });
        // The weapons viewer lists the main window's primary weapon choices.
        m_main = new FrmEdit;
        m_main->prepareAfterStartup();
    }

    void cleanupTestCase()
    {
        m_main->AskOnClose = false;
        delete m_main;
    }

    void init()
    {
        for (SubEditor *w : std::initializer_list<SubEditor *>{FrmWE::existing(), FrmArmour::existing(),
                                                              FrmCmdBtn::existing(), FrmCmdSet::existing()}) {
            if (w)
                w->close();
        }
        settle();
        m_handOffs.clear();
    }

    void viewersShareOneWindowPattern_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("firstRead");
        QTest::addColumn<QString>("blockHeader");

        QTest::newRow("weapons") << "FrmWE" << "Weapon Editor" << "Name 4440 Value 5440" << "HarrowCannonMk1"
                                 << "1,0,Weapon.ini: Weapon HarrowCannonMk1\r\n";
        QTest::newRow("armour") << "FrmArmour" << "Armour Editor" << "Name 3440 Value 2440" << "TankPlate"
                                << "1,0,Armor.ini: Armor TankPlate\r\n";
        QTest::newRow("command buttons") << "FrmCmdBtn" << "Command Button Editor" << "Name 4440 Value 6440"
                                         << "Cmd_Halt" << "1,0,CommandButton.ini: CommandButton Cmd_Halt\r\n";
        QTest::newRow("command sets") << "FrmCmdSet" << "Command Set Editor" << "No. 750 Name 6440"
                                      << "AmericaSapperCommandSet"
                                      << "1,0,CommandSet.ini: CommandSet AmericaSapperCommandSet\r\n";
    }
    void viewersShareOneWindowPattern()
    {
        QFETCH(QString, window);
        QFETCH(QString, title);
        QFETCH(QString, columns);
        QFETCH(QString, firstRead);
        QFETCH(QString, blockHeader);

        SubEditor *w = openViewer(window);
        QCOMPARE(w->objectName(), window);
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(w->entryList()->objectName(), QStringLiteral("LstWPN"));
        QCOMPARE(w->valueList().widget()->objectName(), QStringLiteral("ValueList"));
        const auto *view = qobject_cast<const QTableView *>(w->valueList().listView());
        QStringList shownColumns;
        for (int c = 0; c < 2; ++c) {
            shownColumns << view->model()->headerData(c, Qt::Horizontal).toString()
                         << QString::number(view->columnWidth(c));
        }
        const QStringList wanted = columns.split(u' ');
        QCOMPARE(shownColumns,
                 (QStringList{wanted[0], QString::number(WindowPlacement::toPixels(w, wanted[1].toInt())), wanted[2],
                              QString::number(WindowPlacement::toPixels(w, wanted[3].toInt()))}));

        const QMenu *file = w->findChild<QMenu *>(QStringLiteral("MnuFile"));
        const QMenu *popup = w->findChild<QMenu *>(QStringLiteral("MnuPop"));
        QCOMPARE(file->actions()[0]->objectName(), QStringLiteral("MnuManEd"));
        QCOMPARE(file->actions()[1]->objectName(), QStringLiteral("MnuExit"));
        QCOMPARE(popup->actions()[0]->objectName(), QStringLiteral("PopManEd"));
        QCOMPARE(popup->actions()[0]->text(), file->actions()[0]->text());
        QVERIFY(!w->menuBar()->actions().contains(popup->menuAction()));

        // The first row read is chosen in a list sorted without regard to case; nothing is shown yet.
        QStringList sorted = entries(w);
        std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QCOMPARE(entries(w), sorted);
        QCOMPARE(currentEntry(w), firstRead);
        settle();
        QCOMPARE(values(w)->rowCount(), 0);

        // Both menu items hand the entry's block over as a block of the viewer's own file.
        w->findChild<QAction *>(QStringLiteral("MnuManEd"))->trigger();
        w->findChild<QAction *>(QStringLiteral("PopManEd"))->trigger();
        QCOMPARE(m_handOffs.size(), 2);
        QVERIFY2(m_handOffs[0].startsWith(blockHeader) && m_handOffs[0].endsWith(QStringLiteral("End\r\n")),
                 qPrintable(m_handOffs[0]));
        QCOMPARE(m_handOffs[1], m_handOffs[0]);
    }

    void choosingAnEntryShowsItsRowsInRedBold()
    {
        SubEditor *w = FrmWE::open();
        clickEntry(w, QStringLiteral("HarrowCannonMk2"));
        QTRY_COMPARE(w->windowTitle(), QStringLiteral("HarrowCannonMk2 - Weapon Editor"));
        const QStringList rows = valueRows(w);
        QCOMPARE(rows.size(), 18);
        QCOMPARE(rows[0], QStringLiteral("Weapon Damage=75.0"));
        QCOMPARE(rows[2], QString(40, u'-') + u'=' + QString(20, u'-'));
        QCOMPARE(tagOf(w, 0), QStringLiteral("TxtBox|"));
        QCOMPARE(tagOf(w, 2), QString());
        QVERIFY(tagOf(w, 12).startsWith(QStringLiteral("CboBox|ARMOR_PIERCING,AURORA_BOMB,")));
        for (int r = 0; r < rows.size(); ++r) {
            QCOMPARE(values(w)->index(r, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
            QVERIFY(values(w)->index(r, 0).data(Qt::FontRole).value<QFont>().bold());
            QVERIFY(!values(w)->index(r, 1).data(Qt::ForegroundRole).isValid());
        }
    }

    void entryPointsSelectWithoutFilling()
    {
        SubEditor *hidden = FrmArmour::open(QStringLiteral("LightHullPlate"), false);
        QVERIFY(!hidden->isVisible());
        QCOMPARE(currentEntry(hidden), QStringLiteral("LightHullPlate"));

        SubEditor *w = FrmWE::open(QStringLiteral("HarrowCannonMk1"));
        clickEntry(w, QStringLiteral("HarrowCannonMk1"));
        QTRY_COMPARE(values(w)->rowCount(), 18);
        QCOMPARE(FrmWE::open(QStringLiteral("harrowcannonmk2")), w);
        QCOMPARE(currentEntry(w), QStringLiteral("HarrowCannonMk2"));
        settle();
        QCOMPARE(w->windowTitle(), QStringLiteral("HarrowCannonMk1 - Weapon Editor"));
        QCOMPARE(valueRows(w)[0], QStringLiteral("Weapon Damage=60.0"));
        QVERIFY(!w->selectEntry(QStringLiteral("NoSuchWeapon")));
        QCOMPARE(currentEntry(w), QStringLiteral("HarrowCannonMk2"));

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

    void resizeRule_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QList<int>>("expected"); // value left, list width, value width, value height; -1 kept

        QTest::newRow("10000 twips wide") << 10000 << 8415 << QList<int>{3000, 2825, 6900, 8175};
        QTest::newRow("too narrow for the list") << 500 << 240 << QList<int>{150, -1, 250, 0};
    }
    void resizeRule()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QList<int>, expected);
        const SubEditor::Layout l = SubEditor::layoutFor(width, height);
        QCOMPARE((QList<int>{l.valueLeft.value_or(-1), l.listWidth.value_or(-1), l.valueWidth.value_or(-1),
                             l.valueHeight.value_or(-1)}),
                 expected);
    }

    void resizedWindowPlacesBothLists()
    {
        SubEditor *w = FrmWE::open();
        QWidget *central = w->centralWidget();
        const auto twips = [w](int pixels) { return WindowPlacement::toTwips(w, pixels); };
        w->resize(WindowPlacement::toPixels(w, 10000), w->height() - central->height() + 400);
        QTRY_COMPARE(central->width(), WindowPlacement::toPixels(w, 10000));
        const QWidget *valueList = w->valueList().widget();
        QVERIFY(qAbs(twips(valueList->x()) - 3000) <= twips(1));
        QVERIFY(qAbs(twips(w->entryList()->width()) - 2825) <= twips(1));
        QCOMPARE(w->entryList()->height(), valueList->height());
        QCOMPARE(valueList->height(), 400 - 2 * WindowPlacement::toPixels(w, 120));
    }

    void placementIsRememberedAcrossOpenings()
    {
        SubEditor *w = FrmCmdBtn::open();
        w->setGeometry(40, 50, 700, 450);
        w->close();
        settle();
        QVERIFY(!FrmCmdBtn::existing());
        QCOMPARE(FrmCmdBtn::open()->size(), QSize(700, 450));
    }

    void choiceDuringAFillIsShownAfterIt()
    {
        SubEditor *w = FrmCmdBtn::open(QStringLiteral("Cmd_Halt"));
        bool chosen = false;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] {
            const int rows = values(w)->rowCount();
            if (!chosen && rows > 0 && rows < 15) {
                // Another button is picked while the first one's rows are still being added.
                chosen = true;
                w->selectEntry(QStringLiteral("Cmd_GuardArea"));
                emit w->entryList()->cellClicked(w->entryList()->currentRow(), 0);
            }
            EventYield::reset(); // the fill's next yield lets events in
        });
        tick.start(0);
        EventYield::reset();
        clickEntry(w, QStringLiteral("Cmd_Halt"));
        QTRY_COMPARE(w->windowTitle(), QStringLiteral("Cmd_GuardArea - Command Button Editor"));
        QTRY_VERIFY(!w->isBusy());
        settle();
        QVERIFY(chosen);
        QCOMPARE(values(w)->rowCount(), 15);
        QCOMPARE(valueRows(w)[0], QStringLiteral("Command Type=GUARD"));
    }

    void closingDuringAFillEndsTheWindowAfterIt()
    {
        QPointer<SubEditor> w = FrmWE::open(QStringLiteral("HarrowCannonMk1"));
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] {
            if (w && w->isBusy())
                w->close();
            EventYield::reset();
        });
        tick.start(0);
        EventYield::reset();
        clickEntry(w, QStringLiteral("HarrowCannonMk1"));
        QTRY_VERIFY(!w);
        QCOMPARE(FrmWE::open()->windowTitle(), QStringLiteral("Weapon Editor"));
    }
};

QTEST_MAIN(tst_SubEditor)
#include "tst_subeditor.moc"
