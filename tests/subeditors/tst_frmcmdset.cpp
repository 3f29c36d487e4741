#include "platform/eventyield.h"
#include "subeditors/cmdsetformat.h"
#include "subeditors/frmcmdset.h"

#include "viewertest.h"

#include <QLabel>
#include <QMenu>
#include <QTimer>

using namespace ViewerTest;

class tst_FrmCmdSet : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    TestGame m_game;
    QStringList m_names;

private slots:
    void initTestCase()
    {
        QVERIFY(prepare(m_game, m_settings.path()));
        // A few hundred buttons, as a large mod has.
        QByteArray buttons;
        for (int i = 1; i <= 400; ++i) {
            buttons += "CommandButton Cmd_" + QByteArray::number(i) + "\r\n  Command = STOP\r\nEnd\r\n";
            m_names << QStringLiteral("Cmd_%1").arg(i);
        }
        QVERIFY(m_game.writeIni(QStringLiteral("CommandButton.ini"), buttons));
        QVERIFY(m_game.writeIni(QStringLiteral("CommandSet.ini"),
                                crlf({"CommandSet Partial", "  1 = Cmd_1", "  2 = Cmd_2 ; second", "  11 = Cmd_Unknown",
                                      "  14 = Cmd_14", "End", "CommandSet", "CommandSet Full", "  1 = Cmd_10",
                                      "  2 = Cmd_20", "  3 = Cmd_30", "  4 = Cmd_40", "  5 = Cmd_50", "  6 = Cmd_60",
                                      "  7 = Cmd_70", "  8 = Cmd_80", "  9 = Cmd_90", "  10 = Cmd_100",
                                      "  11 = Cmd_110", "  12 = Cmd_120", "End"})));
    }

    void init()
    {
        if (FrmCmdSet *w = FrmCmdSet::existing())
            w->close();
        settle();
    }

    void slotsOfferEveryButtonTheSameAfterReopening()
    {
        FrmCmdSet *w = FrmCmdSet::open();
        QCOMPARE(entries(w), QStringList({"Full", "Partial"}));
        clickEntry(w, QStringLiteral("Partial"));
        QTRY_COMPARE(w->windowTitle(), QStringLiteral("Partial - Command Set Editor"));
        const QStringList rows = valueRows(w);
        QCOMPARE(rows.size(), 12);
        QCOMPARE(rows.mid(0, 3), QStringList({"1=Cmd_1", "2=Cmd_2", "3="}));
        QCOMPARE(rows[10], QStringLiteral("11=Cmd_Unknown"));
        const QString choices = QStringLiteral("CboBox|") + m_names.join(u',') + u',';
        QCOMPARE(tagOf(w, 10), choices);
        QCOMPARE(tagOf(w, 2), QString());

        w->close();
        settle();
        FrmCmdSet *again = FrmCmdSet::open(QStringLiteral("Partial"));
        QCOMPARE(again->commandButtonNames(), m_names);
        clickEntry(again, QStringLiteral("Partial"));
        QTRY_COMPARE(again->windowTitle(), QStringLiteral("Partial - Command Set Editor"));
        QCOMPARE(valueRows(again), rows);
        QCOMPARE(tagOf(again, 0), choices);
    }

    void fillingTheSlotsLetsEventsIn()
    {
        FrmCmdSet *w = FrmCmdSet::open(QStringLiteral("Full"));
        QList<int> seen;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] {
            seen << values(w)->rowCount();
            EventYield::reset(); // the fill's next yield lets events in
        });
        tick.start(0);
        EventYield::reset();
        clickEntry(w, QStringLiteral("Full"));
        QTRY_COMPARE(w->windowTitle(), QStringLiteral("Full - Command Set Editor"));
        QTRY_VERIFY(!w->isBusy());
        QCOMPARE(values(w)->rowCount(), 12);
        QVERIFY2(std::any_of(seen.begin(), seen.end(), [](int rows) { return rows > 0 && rows < 12; }),
                 "no event ran while the slots were filled");
    }

    void helpMenuShowsTheSlotLayout()
    {
        FrmCmdSet *w = FrmCmdSet::open();
        const QMenu *help = w->findChild<QMenu *>(QStringLiteral("MnuHelpi"));
        QCOMPARE(help->actions()[0]->objectName(), QStringLiteral("MnuHelp"));
        QCOMPARE(help->actions()[1]->objectName(), QStringLiteral("MnuCmdFormat"));
        help->actions()[1]->trigger();
        CmdSetFormat *format = CmdSetFormat::existing();
        QVERIFY(format && format->isVisible());
        QCOMPARE(format->findChild<QLabel *>(QStringLiteral("Picture1"))->pixmap().size(), QSize(358, 40));
        format->close();
    }
};

QTEST_MAIN(tst_FrmCmdSet)
#include "tst_frmcmdset.moc"
