#include "wholedata/frmcompare.h"
#include "wholedata/frmfindinfiles.h"
#include "wholedata/frmmatchups.h"
#include "wholedata/frmrefs.h"
#include "wholedata/tableexport.h"

#include "../common/hooks.h"
#include "../common/testgame.h"
#include "engine/globals.h"
#include "startup/programwindows.h"

#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>

class tst_WholeData : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestGame> m_game;
    UserHooks m_user;

    // The stock files, with Armor.ini changed where given.
    void copyStock(const QByteArray &from = {}, const QByteArray &to = {})
    {
        const QString stock = QStringLiteral(ZARNITH_STOCK_DIR);
        QDirIterator it(stock, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QByteArray bytes = file.readAll();
            if (path.endsWith(QLatin1String("Armor.ini")) && !from.isEmpty())
                bytes.replace(from, to);
            QVERIFY(m_game->write(QDir(stock).relativeFilePath(path), bytes));
        }
    }

private slots:
    void init()
    {
        m_game = std::make_unique<TestGame>();
        GamePath = m_game->path();
        m_user.install();
        m_user.clear();
        FrmCompare::setStockTable(QStringLiteral(ZARNITH_BIN_DIR "/Data.DBF"));
    }

    void referencesListDefinitionsFirstAndOpenTheirLine()
    {
        QVERIFY(m_game->writeIni(QStringLiteral("Object/FactionUnit.ini"),
                                 crlf({"Object Tank", "  WeaponSet", "    Weapon = PRIMARY gun", "  End", "End"})));
        QVERIFY(m_game->writeIni(QStringLiteral("Weapon.ini"), crlf({"Weapon Cannon", "End", "Weapon Gun", "End"})));
        FrmRefs *refs = FrmRefs::open(QStringLiteral("GUN"));
        QStringList rows;
        for (int i = 0; i < refs->list()->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < 5; ++c)
                cells << refs->list()->topLevelItem(i)->text(c);
            rows << cells.join(QLatin1Char('|'));
        }
        QCOMPARE(rows, (QStringList{"defined|Weapon|Gun|Weapon.ini|3", "used|Object|Tank|Object\\FactionUnit.ini|3"}));
        QSignalSpy opened(refs, &FrmRefs::openRequested);
        emit refs->list()->itemActivated(refs->list()->topLevelItem(1), 0);
        QCOMPARE(opened.value(0), (QVariantList{1, QStringLiteral("FactionUnit.ini"), 3}));
        delete refs;
    }

    void closingWhileTheIndexIsBuiltStopsIt()
    {
        QByteArray big;
        for (int i = 0; i < 200000; ++i)
            big += "Weapon W" + QByteArray::number(i) + "\r\nEnd\r\n";
        QVERIFY(m_game->writeIni(QStringLiteral("Weapon.ini"), big));
        QPointer<FrmRefs> refs = new FrmRefs;
        refs->show();
        QTimer::singleShot(0, refs, [&] { refs->close(); });
        refs->lookUp(QStringLiteral("W5"));
        QTRY_VERIFY(!refs);
    }

    void findInFilesListsLinesAndOpensThem()
    {
        QVERIFY(m_game->writeIni(QStringLiteral("Object/FactionUnit.ini"),
                                 crlf({"Object Tank", "  WeaponSet", "    Weapon = PRIMARY gun", "  End", "End"})));
        QVERIFY(m_game->writeIni(QStringLiteral("Weapon.ini"), crlf({"Weapon Cannon", "End", "Weapon Gun", "End"})));
        FrmFindInFiles window;
        QLabel *summary = window.findChild<QLabel *>(QStringLiteral("LblSummary"));
        window.search(QStringLiteral("GUN"), false);
        QStringList rows;
        for (int i = 0; i < window.list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = window.list()->topLevelItem(i);
            rows << item->text(0) + u'|' + item->text(1) + u'|' + item->text(2);
        }
        QCOMPARE(rows, (QStringList{"Object\\FactionUnit.ini|3|    Weapon = PRIMARY gun", "Weapon.ini|3|Weapon Gun"}));
        QSignalSpy opened(&window, &FrmFindInFiles::openRequested);
        emit window.list()->itemActivated(window.list()->topLevelItem(0), 0);
        QCOMPARE(opened.value(0), (QVariantList{1, QStringLiteral("FactionUnit.ini"), 3}));

        window.search(QStringLiteral("gun$|^End"), true);
        QCOMPARE(window.list()->topLevelItemCount(), 5);
        window.search(QStringLiteral("[gun"), true);
        QCOMPARE(window.list()->topLevelItemCount(), 0);
        QVERIFY2(summary->text().startsWith(QLatin1String("[gun is no regular expression")), qPrintable(summary->text()));
        window.search(QStringLiteral("Laser"), false);
        QCOMPARE(summary->text(), QStringLiteral("No line of the data files contains Laser."));
    }

    void closingWhileSearchingStopsTheSearch()
    {
        QByteArray big;
        for (int i = 0; i < 200000; ++i)
            big += "Weapon W" + QByteArray::number(i) + "\r\nEnd\r\n";
        QVERIFY(m_game->writeIni(QStringLiteral("Weapon.ini"), big));
        QPointer<FrmFindInFiles> window = new FrmFindInFiles;
        window->show();
        QTimer::singleShot(0, window, [&] { window->close(); });
        window->search(QStringLiteral("W199999"), false);
        QTRY_VERIFY(!window);
    }

    void stockComparisonShowsTheChangedBlockSideBySide()
    {
        copyStock("Armor LightHullPlate\r\n  Armor = SMALL_ARMS        50%",
                  "Armor LightHullPlate\r\n  Armor = SMALL_ARMS        55%\r\n  Armor = NEW 1%");
        QVERIFY(QFile::remove(m_game->path() + QStringLiteral("/Data/INI/CommandSet.ini")));
        FrmCompare *compare = FrmCompare::open();
        QTreeWidget *changes = compare->changes();
        QCOMPARE(changes->topLevelItemCount(), 2);
        QTreeWidgetItem *armor = changes->topLevelItem(0);
        QCOMPARE(armor->text(0) + QLatin1Char('|') + armor->text(1),
                 QStringLiteral("Armor.ini|0 added, 0 removed, 1 changed"));
        QCOMPARE(changes->topLevelItem(1)->text(1), QStringLiteral("missing"));
        QCOMPARE(armor->child(0)->text(0), QStringLiteral("Armor LightHullPlate"));

        changes->setCurrentItem(armor->child(0));
        auto marked = [](QPlainTextEdit *box) {
            QStringList lines;
            for (const QTextEdit::ExtraSelection &s : box->extraSelections())
                lines << s.cursor.block().text();
            return lines;
        };
        QCOMPARE(marked(compare->stockText()), QStringList{"  Armor = SMALL_ARMS        50%"});
        QCOMPARE(marked(compare->gameText()), (QStringList{"  Armor = SMALL_ARMS        55%", "  Armor = NEW 1%"}));
        QVERIFY(compare->gameText()->toPlainText().startsWith(QLatin1String("Armor LightHullPlate\n")));
        QSignalSpy opened(compare, &FrmCompare::openRequested);
        emit changes->itemActivated(armor->child(0), 0);
        QCOMPARE(opened.value(0), (QVariantList{0, QStringLiteral("Armor.ini"), 24}));
        delete compare;
    }

    void matchupsListEveryTargetAndFollowTheChosenObject()
    {
        QVERIFY(m_game->writeIni(QStringLiteral("Object/FactionUnit.ini"),
                                 crlf({"Object Tank", "  WeaponSet", "    Weapon = PRIMARY Cannon", "  End",
                                       "  ArmorSet", "    Conditions = None", "    Armor = Plate", "  End",
                                       "  MaxHealth = 300", "End", "Object Crate", "  MaxHealth = 90", "End"})));
        QVERIFY(m_game->writeIni(QStringLiteral("Weapon.ini"),
                                 crlf({"Weapon Cannon", "  PrimaryDamage = 60", "  DamageType = AP",
                                       "  ReloadDelay = 1000", "End"})));
        QVERIFY(m_game->writeIni(QStringLiteral("Armor.ini"), crlf({"Armor Plate", "  Armor = AP 50%", "End"})));
        const auto rows = [](QTreeWidget *list, std::initializer_list<int> columns) {
            QStringList out;
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                if (list->topLevelItem(i)->isHidden())
                    continue;
                QStringList cells;
                for (int c : columns)
                    cells << list->topLevelItem(i)->text(c);
                out << cells.join(u'|');
            }
            return out;
        };
        // A closed window is not followed into.
        ProgramWindows::showWindow(QStringLiteral("FrmMatchups"), QStringLiteral("Tank"), false);
        QVERIFY(!FrmMatchups::existing());

        QPointer<FrmMatchups> window = FrmMatchups::open(QStringLiteral("Tank"));
        QCOMPARE(rows(window->attackerList(), {0, 1, 3, 5, 6}), (QStringList{"Tank|Plate|50|10|9.0", "Crate||100|2|1.0"}));
        QCOMPARE(rows(window->targetList(), {0, 1, 6}), QStringList{"Tank|Cannon|10"});
        window->findChild<QLineEdit *>(QStringLiteral("TxtFilter"))->setText(QStringLiteral("CRA"));
        QCOMPARE(rows(window->attackerList(), {0}), QStringList{"Crate"});
        window->findChild<QLineEdit *>(QStringLiteral("TxtFilter"))->clear();

        // The main window's choice follows into the open window; the crate is unarmed.
        ProgramWindows::showWindow(QStringLiteral("FrmMatchups"), QStringLiteral("Crate"), false);
        QCOMPARE(window->chosen(), QStringLiteral("Crate"));
        QCOMPARE(window->attackerList()->topLevelItemCount(), 0);
        QCOMPARE(rows(window->targetList(), {0, 6}), QStringList{"Tank|2"});

        // Export writes the matrix of every object the filter shows.
        TableExport::setSaveFileHook([&](const QString &) { return m_game->path() + QStringLiteral("/m.csv"); });
        QVERIFY(window->exportMatrix());
        TableExport::setSaveFileHook({});
        QCOMPARE(m_game->read(QStringLiteral("m.csv")), QByteArray("attacker,Tank,Crate\r\nTank,10,2\r\nCrate,,\r\n"));
        delete window;
    }

    void closingMatchupsWhileTheyAreWorkedOutStopsThem()
    {
        QByteArray big;
        for (int i = 0; i < 100000; ++i)
            big += "Object O" + QByteArray::number(i) + "\r\n  MaxHealth = 5\r\nEnd\r\n";
        QVERIFY(m_game->writeIni(QStringLiteral("Object/FactionUnit.ini"), big));
        QPointer<FrmMatchups> window = new FrmMatchups;
        window->show();
        QTimer::singleShot(0, window, [&] { window->close(); });
        window->choose(QStringLiteral("O5"));
        QTRY_VERIFY(!window);
    }

    void exportWritesTheKindAsCsv()
    {
        copyStock();
        const QString path = m_game->path() + QStringLiteral("/armours.csv");
        TableExport::setSaveFileHook([&](const QString &) { return path; });
        QVERIFY(TableExport::exportKind(nullptr, QStringLiteral("armours")));
        const QList<QByteArray> lines = m_game->read(QStringLiteral("armours.csv")).split('\n');
        QVERIFY2(lines.value(0).startsWith("name,file,line,Armor"), lines.value(0).constData());
        QVERIFY(lines.value(1).startsWith("TankPlate,Armor.ini,10,"));
        // Cancel writes nothing; a folder that is not there is said.
        TableExport::setSaveFileHook([](const QString &) { return QString(); });
        QVERIFY(!TableExport::exportKind(nullptr, QStringLiteral("armours")));
        TableExport::setSaveFileHook([&](const QString &) { return m_game->path() + QStringLiteral("/no/such/a.csv"); });
        QVERIFY(!TableExport::exportKind(nullptr, QStringLiteral("armours")));
        QCOMPARE(m_user.messages.size(), 1);
        TableExport::setSaveFileHook({});
    }
};

QTEST_MAIN(tst_WholeData)
#include "tst_wholedata.moc"
