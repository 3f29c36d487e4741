#include "manualedit/frmbackups.h"

#include "../common/editorsandbox.h"
#include "manualedit/textdiffview.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <Qsci/qsciscintilla.h>

class tst_FrmBackups : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<EditorSandbox> m_box;

    static FrmManEdit *editor() { return EditorSandbox::editor(); }
    static QByteArray weapons(const char *a, const char *b)
    {
        return "Weapon A\r\n  Damage = " + QByteArray(a) + "\r\nEnd\r\nWeapon B\r\n  Damage = " + QByteArray(b) + "\r\nEnd\r\n";
    }
    bool saveAs(const QByteArray &bytes) { return editor()->replaceText(bytes) && editor()->Save(); }
    static QStringList column(QTreeWidget *list, int c)
    {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(c);
        return texts;
    }

private slots:
    void init()
    {
        m_box = std::make_unique<EditorSandbox>(weapons("1", "1"));
        QVERIFY(editor()->OpenFile(0, QStringLiteral("Weapon.ini")));
        // Two saves keep the two versions they replaced.
        QVERIFY(saveAs(weapons("2", "1")));
        QVERIFY(saveAs(weapons("2", "2")));
    }

    void cleanup() { m_box.reset(); }

    void listsEachBackupWithItsChangedBlocks()
    {
        editor()->findChild<QAction *>(QStringLiteral("MnuBackups"))->trigger();
        auto *window = editor()->findChild<FrmBackups *>();
        QVERIFY(window && window->isVisible());
        QTreeWidget *list = window->list();
        // Newest first: one block differs from the editor's text, then two.
        QCOMPARE(column(list, 2), (QStringList{"1", "2"}));
        QCOMPARE(column(list, 1).first(), QLocale::system().formattedDataSize(weapons("2", "1").size()));
        QVERIFY(!column(list, 0).first().isEmpty());
        QCOMPARE(list->currentItem(), list->topLevelItem(0));
        // The newest backup against the editor: Weapon B's damage.
        QCOMPARE(window->diff()->changedBlocks(), 1);
        QVERIFY(window->diff()->leftText()->toPlainText().contains(QLatin1String("Damage = 1")));
        QVERIFY(window->diff()->rightText()->toPlainText().contains(QLatin1String("Damage = 2")));
    }

    void restorePutsTheBackupIntoTheEditorUnsaved()
    {
        FrmBackups *window = FrmBackups::open(editor());
        window->list()->setCurrentItem(window->list()->topLevelItem(1));
        window->findChild<QPushButton *>(QStringLiteral("BtnRestore"))->click();
        QCOMPARE(editor()->fileBytes(), weapons("1", "1"));
        QVERIFY(editor()->textControl()->isModified());
        QCOMPARE(m_box->weaponOnDisk(), weapons("2", "2"));
        QCOMPARE(window->diff()->changedBlocks(), 0);
        // One undo brings the text back.
        editor()->textControl()->undo();
        QCOMPARE(editor()->fileBytes(), weapons("2", "2"));
        // A text put in whole is counted anew.
        QVERIFY(editor()->replaceText("Weapon A\r\nEnd\r\n"));
        const QString lines = editor()->findChild<QLabel *>(QStringLiteral("SB1_1"))->text();
        QVERIFY2(lines.endsWith(QLatin1String(" of 3")), qPrintable(lines));
    }

    void blockHasNoBackups()
    {
        QVERIFY(editor()->OpenBlock(QStringLiteral("Weapon A")));
        editor()->findChild<QAction *>(QStringLiteral("MnuBackups"))->trigger();
        QVERIFY(!editor()->findChild<FrmBackups *>());
        QCOMPARE(EditorSandbox::note(), QStringLiteral("Only a whole data file has backups"));
    }
};

QTEST_MAIN(tst_FrmBackups)
#include "tst_frmbackups.moc"
