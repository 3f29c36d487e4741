#include "manualedit/diskguard.h"

#include "../common/editorsandbox.h"
#include "manualedit/textdiffview.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>
#include <Qsci/qsciscintilla.h>

// The manual editor against a file that another program changes or deletes
// while it is open.
class tst_DiskGuard : public QObject
{
    Q_OBJECT

private:
    const QByteArray m_original = crlf({"Weapon A", "  Damage = 5", "End", "Weapon B", "  Damage = 6", "End"});
    std::unique_ptr<EditorSandbox> m_box;

    static FrmManEdit *editor() { return EditorSandbox::editor(); }
    static QsciScintilla *text() { return EditorSandbox::text(); }
    QString weaponPath() const { return m_box->weaponPath(); }
    QFrame *bar() { return editor()->findChild<QFrame *>(QStringLiteral("BarDisk")); }
    int caretLine()
    {
        int line = 0, index = 0;
        text()->getCursorPosition(&line, &index);
        return line;
    }
    // Another program writes the file; its time moves on, whatever the clock's resolution.
    void writeElsewhere(const QByteArray &bytes)
    {
        QVERIFY(m_box->game.write(m_box->weapon, bytes));
        QFile file(weaponPath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    }
    QWidget *comparison()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("FrmDiskCompare") && w->isVisible())
                return w;
        }
        return nullptr;
    }

