#include "manualedit/frmmanedit.h"

#include "../common/testgame.h"
#include "engine/globals.h"
#include "manualedit/backups.h"
#include "manualedit/fontdialog.h"
#include "manualedit/settingsstore.h"
#include "platform/messages.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <unistd.h>

class tst_FrmManEdit : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    std::unique_ptr<TestGame> m_game;
    QList<Messages::Message> m_messages;
    QList<QMessageBox::StandardButton> m_answers;
    const QString m_weapon = QStringLiteral("Data/INI/Weapon.ini");

    FrmManEdit *editor() { return FrmManEdit::instance(); }
    QPlainTextEdit *text() { return editor()->textControl(); }
    QComboBox *findBox() { return editor()->findChild<QComboBox *>(QStringLiteral("CboFind")); }
    QPushButton *findButton() { return editor()->findChild<QPushButton *>(QStringLiteral("BtnFind")); }
    QString panel(int n) { return editor()->findChild<QLabel *>(QStringLiteral("SB1_%1").arg(n))->text(); }
    void trigger(const char *name) { editor()->findChild<QAction *>(QString::fromLatin1(name))->trigger(); }
    bool openWeapon(const QByteArray &bytes)
    {
        return m_game->write(m_weapon, bytes) && editor()->OpenFile(0, QStringLiteral("Weapon.ini"));
    }
    void moveTo(int from, int to = -1)
    {
        QTextCursor c = text()->textCursor();
        c.setPosition(from);
        c.setPosition(to < 0 ? from : to, QTextCursor::KeepAnchor);
        text()->setTextCursor(c);
    }
    QStringList storedHistory()
    {
        QStringList items;
        for (int i = 0; i < Settings::SearchItemNum.read().toInt(); ++i)
            items << Settings::readSearchItem(i);
        return items;
    }
    void storeHistory(const QStringList &items)
    {
        for (int i = 0; i < items.size(); ++i)
            Settings::writeSearchItem(i, items[i]);
        Settings::SearchItemNum.write(QString::number(items.size()));
    }
    QByteArray backup(int newest)
    {
        const QStringList copies = Backups::list(QStringLiteral("Weapon.ini"));
        QFile f(copies.value(newest));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }
    QList<QTextLayout::FormatRange> colours(int line)
    {
        return text()->document()->findBlockByNumber(line).layout()->formats();
    }
    // Types into the search box, as a user would, so that the next search starts from the top.
    void typeSearch(const QString &what)
    {
        findBox()->lineEdit()->clear();
        QTest::keyClicks(findBox()->lineEdit(), what);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_settings.isValid());
        SettingsStore::redirectTo(m_settings.path());
        Messages::setHook([this](const Messages::Message &m) {
            m_messages << m;
            return m_answers.isEmpty() ? QMessageBox::Ok : m_answers.takeFirst();
        });
    }

    void init()
    {
        m_game = std::make_unique<TestGame>();
        GamePath = m_game->path();
        m_messages.clear();
        m_answers.clear();
        for (const char *section : {"Settings", "Search List", "EditWH"})
            SettingsStore::deleteSection(QString::fromLatin1(Settings::AppName), QString::fromLatin1(section));
        // Never the user's own backups; every test starts without any.
        const QString backups = m_settings.filePath(QStringLiteral("backups"));
        QDir(backups).removeRecursively();
        Backups::redirectTo(backups);
    }

    void cleanup()
    {
        FontDialog::setHook({});
        FrmManEdit::setGoToLineHook({});
        delete FrmManEdit::existing();
    }

    void everyNamedPartCarriesItsName()
    {
        for (const char *name : {"TxtManEdit", "CboFind", "BtnFind", "SB1", "SB1_1", "SB1_5", "TB1", "Timer1"})
            QVERIFY2(editor()->findChild<QObject *>(QString::fromLatin1(name)), name);
        for (const char *name : {"MnuSave", "MnuExit", "MnuUndo", "MnuRedo", "MnuCut", "MnuCopy", "MnuPaste", "MnuDelete",
                                 "MnuFind", "MnuFindNext", "MnuReplace", "MnuGoToLine", "MnuSelectAll", "MnuFonts",
                                 "Save", "Redo"})
            QVERIFY2(editor()->findChild<QAction *>(QString::fromLatin1(name)), name);
        QCOMPARE(editor()->objectName(), QStringLiteral("FrmManEdit"));
    }

    void unchangedFileSavesByteIdentical_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("lineCount");
        QTest::newRow("CR LF") << crlf({"Weapon A", "  Damage = 5", "End"}) << 4;
        QTest::newRow("no final line end") << QByteArray("Weapon A\r\nEnd") << 2;
        QTest::newRow("lone LF inside lines") << QByteArray("Weapon A\r\n  Text = a\nb\r\nEnd\r\n") << 5;
        QTest::newRow("lone CR") << QByteArray("Weapon A\rEnd\r") << 3;
        QTest::newRow("mixed") << QByteArray("a\r\nb\rc\nd\r\n\r\re\n\r\nf\n\rg") << 11;
        QByteArray high;
        for (int b = 0x80; b <= 0xFF; ++b)
            high += char(b);
        QTest::newRow("bytes 0x80-0xFF") << (high + "\r\n" + high) << 2;
        QTest::newRow("control bytes") << QByteArray("a\0b\tc\x1A\x7F\x01", 8) << 1;
        QTest::newRow("empty") << QByteArray() << 1;
        QTest::newRow("only line ends") << QByteArray("\r\n\r\n") << 3;
    }

    void unchangedFileSavesByteIdentical()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, lineCount);
        QVERIFY(openWeapon(bytes));
        QCOMPARE(editor()->LineCount(), lineCount);
        QVERIFY(editor()->Save());
        QCOMPARE(m_game->read(m_weapon), bytes);
        QVERIFY(m_messages.isEmpty());
    }

    void fileShowsItsExactText()
    {
        QVERIFY(openWeapon(QByteArray("Caf\xE9\xA0\x80\r\n\tx\ny")));
        QCOMPARE(text()->document()->toRawText(), QStringLiteral("Caf\u00E9\u00A0\u20AC\u2029\tx\u2029y"));
        QCOMPARE(editor()->target().FilePath, GamePath + QStringLiteral("\\Data\\INI\\Weapon.ini"));
    }

    void twentyMegabyteFileRoundTrips()
    {
        QByteArray bytes;
        int lines = 0;
        while (bytes.size() < 20 * 1024 * 1024) {
            bytes += "Weapon W" + QByteArray::number(lines) + " ; caf\xE9 \x80\r\n  Damage = 5.0\r\nEnd\r\n";
            lines += 3;
        }
        QVERIFY(openWeapon(bytes));
        QCOMPARE(editor()->LineCount(), lines + 1);
        QVERIFY(editor()->Save());
        QVERIFY(m_game->read(m_weapon) == bytes);
    }

    void newLinesTakeTheFilesOwnLineEnd_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("CR LF, no final end") << QByteArray("Weapon A\r\nEnd") << Qt::KeyboardModifiers()
                                             << QByteArray("Weapon A\r\nEnd\r\nx\xE9");
        QTest::newRow("LF") << QByteArray("a\nb\n") << Qt::KeyboardModifiers() << QByteArray("a\nb\n\nx\xE9");
        QTest::newRow("mostly lone CR") << QByteArray("a\rb\r\nc\r") << Qt::KeyboardModifiers()
                                        << QByteArray("a\rb\r\nc\r\rx\xE9");
        QTest::newRow("Shift+Enter") << QByteArray("a\r\nb") << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                     << QByteArray("a\r\nb\r\nx\xE9");
    }

    void newLinesTakeTheFilesOwnLineEnd()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QByteArray, saved);
        QVERIFY(openWeapon(bytes));
        text()->moveCursor(QTextCursor::End);
        QTest::keyClick(text(), Qt::Key_Return, modifiers);
        QTest::keyClicks(text(), QStringLiteral("x"));
        text()->insertPlainText(QStringLiteral("\u00E9"));
        QVERIFY(editor()->Save());
        QCOMPARE(m_game->read(m_weapon), saved);
        QVERIFY(!text()->document()->isModified());
    }

    void editsKeepTheOtherLineEnds()
    {
        const QByteArray original("a\r\nbb\ncc\rdd");
        QVERIFY(openWeapon(original));
        moveTo(3); // between the b's
        QTest::keyClick(text(), Qt::Key_Return);
        moveTo(6); // start of "cc"
        QTest::keyClick(text(), Qt::Key_Backspace);
        QCOMPARE(editor()->fileBytes(), QByteArray("a\r\nb\r\nbcc\rdd"));

        text()->undo();
        text()->undo();
        QVERIFY(!text()->document()->isModified());
        QCOMPARE(editor()->fileBytes(), original);
    }

    void charactersOutsideTheCodePageAskBeforeSaving()
    {
        QVERIFY(openWeapon(QByteArray("x")));
        text()->insertPlainText(QStringLiteral("\u2713"));
        m_answers << QMessageBox::No << QMessageBox::Yes;
        QVERIFY(!editor()->Save());
        QCOMPARE(m_game->read(m_weapon), QByteArray("x"));
        QVERIFY(editor()->Save());
        QCOMPARE(m_game->read(m_weapon), QByteArray("?x"));
    }

    void blockIsNeverSaved()
    {
        const QByteArray file = crlf({"Weapon A", "End"});
        QVERIFY(openWeapon(file));
        QVERIFY(editor()->OpenBlock(QStringLiteral("Weapon B\r\nEnd\r\n")));
        text()->insertPlainText(QStringLiteral("edited "));
        trigger("Save");
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text, QStringLiteral("Sorry, Torvane Zarnith can only save 'Files' not 'Objects'"));
        QCOMPARE(m_game->read(m_weapon), file);
        QCOMPARE(panel(2), QStringLiteral("Idle"));

        // Leaving an edited block asks nothing: there is nowhere it could be saved.
        QVERIFY(editor()->OpenBlock(QStringLiteral("Weapon C")));
        QVERIFY(editor()->close());
        QCOMPARE(m_messages.size(), 1);
    }

    void failedSaveIsReportedAndKeepsTheEdits_data()
    {
        QTest::addColumn<QString>("breakage");
        QTest::newRow("folder gone") << "folder gone";
        QTest::newRow("folder is a file") << "folder is a file";
        QTest::newRow("read-only file") << "read-only file";
        QTest::newRow("read-only folder") << "read-only folder";
    }

    void failedSaveIsReportedAndKeepsTheEdits()
    {
        QFETCH(QString, breakage);
        QVERIFY(openWeapon("Weapon A"));
        text()->insertPlainText(QStringLiteral("edited "));
        const QString folder = m_game->path() + QStringLiteral("/Data/INI");
        const bool readOnly = breakage.startsWith(QLatin1String("read-only"));
        if (readOnly && geteuid() == 0)
            QSKIP("permissions do not hold back the superuser");
        if (breakage == QLatin1String("read-only file")) {
            QVERIFY(QFile::setPermissions(folder + QStringLiteral("/Weapon.ini"), QFileDevice::ReadOwner));
        } else if (breakage == QLatin1String("read-only folder")) {
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        } else {
            QVERIFY(QDir(folder).removeRecursively());
            if (breakage == QLatin1String("folder is a file"))
                QVERIFY(m_game->write(QStringLiteral("Data/INI"), "not a folder"));
        }

        QVERIFY(!editor()->Save());
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].text.contains(QStringLiteral("Weapon.ini")), qPrintable(m_messages[0].text));
        QCOMPARE(panel(2), QStringLiteral("Idle"));
        QVERIFY(text()->document()->isModified());
        if (readOnly) {
            QCOMPARE(m_game->read(m_weapon), QByteArray("Weapon A"));
            QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::WriteOwner);
        }
    }

    void unsavedChangesAreAskedAbout_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::newRow("save") << QMessageBox::Save << true << QByteArray("edited Weapon A");
        QTest::newRow("discard") << QMessageBox::Discard << true << QByteArray("Weapon A");
        QTest::newRow("cancel") << QMessageBox::Cancel << false << QByteArray("Weapon A");
    }

    void unsavedChangesAreAskedAbout()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, goesOn);
        QFETCH(QByteArray, onDisk);

        // New text first, then, in a fresh window, the program's exit.
        QVERIFY(openWeapon("Weapon A"));
        text()->insertPlainText(QStringLiteral("edited "));
        m_answers << answer;
        QCOMPARE(editor()->OpenBlock(QStringLiteral("Object B")), goesOn);
        QCOMPARE(text()->toPlainText(), goesOn ? QStringLiteral("Object B") : QStringLiteral("edited Weapon A"));
        QCOMPARE(m_game->read(m_weapon), onDisk);

        delete FrmManEdit::existing();
        QVERIFY(openWeapon("Weapon A"));
        text()->insertPlainText(QStringLiteral("edited "));
        m_answers << answer;
        QCOMPARE(FrmManEdit::closeForExit(), goesOn);
        QCOMPARE(m_game->read(m_weapon), onDisk);
        QCOMPARE(m_messages.size(), 2);
        QCOMPARE(m_messages[1].buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    }

    void unreadableFileLeavesTextAndTarget_data()
    {
        QTest::addColumn<int>("folderKind");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("reported");
        QTest::newRow("missing file") << 0 << "Armor.ini" << true;
        QTest::newRow("folder, not a file") << 1 << "" << true;
        QTest::newRow("unknown folder kind") << 2 << "Weapon.ini" << false;
    }

    void unreadableFileLeavesTextAndTarget()
    {
        QFETCH(int, folderKind);
        QFETCH(QString, fileName);
        QFETCH(bool, reported);
        QVERIFY(m_game->writeIni(QStringLiteral("Object/FactionUnit.ini"), "Object A"));
        QVERIFY(openWeapon("Weapon A"));
        const QString path = editor()->target().FilePath;
        QVERIFY(!editor()->OpenFile(folderKind, fileName));
        QCOMPARE(m_messages.size(), reported ? 1 : 0);
        QCOMPARE(text()->toPlainText(), QStringLiteral("Weapon A"));
        QCOMPARE(editor()->target().FilePath, path);
    }

    void newTextOrCloseWhileFillingIsSafe_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("new block") << false;
        QTest::newRow("close") << true;
    }

    void newTextOrCloseWhileFillingIsSafe()
    {
        QFETCH(bool, close);
        storeHistory({QStringLiteral("Armor")});
        QByteArray big;
        for (int i = 0; i < 100000; ++i)
            big += "  Weapon = PRIMARY Gun" + QByteArray::number(i) + "\r\n";
        QPointer<FrmManEdit> first = editor();
        // Runs at the first event loop turn of the loading steps, with most of the file still to come.
        QTimer::singleShot(0, first, [&] {
            QVERIFY(close ? first->close() : first->OpenBlock(QStringLiteral("Armor A")));
        });
        QVERIFY(openWeapon(big));
        if (close) {
            QVERIFY(!FrmManEdit::existing());
            QCOMPARE(storedHistory(), QStringList{QStringLiteral("Armor")});
        } else {
            QVERIFY(first->isLoaded());
            QCOMPARE(first->textControl()->toPlainText(), QStringLiteral("Armor A"));
            QCOMPARE(first->LineCount(), 1);
            QVERIFY(!first->target().isWholeFile());
        }
    }

    void loadingStepsFillTheStatusBar()
    {
        QVERIFY(openWeapon(crlf({"Weapon A", "  Damage = 5", "End"})));
        QVERIFY(editor()->isLoaded() && editor()->isEnabled());
        QCOMPARE(editor()->windowTitle(), QStringLiteral("Manual Editor"));
        QCOMPARE(panel(1), QStringLiteral("Line 1 of 4"));
        QCOMPARE(panel(2), QStringLiteral("Idle"));
        QTRY_COMPARE(panel(5), QDir::toNativeSeparators(m_game->path() + QStringLiteral("/Data/INI/Weapon.ini")));
        QVERIFY(panel(3).startsWith(QStringLiteral("Time: ")) && panel(4).startsWith(QStringLiteral("Date: ")));

        QTest::keyClick(text(), Qt::Key_Down);
        QTest::keyClick(text(), Qt::Key_Down);
        QCOMPARE(panel(1), QStringLiteral("Line 3 of 4"));

        QVERIFY(editor()->OpenBlock(QStringLiteral("Weapon B")));
        QCOMPARE(panel(1), QStringLiteral("Line 1 of 1"));
        QTRY_COMPARE(panel(5), QString());
    }

    void findSelectsMatchesWithoutWrapping()
    {
        QVERIFY(editor()->OpenBlock(QStringLiteral("xAbyab")));
        auto selection = [this] {
            return std::pair(text()->textCursor().selectionStart(), text()->textCursor().selectionEnd());
        };
        typeSearch(QStringLiteral("ab"));
        QTest::mouseClick(findButton(), Qt::LeftButton);
        QCOMPARE(selection(), std::pair(1, 3));
        QCOMPARE(findButton()->text(), QStringLiteral("Find Next"));
        QTest::mouseClick(findButton(), Qt::LeftButton);
        QCOMPARE(selection(), std::pair(4, 6));
        trigger("MnuFindNext");
        QCOMPARE(selection(), std::pair(4, 6));
        QCOMPARE(findButton()->text(), QStringLiteral("Find Next"));

        // Typing starts again from the top; Enter in the box searches.
        QTest::keyClick(findBox()->lineEdit(), Qt::Key_B);
        QTest::keyClick(findBox()->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(findButton()->text(), QStringLiteral("Find"));
        QTest::keyClick(findBox()->lineEdit(), Qt::Key_Return);
        QCOMPARE(selection(), std::pair(1, 3));
        QCOMPARE(findBox()->currentText(), QStringLiteral("ab"));
    }

    void searchHistoryIsKeptOnceAndNeverLost()
    {
        storeHistory({QStringLiteral("Armor"), QStringLiteral("Armor"), QStringLiteral("Weapon")});
        QVERIFY(editor()->OpenBlock(QStringLiteral("Armor Weapon")));
        QCOMPARE(findBox()->count(), 2);
        for (int i = 0; i < 3; ++i) {
            typeSearch(QStringLiteral("Locomotor"));
            QTest::mouseClick(findButton(), Qt::LeftButton);
        }
        // New text for an open editor, and a window opened afresh, keep every search.
        QVERIFY(editor()->OpenBlock(QStringLiteral("b")));
        trigger("MnuExit");
        QVERIFY(!FrmManEdit::existing());
        QVERIFY(Settings::readWindowValue(QStringLiteral("FrmManEdit"), "_Width", QString()).toInt() > 0);
        QVERIFY(editor()->OpenBlock(QStringLiteral("c")));
        QVERIFY(editor()->close());
        QCOMPARE(storedHistory(),
                 (QStringList{QStringLiteral("Armor"), QStringLiteral("Weapon"), QStringLiteral("Locomotor")}));
    }

    void saveKeepsEachPreviousVersionOnce()
    {
        QVERIFY(openWeapon("Weapon A"));
        for (const char *edit : {"1 ", "", "2 "}) {
            text()->insertPlainText(QString::fromLatin1(edit));
            QVERIFY(editor()->Save());
        }
        // The unchanged save in between replaced nothing worth keeping.
        QCOMPARE(Backups::list(QStringLiteral("Weapon.ini")).size(), 2);
        QCOMPARE(backup(0), QByteArray("1 Weapon A"));
        QCOMPARE(backup(1), QByteArray("Weapon A"));
        QCOMPARE(m_game->read(m_weapon), QByteArray("1 2 Weapon A"));
    }

    void failedBackupAsksAndOnlyYesReplacesTheFile_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("no") << QMessageBox::No;
        QTest::newRow("yes") << QMessageBox::Yes;
    }

    void failedBackupAsksAndOnlyYesReplacesTheFile()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        const bool saved = answer == QMessageBox::Yes;
        QVERIFY(openWeapon("Weapon A"));
        text()->insertPlainText(QStringLiteral("edited "));
        const QString blocker = m_settings.filePath(QStringLiteral("not a folder"));
        QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
        Backups::redirectTo(blocker + QStringLiteral("/backups"));

        m_answers << answer;
        QCOMPARE(editor()->Save(), saved);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].text.contains(QDir::toNativeSeparators(blocker)), qPrintable(m_messages[0].text));
        QCOMPARE(m_game->read(m_weapon), saved ? QByteArray("edited Weapon A") : QByteArray("Weapon A"));
        QCOMPARE(text()->document()->isModified(), !saved);
        QCOMPARE(QDir(m_game->path() + QStringLiteral("/Data/INI")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Weapon.ini")});
    }

    void textIsColouredToItsEndBelowTheLimitOnly()
    {
        // Below the limit but many pieces long: every piece gets its colours.
        QByteArray bytes;
        for (int i = 0; i < 30000; ++i)
            bytes += "Weapon W" + QByteArray::number(i) + "\r\n  Damage = 5 ; hits\r\nEnd\r\n";
        QVERIFY(openWeapon(bytes));
        QVERIFY(editor()->isColoured());
        QCOMPARE(colours(1).size(), 3);
        QCOMPARE(colours(89998).size(), 3);
        QCOMPARE(colours(89999).last().format, colours(2).last().format);
        // Colouring is no edit: nothing to save, nothing to undo.
        QVERIFY(!text()->document()->isModified() && !text()->document()->isUndoAvailable());

        while (bytes.size() < FrmManEdit::ColourLimit)
            bytes += bytes;
        QVERIFY(openWeapon(bytes));
        QVERIFY(!editor()->isColoured());
        QVERIFY(colours(0).isEmpty() && colours(1).isEmpty());

        QVERIFY(editor()->OpenBlock(QStringLiteral("Armor A\r\n  Armor = 1\r\nEnd")));
        QCOMPARE(colours(1).size(), 2);
    }

    void goToLinePutsTheCaretAtTheLineStartInView_data()
    {
        QTest::addColumn<int>("line");
        QTest::newRow("last, after the final line end") << 3001;
        QTest::newRow("past the end") << 3002;
        QTest::newRow("zero") << 0;
    }

    void goToLinePutsTheCaretAtTheLineStartInView()
    {
        QFETCH(int, line);
        const bool exists = line >= 1 && line <= 3001;
        QByteArray bytes;
        for (int i = 0; i < 1000; ++i)
            bytes += "Weapon W\r\n  Damage = 5\r\nEnd\r\n";
        QVERIFY(openWeapon(bytes));
        moveTo(30, 35);
        QCOMPARE(editor()->goToLine(line), exists);
        const QTextCursor cursor = text()->textCursor();
        if (!exists) {
            QCOMPARE(std::pair(cursor.anchor(), cursor.position()), std::pair(30, 35));
            return;
        }
        QCOMPARE(std::pair(cursor.blockNumber() + 1, cursor.positionInBlock()), std::pair(line, 0));
        QVERIFY(!cursor.hasSelection());
        QVERIFY(text()->viewport()->rect().contains(text()->cursorRect()));
        QCOMPARE(panel(1), QStringLiteral("Line %1 of 3001").arg(line));
    }

    void goToLineAsksFromTheCaretsLine()
    {
        QVERIFY(openWeapon(crlf({"Weapon A", "  Damage = 5", "End", "Weapon B", "End"})));
        moveTo(12);
        std::pair<int, int> asked;
        std::optional<int> answer = 4;
        FrmManEdit::setGoToLineHook([&](int current, int last) {
            asked = {current, last};
            return answer;
        });
        QTest::keyClick(text(), Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(asked, std::pair(2, 6));
        QCOMPARE(text()->textCursor().blockNumber(), 3);
        answer.reset(); // Cancel
        trigger("MnuGoToLine");
        QCOMPARE(text()->textCursor().blockNumber(), 3);
    }

    void undoAndRedoOnlyShowTheMessage()
    {
        QVERIFY(editor()->OpenBlock(QStringLiteral("abc")));
        text()->insertPlainText(QStringLiteral("x"));
        trigger("MnuUndo");
        trigger("Redo");
        QCOMPARE(m_messages.size(), 2);
        QCOMPARE(m_messages[0].text,
                 QStringLiteral("I am working on this feature, I will realease a new version as soon as I have finished "
                                "it.\r\nIf yoy want to use 'Undo', Right-click on some text and click on 'Undo'"));
        QCOMPARE(m_messages[1].text, m_messages[0].text);
        QCOMPARE(text()->toPlainText(), QStringLiteral("xabc"));
    }

    void clipboardCommandsWorkFromMenuAndToolbar()
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        QVERIFY(editor()->OpenBlock(QStringLiteral("one\r\ntwo three")));
        moveTo(2, 5);
        trigger("Cut");
        QCOMPARE(clipboard->text(), QStringLiteral("e\nt"));
        QCOMPARE(text()->toPlainText(), QStringLiteral("onwo three"));
        trigger("MnuPaste");
        QCOMPARE(text()->toPlainText(), QStringLiteral("one\ntwo three"));
        moveTo(8, 13);
        trigger("MnuCopy");
        QCOMPARE(clipboard->text(), QStringLiteral("three"));
        trigger("MnuDelete");
        QCOMPARE(text()->toPlainText(), QStringLiteral("one\ntwo "));
        trigger("MnuSelectAll");
        QCOMPARE(text()->textCursor().selectedText().size(), 8);
    }

    void chosenFontIsStoredAndRestored()
    {
        QFont chosen(QStringLiteral("DejaVu Serif"));
        chosen.setPointSize(99); // beyond what the dialog offers
        chosen.setWeight(QFont::Bold);
        chosen.setItalic(true);
        FontDialog::setHook([&](const QFont &) { return std::optional<QFont>(chosen); });
        QVERIFY(editor()->OpenBlock(QStringLiteral("a")));
        trigger("MnuFonts");
        QCOMPARE(Settings::GetSet(QStringLiteral("ManEditSize")), QStringLiteral("72"));
        QCOMPARE(Settings::GetSet(QStringLiteral("ManEditBold")), QStringLiteral("True"));
        QCOMPARE(Settings::GetSet(QStringLiteral("ManEditItalic")), QStringLiteral("True"));
        QCOMPARE(Settings::GetSet(QStringLiteral("ManEditUnderline")), QStringLiteral("False"));
        const QString face = Settings::GetSet(QStringLiteral("ManEditName"));
        QCOMPARE(face, text()->font().family());

        delete FrmManEdit::existing();
        QVERIFY(editor()->OpenBlock(QStringLiteral("b")));
        QCOMPARE(text()->font().family(), face);
        QCOMPARE(text()->font().pointSizeF(), 72.0);
        QVERIFY(text()->font().bold() && text()->font().italic() && !text()->font().underline());
    }

    void cancelledFontDialogChangesNothing()
    {
        FontDialog::setHook([](const QFont &) { return std::nullopt; });
        QVERIFY(editor()->OpenBlock(QStringLiteral("a")));
        const QFont before = text()->font();
        trigger("MnuFonts");
        QCOMPARE(text()->font(), before);
        QCOMPARE(Settings::GetSet(QStringLiteral("ManEditName"), QStringLiteral("none")), QStringLiteral("none"));
    }
};

QTEST_MAIN(tst_FrmManEdit)
#include "tst_frmmanedit.moc"
