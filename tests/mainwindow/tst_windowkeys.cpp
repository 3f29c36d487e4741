#include "mainwindow/frmedit.h"

#include "engine/globals.h"
#include "engine/summaryrows.h"
#include "manualedit/frmmanedit.h"
#include "manualedit/settingsstore.h"
#include "platform/controlhost.h"
#include "platform/helpviewer.h"
#include "startup/catalogue.h"
#include "startup/programwindows.h"

#include "../common/hooks.h"
#include "../common/testgame.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeView>

class tst_WindowKeys : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    TestGame m_game;
    UserHooks m_user;

    static QWidget *openWindow(const QString &name)
    {
        if (name == QLatin1String("HelpViewer"))
            HelpViewer::showContents();
        else
            ProgramWindows::showWindow(name == QLatin1String("frmAbout") ? QStringLiteral("About") : name, {}, true);
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == name && w->isVisible())
                return w;
        }
        return nullptr;
    }

    static FrmEdit *openMainWindow()
    {
        auto *main = new FrmEdit;
        Catalogue catalogue;
        main->fillCatalogue(catalogue.BuildCatalogue(GamePath));
        main->prepareAfterStartup();
        return main;
    }

private slots:
    void initTestCase()
    {
        SettingsStore::redirectTo(m_settings.path());
        ControlHost::setPluginPath(QStringLiteral(ZARNITH_PLUGIN));
        m_user.install();
        // A unit file with a block that never ends, and no weapon file.
        QVERIFY(m_game.writeIni(QStringLiteral("Object/FactionUnit.ini"), crlf({"Object Tank", "  MaxHealth = 1"})));
        GamePath = m_game.path();
    }

    void keysCloseOrPressTheDefault_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("closes");
        const QKeySequence escape(Qt::Key_Escape), enter(Qt::Key_Return), ctrlW(Qt::CTRL | Qt::Key_W);
        QTest::newRow("about, Escape") << "frmAbout" << "" << escape << true;
        QTest::newRow("about, Enter presses OK") << "frmAbout" << "" << enter << true;
        QTest::newRow("options, Escape") << "FrmOpt" << "" << escape << true;
        QTest::newRow("options, Enter presses Ok") << "FrmOpt" << "CboTab" << enter << true;
        QTest::newRow("check data, Escape") << "FrmCheckData" << "LstProblems" << escape << true;
        QTest::newRow("check data, Enter on Check Again") << "FrmCheckData" << "BtnCheckAgain" << enter << false;
        QTest::newRow("check data, Enter in the list opens") << "FrmCheckData" << "LstProblems" << enter << false;
        QTest::newRow("check data, Enter elsewhere presses Close") << "FrmCheckData" << "LblSummary" << enter << true;
        QTest::newRow("matchups, Escape") << "FrmMatchups" << "TxtFilter" << escape << true;
        QTest::newRow("help, Escape") << "HelpViewer" << "" << escape << true;
        QTest::newRow("help, Ctrl+W") << "HelpViewer" << "" << ctrlW << true;
        QTest::newRow("help, a letter") << "HelpViewer" << "" << QKeySequence(Qt::Key_W) << false;
    }
    void keysCloseOrPressTheDefault()
    {
        QFETCH(QString, window);
        QFETCH(QString, focus);
        QFETCH(QKeySequence, keys);
        QFETCH(bool, closes);
        QPointer<QWidget> w = openWindow(window);
        QVERIFY2(w, qPrintable(window));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        if (!focus.isEmpty()) {
            auto *target = w->findChild<QWidget *>(focus);
            QVERIFY(target);
            target->setFocusPolicy(target->focusPolicy() == Qt::NoFocus ? Qt::StrongFocus : target->focusPolicy());
            target->setFocus();
        }
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : w.data();
        QTest::keySequence(target, keys);
        if (closes) {
            QTRY_VERIFY(!w || !w->isVisible());
            return;
        }
        QTest::qWait(20);
        QVERIFY(w && w->isVisible());
        w->close();
    }

    // The splash's form of the project version, in a box sized to its text.
    void aboutShowsTheVersionAsTheSplashDoes()
    {
        QWidget *about = openWindow(QStringLiteral("frmAbout"));
        QVERIFY(about);
        const QStringList version = QStringLiteral(ZARNITH_VERSION).split(QLatin1Char('.'));
        QCOMPARE(about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
                 QStringLiteral("Version %1.%2").arg(version[0], version[1]));
        about->resize(900, 700);
        QCOMPARE(about->size(), about->sizeHint());
        about->close();
    }

    void mainWindowFitsASmallScreen()
    {
        std::unique_ptr<FrmEdit> main(openMainWindow());
        QVERIFY(main->summaryList().isValid());
        const QSize least = main->minimumSizeHint().expandedTo(main->minimumSize());
        QVERIFY2(least.width() <= 1000 && least.height() <= 560,
                 qPrintable(QStringLiteral("%1x%2").arg(least.width()).arg(least.height())));
        // Opened within the 1024x600 test screen.
        const QRect screen = main->screen()->availableGeometry();
        QCOMPARE(screen.size(), QSize(1024, 600));
        QVERIFY(main->width() <= screen.width() && main->height() < screen.height());
        main->resize(1000, 560);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        // Every tab's caption shows whole.
        QTabBar *tabs = main->findChild<QTabWidget *>(QStringLiteral("F_Tab"))->tabBar();
        QVERIFY(tabs->tabRect(tabs->count() - 1).right() <= tabs->width());
        main->AskOnClose = false;
    }

    // A wide font makes the labels longer than the column's usual width.
    void summaryLabelColumnHoldsTheLongestLabel()
    {
        const QFont usual = QApplication::font();
        QFont wide = usual;
        wide.setStretch(QFont::UltraExpanded);
        QApplication::setFont(wide);
        std::unique_ptr<FrmEdit> main(openMainWindow());
        QApplication::setFont(usual);
        QAbstractItemView *summary = main->summaryList().listView();
        const auto *table = qobject_cast<QTableView *>(summary);
        QVERIFY(table);
        QFont bold = summary->font();
        bold.setBold(true);
        for (const SummaryRow &row : Summary::build(SummaryInput())) {
            if (row.label != Summary::separator())
                QVERIFY2(QFontMetrics(bold).horizontalAdvance(row.label) < table->columnWidth(0), qPrintable(row.label));
        }
        main->AskOnClose = false;
    }

    void tabWalksTreeFilterTabsFields()
    {
        std::unique_ptr<FrmEdit> main(openMainWindow());
        main->show();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        auto *tabs = main->findChild<QTabWidget *>(QStringLiteral("F_Tab"));
        tabs->setEnabled(true);
        main->tree()->setFocus();
        QStringList walked;
        for (int i = 0; i < 4; ++i) {
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus);
            walked << (focus == tabs->tabBar() ? QStringLiteral("tabs")
                       : tabs->currentWidget()->isAncestorOf(focus) ? QStringLiteral("field")
                                                                    : focus->objectName());
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        QCOMPARE(walked, (QStringList{"TVMenu", "TxtFilter", "tabs", "field"}));
        main->AskOnClose = false;
    }

    void tabWalksTheOtherWindowsInReadingOrder_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("references") << "FrmRefs" << QStringList{"TxtName", "BtnFind", "LstRefs", "TxtName"};
        QTest::newRow("stock comparison")
            << "FrmCompare" << QStringList{"LstChanges", "TxtStock", "TxtGame", "BtnCompareAgain", "LstChanges"};
        QTest::newRow("matchups") << "FrmMatchups"
                                  << QStringList{"TxtFilter", "CboSort", "qt_tabwidget_tabbar", "LstAsAttacker",
                                                 "BtnExport", "BtnClose", "TxtFilter"};
        QTest::newRow("data check") << "FrmCheckData" << QStringList{"LstProblems", "BtnCheckAgain", "BtnClose", "LstProblems"};
        QTest::newRow("options") << "FrmOpt"
                                 << QStringList{"CboTab", "ChkBox", "BtnOK", "BtnCancel", "qt_tabwidget_tabbar", "CboTab"};
        // Tab in the text is a tab character.
        QTest::newRow("manual editor") << "FrmManEdit" << QStringList{"TxtOutlineFilter", "CboOutline", "TxtManEdit"};
    }

    void tabWalksTheOtherWindowsInReadingOrder()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, order);
        QWidget *w;
        if (window == QLatin1String("FrmManEdit")) {
            FrmManEdit::instance()->OpenBlock(QStringLiteral("Weapon A"));
            w = FrmManEdit::existing();
        } else {
            w = openWindow(window);
        }
        QVERIFY(w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->findChild<QWidget *>(order.first())->setFocus();
        QStringList walked;
        for (qsizetype i = 0; i < order.size(); ++i) {
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus);
            // A combo box's line edit or a list's viewport stands for its widget.
            while (focus && !order.contains(focus->objectName()))
                focus = focus->parentWidget();
            walked << (focus ? focus->objectName() : QString());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(walked, order);
        w->close();
    }
};

QTEST_MAIN(tst_WindowKeys)
#include "tst_windowkeys.moc"