private slots:
    void init()
    {
        m_box = std::make_unique<EditorSandbox>(m_original);
        QVERIFY(editor()->OpenFile(0, QStringLiteral("Weapon.ini")));
    }

    void cleanup()
    {
        if (QWidget *w = comparison())
            delete w;
        m_box.reset();
    }

    // Rows: what the other program does, whether the editor has unsaved
    // edits, and what the editor then shows.
    void changeOnDiskIsFollowedOrReported_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<bool>("reloaded");
        QTest::addColumn<QString>("barSays"); // empty: no bar
        QTest::newRow("rewritten, no edits: reloaded") << "rewrite" << false << true << QString();
        QTest::newRow("rewritten, edits: bar") << "rewrite" << true << false << "changed on disk";
        QTest::newRow("touched with the same bytes: nothing") << "touch" << false << false << QString();
        QTest::newRow("touched, edits: nothing") << "touch" << true << false << QString();
        QTest::newRow("deleted, no edits: bar") << "delete" << false << false << "gone";
        QTest::newRow("deleted, edits: bar") << "delete" << true << false << "gone";
    }

    void changeOnDiskIsFollowedOrReported()
    {
        QFETCH(QString, change);
        QFETCH(bool, edited);
        QFETCH(bool, reloaded);
        QFETCH(QString, barSays);
        QVERIFY(editor()->goToLine(5));
        if (edited)
            text()->insertAt(QStringLiteral("; mine\r\n"), 0, 0);
        const QString before = text()->text();
        const QByteArray theirs = crlf({"Weapon A", "  Damage = 9", "End", "Weapon B", "  Damage = 6", "End"});
        if (change == QLatin1String("rewrite"))
            writeElsewhere(theirs);
        else if (change == QLatin1String("touch"))
            writeElsewhere(m_original);
        else
            QVERIFY(QFile::remove(weaponPath()));

        // The watcher tells first; a check on coming back to the window catches what it misses.
        editor()->diskGuard()->check();
        QCOMPARE(text()->text(), reloaded ? QString::fromLatin1(theirs) : before);
        QCOMPARE(text()->isModified(), edited);
        QCOMPARE(bar()->isVisibleTo(editor()), !barSays.isEmpty());
        if (!barSays.isEmpty())
            QVERIFY2(bar()->findChild<QLabel *>()->text().contains(barSays), qPrintable(barSays));
        QCOMPARE(EditorSandbox::note().startsWith(QLatin1String("Reloaded")), reloaded);
        if (reloaded) {
            QCOMPARE(caretLine(), 4);
            // Reloading is no edit to undo.
            QVERIFY(!text()->isUndoAvailable());
        }
        QVERIFY(m_box->answers.messages.isEmpty());
    }

    void watcherReportsAChangeWithoutBeingAsked()
    {
        writeElsewhere("Weapon Z\r\nEnd\r\n");
        QTRY_COMPARE(text()->text(), QStringLiteral("Weapon Z\r\nEnd\r\n"));
    }

    // The other program writes just before the save, before any watcher has told.
    void saveOverAChangedFileAsksFirst_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("compared");
        QTest::newRow("Overwrite") << QMessageBox::Yes << true << false;
        QTest::newRow("Compare") << QMessageBox::No << false << true;
        QTest::newRow("Cancel") << QMessageBox::Cancel << false << false;
    }

    void saveOverAChangedFileAsksFirst()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, written);
        QFETCH(bool, compared);
        m_box->answers.answer = answer;
        text()->insertAt(QStringLiteral("; mine\r\n"), 0, 0);
        const QByteArray mine = editor()->fileBytes();
        const QByteArray theirs = crlf({"Weapon A", "  Damage = 9", "End", "Weapon B", "  Damage = 6", "End"});
        writeElsewhere(theirs);

        QCOMPARE(editor()->Save(), written);
        QCOMPARE(m_box->answers.messages.size(), 1);
        const Messages::Message &asked = m_box->answers.messages.first();
        QCOMPARE(asked.text, QStringLiteral("The file has changed on disk since it was opened. Overwrite it?"));
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(asked.captions.value(0).second, QStringLiteral("&Overwrite"));
        QCOMPARE(asked.captions.value(1).second, QStringLiteral("Co&mpare"));
        QCOMPARE(asked.defaultButton, QMessageBox::Cancel);
        QCOMPARE(m_box->weaponOnDisk(), written ? mine : theirs);
        QCOMPARE(text()->isModified(), !written);
        // Nothing written, nothing backed up either.
        QCOMPARE(Backups::list(Backups::seriesFolder(GamePath, QStringLiteral("Weapon.ini"))).size(), written ? 1 : 0);

        QWidget *window = comparison();
        QCOMPARE(window != nullptr, compared);
        if (window) {
            auto *view = window->findChild<TextDiffView *>();
            QCOMPARE(view->changedBlocks(), 2); // the comment before the blocks, and Weapon A
            view->blocks()->setCurrentItem(view->blocks()->topLevelItem(1));
            QVERIFY2(view->leftText()->toPlainText().contains(QLatin1String("Damage = 9")),
                     qPrintable(view->leftText()->toPlainText()));
            QVERIFY(view->rightText()->toPlainText().contains(QLatin1String("Damage = 5")));
        }
    }

    void saveOfADeletedFileAsksBeforeWritingItAnew_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("Save") << QMessageBox::Save;
        QTest::newRow("Cancel") << QMessageBox::Cancel;
    }

    void saveOfADeletedFileAsksBeforeWritingItAnew()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        m_box->answers.answer = answer;
        QVERIFY(QFile::remove(weaponPath()));
        QCOMPARE(editor()->Save(), answer == QMessageBox::Save);
        QCOMPARE(m_box->answers.messages.size(), 1);
        QVERIFY2(m_box->answers.lastText().contains(QLatin1String("gone")), qPrintable(m_box->answers.lastText()));
        QCOMPARE(QFile::exists(weaponPath()), answer == QMessageBox::Save);
        if (answer == QMessageBox::Save)
            QCOMPARE(m_box->weaponOnDisk(), m_original);
    }

    void ownSaveIsNoChangeOnDisk()
    {
        text()->insertAt(QStringLiteral("; mine\r\n"), 0, 0);
        QVERIFY(editor()->Save());
        editor()->diskGuard()->check();
        QVERIFY(!bar()->isVisibleTo(editor()));
        QVERIFY(EditorSandbox::note().isEmpty());
        QVERIFY(m_box->answers.messages.isEmpty());
    }
};

QTEST_MAIN(tst_DiskGuard)
#include "tst_diskguard.moc"
