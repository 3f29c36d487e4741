#include "mainwindow/frmedit.h"
#include "subeditors/frmamrpar.h"
#include "subeditors/frmarmour.h"

#include "viewertest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QPointer>

using namespace ViewerTest;

class tst_FrmArmour : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    TestGame m_game;
    FrmEdit *m_main = nullptr;

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
        QVERIFY(prepare(m_game, m_settings.path()));
        QVERIFY(m_game.writeIni(QStringLiteral("Armor.ini"),
                                crlf({"; Armor InComment", "Armor Plate", "  Armor = CRUSH      25%   ; less",
                                      "  Armor = FLAME 10", "", "  ; only a note", "End", "Armor  Spaced",
                                      "  Armor = LASER 5%", "End", "Armor Zeta", "End", "  Armor Indented"})));
        m_main = new FrmEdit;
    }

    void cleanupTestCase()
    {
        m_main->AskOnClose = false;
        delete m_main;
    }

    void init()
    {
        if (FrmArmour *w = FrmArmour::existing())
            w->close();
        m_main->findChild<QComboBox *>(QStringLiteral("CboArmour"))->clear();
        settle();
    }

    void everyHeaderIsListedAndItsLinesShown()
    {
        FrmArmour *w = FrmArmour::open();
        QCOMPARE(entries(w), QStringList({"", "Plate", "Zeta"}));
        QCOMPARE(currentEntry(w), QStringLiteral("Plate"));
        clickEntry(w, QStringLiteral("Plate"));
        QTRY_COMPARE(w->windowTitle(), QStringLiteral("Plate - Armour Editor"));
        QCOMPARE(valueRows(w), QStringList({"CRUSH=25%", "FLAME=%", ";=%"}));
        QCOMPARE(tagOf(w, 0), QStringLiteral("TxtBox|"));

        // The empty name is the block whose name follows two spaces.
        clickEntry(w, QString());
        QTRY_COMPARE(valueRows(w), QStringList({"LASER=5%"}));
    }

    void armourChosenOnTheMainWindowLeavesTheSelectionToIt()
    {
        auto *armour = m_main->findChild<QComboBox *>(QStringLiteral("CboArmour"));
        armour->addItems({"Zeta", "Plate"});
        FrmArmour *w = FrmArmour::open(QString(), false);
        QCOMPARE(currentEntry(w), QString());
        QCOMPARE(FrmArmour::open(QStringLiteral("Zeta"), false), w);
        QCOMPARE(currentEntry(w), QStringLiteral("Zeta"));
    }

    void insertParameterAppendsLabelOnlyRows()
    {
        FrmArmour *w = FrmArmour::open();
        clickEntry(w, QStringLiteral("Plate"));
        QTRY_COMPARE(values(w)->rowCount(), 3);
        w->findChild<QAction *>(QStringLiteral("Test"))->trigger();
        QPointer<FrmAmrPar> par = FrmAmrPar::existing();
        QVERIFY(par && par->isVisible());
        const QAbstractItemModel *types = par->list().listView()->model();
        QCOMPARE(types->rowCount(), 30);
        QCOMPARE(types->index(0, 0).data().toString(), QStringLiteral("ARMOR_PIERCING"));

        press("CmdAdd"); // nothing chosen yet
        QCOMPARE(values(w)->rowCount(), 3);
        press("CmdAdd", QStringLiteral("HEALING"));
        press("CmdAdd");
        press("CmdOK");
        settle();
        QVERIFY(!par);
        QCOMPARE(valueRows(w).mid(3), QStringList({"HEALING=", "HEALING=", "HEALING="}));
        QCOMPARE(tagOf(w, 3), QString());

        // Cancel adds nothing; the next choice of an armour drops the added rows.
        FrmAmrPar::open();
        press("CmdCancel", QStringLiteral("WATER"));
        QCOMPARE(values(w)->rowCount(), 6);
        clickEntry(w, QStringLiteral("Plate"));
        QTRY_COMPARE(values(w)->rowCount(), 3);
    }

    void insertParameterWithoutArmourRowsOrWindow()
    {
        FrmArmour *w = FrmArmour::open();
        FrmAmrPar::open();
        press("CmdOK", QStringLiteral("FLAME"));
        QCOMPARE(valueRows(w), QStringList({"FLAME="}));

        w->close();
        settle();
        FrmAmrPar::open();
        press("CmdAdd", QStringLiteral("WATER"));
        QVERIFY(!FrmArmour::existing());
        FrmAmrPar::existing()->close();
    }
};

QTEST_MAIN(tst_FrmArmour)
#include "tst_frmarmour.moc"
