#include "manualedit/frmmanedit.h"

#include "../common/filesizelimit.h"
#include "../common/hooks.h"
#include "../common/testgame.h"
#include "../common/unprivileged.h"
#include "engine/globals.h"
#include "manualedit/backups.h"
#include "manualedit/blockformat.h"
#include "manualedit/dataassist.h"
#include "manualedit/fontdialog.h"
#include "manualedit/settingsstore.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <Qsci/qsciscintilla.h>


class tst_FrmManEdit : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_settings; // settings and backups, new for every test
    std::unique_ptr<TestGame> m_game;
    UserHooks m_user;
    const QString m_weapon = QStringLiteral("Data/INI/Weapon.ini");

    FrmManEdit *editor() { return FrmManEdit::instance(); }
    QsciScintilla *text() { return editor()->textControl(); }
    long sci(unsigned int message, unsigned long w = 0, long l = 0) { return text()->SendScintilla(message, w, l); }
    QComboBox *findBox() { return editor()->findChild<QComboBox *>(QStringLiteral("CboFind")); }
    QPushButton *findButton() { return editor()->findChild<QPushButton *>(QStringLiteral("BtnFind")); }
    void trigger(const char *name) { editor()->findChild<QAction *>(QLatin1String(name))->trigger(); }
    bool openWeapon(const QByteArray &b) { return m_game->write(m_weapon, b) && editor()->OpenFile(0, "Weapon.ini"); }
    void moveTo(int from, int to = -1) { sci(QsciScintillaBase::SCI_SETSEL, from, to < 0 ? from : to); }
    // As typing or pasting does: the caret ends after the text.
    void type(const QString &what) { text()->replaceSelectedText(what); }
    std::pair<long, long> selection()
    {
        return {sci(QsciScintillaBase::SCI_GETSELECTIONSTART), sci(QsciScintillaBase::SCI_GETSELECTIONEND)};
    }
    // The stored settings by the names they have in the settings file.
    static QString stored(const QString &section, const QString &key)
    {
        return SettingsStore::read(QStringLiteral("Torvane Zarnith"), section, key, QStringLiteral("-"));
    }
    QStringList storedHistory()
    {
        QStringList items;
        for (int i = 0; i < stored("Search List", "ItemNum").toInt(); ++i)
            items << stored("Search List", QStringLiteral("%1Name").arg(i));
        return items;
    }
    void storeHistory(const QStringList &items)
    {
        for (int i = 0; i < items.size(); ++i)
            SettingsStore::write("Torvane Zarnith", "Search List", QStringLiteral("%1Name").arg(i), items[i]);
        SettingsStore::write("Torvane Zarnith", "Search List", "ItemNum", QString::number(items.size()));
    }
    // Types into the search box, as a user would, so that the next search starts from the top.
    void typeSearch(const QString &what)
    {
        findBox()->lineEdit()->clear();
        QTest::keyClicks(findBox()->lineEdit(), what);
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<QTemporaryDir>();
        SettingsStore::redirectTo(m_settings->path());
        Backups::redirectTo(m_settings->filePath(QStringLiteral("backups")));
        m_game = std::make_unique<TestGame>();
        GamePath = m_game->path();
        m_user.install();
        m_user.clear();
        m_user.answer = QMessageBox::Ok;
    }

    void cleanup()
    {
        FontDialog::setHook({});
        FrmManEdit::setGoToLineHook({});
        delete FrmManEdit::existing();
    }

    void fileSavesByteIdenticalButForNewLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("newLine"); // 0 none, 1 Enter, 2 Shift+Enter, each followed by "x\u00E9"
        QTest::addColumn<QByteArray>("saved");
        const auto unchanged = [](const char *name, const QByteArray &bytes, int lines) {
            QTest::newRow(name) << bytes << lines << 0 << bytes;
        };
        unchanged("CR LF", crlf({"Weapon A", "  Damage = 5", "End"}), 4);
        unchanged("no final line end", "Weapon A\r\nEnd", 2);
        unchanged("lone LF inside lines", "Weapon A\r\n  Text = a\nb\r\nEnd\r\n", 5);
        unchanged("lone CR", "Weapon A\rEnd\r", 3);
        unchanged("mixed", "a\r\nb\rc\nd\r\n\r\re\n\r\nf\n\rg", 11);
        unchanged("CR CR LF", "a\r\r\nb\r\r\n", 5);
        QByteArray every;
        for (int b = 0; b <= 0xFF; ++b)
            every += char(b);
        // LF (0x0A) and the lone CR (0x0D) in each copy end lines as well.
        unchanged("every byte", every + "\r\n" + every, 6);
        unchanged("empty", QByteArray(), 1);
        unchanged("only line ends", "\r\n\r\n", 3);
        QTest::newRow("CR LF, no final end, Enter") << QByteArray("Weapon A\r\nEnd") << 2 << 1
                                                    << QByteArray("Weapon A\r\nEnd\r\nx\xE9");
        QTest::newRow("LF, Enter") << QByteArray("a\nb\n") << 3 << 1 << QByteArray("a\nb\n\nx\xE9");
        QTest::newRow("mostly lone CR, Enter") << QByteArray("a\rb\r\nc\r") << 4 << 1
                                               << QByteArray("a\rb\r\nc\r\rx\xE9");
        QTest::newRow("Shift+Enter") << QByteArray("a\r\nb") << 2 << 2 << QByteArray("a\r\nb\r\nx\xE9");
    }

    void fileSavesByteIdenticalButForNewLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, lineCount);
        QFETCH(int, newLine);
        QFETCH(QByteArray, saved);
        QVERIFY(openWeapon(bytes));
        QCOMPARE(editor()->LineCount(), lineCount);
        if (newLine) {
            sci(QsciScintillaBase::SCI_DOCUMENTEND);
            QTest::keyClick(text(), Qt::Key_Return, newLine == 2 ? Qt::ShiftModifier : Qt::NoModifier);
            QTest::keyClicks(text(), QStringLiteral("x"));
            type(QStringLiteral("\u00E9"));
        }
        // Typing marks the text as modified in the status bar; Ctrl+S saves.
        QLabel *modified = editor()->findChild<QLabel *>(QStringLiteral("SB1_6"));
        QCOMPARE(modified->text(), QLatin1String(newLine ? "Modified" : ""));
        QTest::keyClick(text(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_game->read(m_weapon), saved);
        QVERIFY(!text()->isModified() && modified->text().isEmpty());
        QVERIFY(m_user.messages.isEmpty());
    }

    void fileShowsItsExactText()
    {
        QVERIFY(openWeapon(QByteArray("Caf\xE9\xA0\x80\r\n\tx\ny")));
        QCOMPARE(text()->text(), QStringLiteral("Caf\u00E9\u00A0\u20AC\r\n\tx\ny"));
        QCOMPARE(editor()->target().FilePath, GamePath + QStringLiteral("\\Data\\INI\\Weapon.ini"));
        // A lone LF ends a line in the editor, not in the game.
        QVERIFY(openWeapon("Weapon A\nEnd\r\nWeapon B\r\n"));
        QCOMPARE(editor()->editorLineOf(2), 3);
        QCOMPARE(editor()->editorLineOf(1), 1);
    }

    void largeTextRoundTripsAndIsStyledWhereShown()
    {
        QByteArray bytes;
        int lines = 0;
        while (bytes.size() < 20 * 1024 * 1024) {
            bytes += "Weapon W" + QByteArray::number(lines) + " ; caf\xE9 \x80\r\n  Damage = 5 ; hits\r\nEnd\r\n";
            lines += 3;
        }
        QVERIFY(openWeapon(bytes));
        QCOMPARE(editor()->LineCount(), lines + 1);
        // The end of the file gets its styles once it is shown.
        QVERIFY(editor()->goToLine(lines - 2));
        text()->repaint();
        const long damage = sci(QsciScintillaBase::SCI_POSITIONFROMLINE, lines - 2);
        const long header = sci(QsciScintillaBase::SCI_POSITIONFROMLINE, lines - 3);
        QCOMPARE(sci(QsciScintillaBase::SCI_GETSTYLEAT, header), long(BlockFormat::Header));
        QCOMPARE(sci(QsciScintillaBase::SCI_GETSTYLEAT, damage + 2), long(BlockFormat::Parameter));
        QCOMPARE(sci(QsciScintillaBase::SCI_GETSTYLEAT, damage + 11), long(BlockFormat::Value));
        QCOMPARE(sci(QsciScintillaBase::SCI_GETSTYLEAT, damage + 13), long(BlockFormat::Comment));
        // Styling is no edit: nothing to save, nothing to undo.
        QVERIFY(!text()->isModified() && !text()->isUndoAvailable());
        QVERIFY(editor()->Save());
        QVERIFY(m_game->read(m_weapon) == bytes);
    }

    void editsKeepTheOtherLineEnds()
    {
        const QByteArray original("a\r\nbb\ncc\rdd");
        QVERIFY(openWeapon(original));
        moveTo(4); // between the b's
        QTest::keyClick(text(), Qt::Key_Return);
        moveTo(8); // start of "cc"
        QTest::keyClick(text(), Qt::Key_Backspace);
        QCOMPARE(editor()->fileBytes(), QByteArray("a\r\nb\r\nbcc\rdd"));

        text()->undo();
        text()->undo();
        QVERIFY(!text()->isModified());
        QCOMPARE(editor()->fileBytes(), original);
    }

    void blockIsNeverSaved()
    {
        const QByteArray file = crlf({"Weapon A", "End"});
        QVERIFY(openWeapon(file));
        QVERIFY(editor()->OpenBlock(QStringLiteral("Weapon B\r\nEnd\r\n")));
        type(QStringLiteral("edited "));
        trigger("Save");
        QCOMPARE(m_user.messages.size(), 1);
        QCOMPARE(m_user.lastText(), QStringLiteral("Sorry, Torvane Zarnith can only save 'Files' not 'Objects'"));
        QCOMPARE(m_game->read(m_weapon), file);

        // Leaving an edited block asks nothing: there is nowhere it could be saved.
        QVERIFY(editor()->OpenBlock(QStringLiteral("Weapon C")));
        QVERIFY(editor()->close());
        QCOMPARE(m_user.messages.size(), 1);
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
        const bool readOnly = breakage.startsWith(QLatin1String("read-only"));
        if (readOnly && !runsUnprivileged())
            return;
        QVERIFY(openWeapon("Weapon A"));
        type(QStringLiteral("edited "));
        const QString folder = m_game->path() + QStringLiteral("/Data/INI");
        if (breakage == QLatin1String("read-only file")) {
            QVERIFY(QFile::setPermissions(folder + QStringLiteral("/Weapon.ini"), QFileDevice::ReadOwner));
        } else if (breakage == QLatin1String("read-only folder")) {
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        } else {
            QVERIFY(QDir(folder).removeRecursively());
            if (breakage == QLatin1String("folder is a file"))
                QVERIFY(m_game->write(QStringLiteral("Data/INI"), "not a folder"));
        }

        // A file whose folder went is gone from the disk: the editor asks
        // before writing it anew, and then reports the failure.
        m_user.answer = QMessageBox::Save;
        QVERIFY(!editor()->Save());
        QCOMPARE(m_user.messages.size(), readOnly ? 1 : 2);
        QVERIFY2(m_user.lastText().contains(QStringLiteral("could not save")), qPrintable(m_user.lastText()));
        QVERIFY2(m_user.lastText().contains(QStringLiteral("Weapon.ini")), qPrintable(m_user.lastText()));
        QVERIFY(text()->isModified());
        if (readOnly) {
            QCOMPARE(m_game->read(m_weapon), QByteArray("Weapon A"));
            QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::WriteOwner);
        }
    }

    // The disk fills up a quarter of the way into the write.
    void saveThatFailsHalfwayKeepsTheOriginal()
    {
        const QByteArray original = QByteArray("Weapon W\r\n  Damage = 1\r\nEnd\r\n").repeated(20000);
        QVERIFY(openWeapon(original));
        text()->append(QStringLiteral("\r\nWeapon Extra"));
        {
            const FileSizeLimit full(rlim_t(original.size() / 4));
            QVERIFY(full.isSet());
            QVERIFY(!editor()->Save());
        }
        QCOMPARE(m_game->read(m_weapon), original);
        QCOMPARE(QDir(m_game->path() + QStringLiteral("/Data/INI")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Weapon.ini"});
        QVERIFY2(m_user.lastText().contains(QLatin1String("Weapon.ini")), qPrintable(m_user.lastText()));
        QVERIFY(text()->isModified());
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
        m_user.answer = answer;
        // New text first, then, in a fresh window, the program's exit.
        for (const bool exit : {false, true}) {
            delete FrmManEdit::existing();
            QVERIFY(openWeapon("Weapon A"));
            type(QStringLiteral("edited "));
            QCOMPARE(exit ? FrmManEdit::closeForExit() : editor()->OpenBlock(QStringLiteral("Object B")), goesOn);
            if (!exit)
                QCOMPARE(text()->text(), QLatin1String(goesOn ? "Object B" : "edited Weapon A"));
            QCOMPARE(m_game->read(m_weapon), onDisk);
        }
        QCOMPARE(m_user.messages.size(), 2);
        QCOMPARE(m_user.messages[1].buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    }

    void unreadableFileLeavesTextAndTarget()
    {
        QVERIFY(m_game->writeIni(QStringLiteral("Object/FactionUnit.ini"), "Object A"));
        QVERIFY(openWeapon("Weapon A"));
        const QString path = editor()->target().FilePath;
        // A missing file and a folder are reported; an unknown folder kind is the caller's mistake.
        const std::tuple<int, const char *, int> cases[] = {{0, "Armor.ini", 1}, {1, "", 2}, {2, "Weapon.ini", 2}};
        for (const auto &[folderKind, fileName, reported] : cases) {
            QVERIFY(!editor()->OpenFile(folderKind, QLatin1String(fileName)));
            QCOMPARE(m_user.messages.size(), reported);
            QCOMPARE(text()->text(), QStringLiteral("Weapon A"));
            QCOMPARE(editor()->target().FilePath, path);
        }
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
        QVERIFY(m_game->write(m_weapon, big));
        // Opened from an event handler, as a click does, where a window closed
        // during the loading turns is deleted at once; the close or the new
        // text comes at the first turn, with most of the file still to come.
        bool opened = true;
        QTimer::singleShot(0, first, [&] { opened = first->OpenFileAt(0, QStringLiteral("Weapon.ini"), 5); });
        QTimer::singleShot(0, first, [&] {
            QVERIFY(close ? first->close() : first->OpenBlock(QStringLiteral("Armor A")));
        });
        QTRY_VERIFY(!first || first->isLoaded());
        // Neither the file nor its line 5 is shown in the end.
        QVERIFY(!opened);
        if (close) {
            QVERIFY(!FrmManEdit::existing());
            QCOMPARE(storedHistory(), QStringList{QStringLiteral("Armor")});
        } else {
            QVERIFY(first->isLoaded());
            QCOMPARE(first->textControl()->text(), QStringLiteral("Armor A"));
            QCOMPARE(first->LineCount(), 1);
            QVERIFY(!first->target().isWholeFile());
        }
    }

    void findSelectsMatchesWithoutWrapping()
    {
        QVERIFY(editor()->OpenBlock(QStringLiteral("xAbyab")));
        typeSearch(QStringLiteral("ab"));
        QTest::mouseClick(findButton(), Qt::LeftButton);
        QCOMPARE(selection(), std::pair(1L, 3L));
        QCOMPARE(findButton()->text(), QStringLiteral("Find Next"));
        // Every match is marked, the one not selected too.
        for (const long at : {1L, 2L, 4L, 5L})
            QVERIFY(sci(QsciScintillaBase::SCI_INDICATORALLONFOR, at) != 0);
        QCOMPARE(sci(QsciScintillaBase::SCI_INDICATORALLONFOR, 3), 0L);
        QTest::mouseClick(findButton(), Qt::LeftButton);
        QCOMPARE(selection(), std::pair(4L, 6L));
        trigger("MnuFindNext");
        QCOMPARE(selection(), std::pair(4L, 6L));

        // Typing starts again from the top; Enter in the box searches.
        QTest::keyClick(findBox()->lineEdit(), Qt::Key_B);
        QTest::keyClick(findBox()->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(findButton()->text(), QStringLiteral("Find"));
        QTest::keyClick(findBox()->lineEdit(), Qt::Key_Return);
        QCOMPARE(selection(), std::pair(1L, 3L));
        QCOMPARE(findBox()->currentText(), QStringLiteral("ab"));
    }

    void searchHistoryIsKeptOnceAndNeverLost()
    {
        storeHistory({"Armor", "Armor", "Armor", "Weapon"});
        QCOMPARE(findBox()->count(), 2);
        QVERIFY(editor()->OpenBlock(QStringLiteral("Armor Weapon")));
        for (int i = 0; i < 3; ++i) {
            typeSearch(QStringLiteral("Locomotor"));
            QTest::mouseClick(findButton(), Qt::LeftButton);
        }
        // New text for an open editor, and a window opened afresh, keep every search.
        QVERIFY(editor()->OpenBlock(QStringLiteral("b")));
        trigger("MnuExit");
        QVERIFY(!FrmManEdit::existing());
        QVERIFY(stored("EditWH", QStringLiteral("FrmManEdit_Width")).toInt() > 0);
        QVERIFY(editor()->OpenBlock(QStringLiteral("c")));
        QVERIFY(editor()->close());
        QCOMPARE(storedHistory(), QStringList({"Armor", "Weapon", "Locomotor"}));
    }

    void saveKeepsEachPreviousVersionOnce()
    {
        QVERIFY(openWeapon("Weapon A"));
        for (const char *edit : {"1 ", "", "2 "}) {
            type(QString::fromLatin1(edit));
            QVERIFY(editor()->Save());
        }
        // The unchanged save in between replaced nothing worth keeping.
        QStringList copies;
        for (const QString &copy : Backups::list(editor()->backupSeries())) {
            QFile f(copy);
            copies << QString::fromLatin1(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
        }
        QCOMPARE(copies, (QStringList{QStringLiteral("1 Weapon A"), QStringLiteral("Weapon A")}));
        QCOMPARE(m_game->read(m_weapon), QByteArray("1 2 Weapon A"));
    }

    void questionBeforeWritingLetsOnlyYesWrite_data()
    {
        QTest::addColumn<bool>("backupFails");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::newRow("no code page character, no") << false << QMessageBox::No << QByteArray("Weapon A");
        QTest::newRow("no code page character, yes") << false << QMessageBox::Yes << QByteArray("? Weapon A");
        QTest::newRow("no backup, no") << true << QMessageBox::No << QByteArray("Weapon A");
        QTest::newRow("no backup, yes") << true << QMessageBox::Yes << QByteArray("edited Weapon A");
    }

    void questionBeforeWritingLetsOnlyYesWrite()
    {
        QFETCH(bool, backupFails);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QByteArray, onDisk);
        QVERIFY(openWeapon("Weapon A"));
        type(backupFails ? QStringLiteral("edited ") : QStringLiteral("\u2713 "));
        const QString blocker = m_settings->filePath(QStringLiteral("not a folder"));
        if (backupFails) {
            QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
            Backups::redirectTo(blocker + QStringLiteral("/backups"));
        }
        m_user.answer = answer;
        QCOMPARE(editor()->Save(), answer == QMessageBox::Yes);
        QCOMPARE(m_user.messages.size(), 1);
        const QString named = backupFails ? QDir::toNativeSeparators(blocker) : QStringLiteral("1 character");
        QVERIFY2(m_user.lastText().contains(named), qPrintable(m_user.lastText()));
        QCOMPARE(m_game->read(m_weapon), onDisk);
        QCOMPARE(text()->isModified(), answer != QMessageBox::Yes);
        QCOMPARE(QDir(m_game->path() + QStringLiteral("/Data/INI")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Weapon.ini")});
    }

    void goToLinePutsTheCaretAtTheLineStartInView()
    {
        QByteArray bytes;
        for (int i = 0; i < 1000; ++i)
            bytes += "Weapon W\r\n  Damage = 5\r\nEnd\r\n";
        QVERIFY(openWeapon(bytes));
        moveTo(30, 35);
        // No such line changes nothing.
        QVERIFY(!editor()->goToLine(0) && !editor()->goToLine(3002));
        QCOMPARE(selection(), std::pair(30L, 35L));

        // A line out of view comes to the middle of it.
        const long onScreen = sci(QsciScintillaBase::SCI_LINESONSCREEN);
        QVERIFY(onScreen > 4);
        QVERIFY(editor()->goToLine(1500));
        QCOMPARE(sci(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), 1499 - onScreen / 2);

        QVERIFY(editor()->goToLine(3001)); // the last line, after the final line end
        int caretLine = 0;
        int caretIndex = 0;
        text()->getCursorPosition(&caretLine, &caretIndex);
        QCOMPARE(std::pair(caretLine + 1, caretIndex), std::pair(3001, 0));
        QVERIFY(!text()->hasSelectedText());
        QLabel *line = editor()->findChild<QLabel *>(QStringLiteral("SB1_1"));
        QCOMPARE(line->text(), QStringLiteral("Line 3001 of 3001"));
        QTest::keyClick(text(), Qt::Key_Up);
        QCOMPARE(line->text(), QStringLiteral("Line 3000 of 3001"));

        // "Go to Line..." asks, starting from the caret's line.
        std::pair<int, int> asked;
        FrmManEdit::setGoToLineHook([&](int current, int last) {
            asked = {current, last};
            return std::optional<int>(2);
        });
        QTest::keyClick(text(), Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(asked, std::pair(3000, 3001));
        text()->getCursorPosition(&caretLine, &caretIndex);
        QCOMPARE(caretLine, 1);
    }

    void outlineListsTheBlocksAndFollowsTheCaret()
    {
        QVERIFY(openWeapon(crlf({"; weapons", "Weapon Gun", "  Damage = 5", "End", "", "weapon Cannon ; big",
                                 "  Damage = 50", "End", "Weapon GunShip", "End"})));
        auto *outline = editor()->findChild<QComboBox *>(QStringLiteral("CboOutline"));
        auto *filter = editor()->findChild<QLineEdit *>(QStringLiteral("TxtOutlineFilter"));
        auto items = [&] {
            QStringList texts;
            for (int i = 0; i < outline->count(); ++i)
                texts << outline->itemText(i);
            return texts;
        };
        // Listed once the text is in.
        QTRY_COMPARE(items(), (QStringList{"Weapon Gun", "weapon Cannon", "Weapon GunShip"}));
        QCOMPARE(outline->currentIndex(), -1); // the comment above every block
        QVERIFY(editor()->goToLine(7));
        QCOMPARE(outline->currentText(), QStringLiteral("weapon Cannon"));

        // A chosen block is where the caret goes; the filter narrows by name.
        outline->activated(2);
        QCOMPARE(editor()->findChild<QLabel *>(QStringLiteral("SB1_1"))->text(), QStringLiteral("Line 9 of 11"));
        filter->setText(QStringLiteral("gun"));
        QCOMPARE(items(), (QStringList{"Weapon Gun", "Weapon GunShip"}));
        QCOMPARE(outline->currentText(), QStringLiteral("Weapon GunShip"));
        outline->activated(0);
        QCOMPARE(editor()->findChild<QLabel *>(QStringLiteral("SB1_1"))->text(), QStringLiteral("Line 2 of 11"));

        // A block typed in shows up once typing pauses.
        filter->clear();
        sci(QsciScintillaBase::SCI_DOCUMENTEND);
        type(QStringLiteral("Weapon Laser\r\nEnd\r\n"));
        QTRY_COMPARE(items(), (QStringList{"Weapon Gun", "weapon Cannon", "Weapon GunShip", "Weapon Laser"}));
    }

    void definitionsOpenThroughTheQuestionAndLeadBack()
    {
        QVERIFY(m_game->writeIni(QStringLiteral("Object/FactionUnit.ini"),
                                 crlf({"Object Tank", "  WeaponSet", "    Weapon = PRIMARY GUN", "  End", "End"})));
        QVERIFY(m_game->writeIni(QStringLiteral("Weapon.ini"),
                                 crlf({"Weapon Cannon", "End", "Weapon Gun ; first", "End", "Weapon gun", "End"})));
        QVERIFY(editor()->OpenFile(1, QStringLiteral("FactionUnit.ini")));
        QVERIFY(editor()->goToLine(3));
        sci(QsciScintillaBase::SCI_LINEEND);
        type(QStringLiteral(" "));
        const long gun = sci(QsciScintillaBase::SCI_POSITIONFROMLINE, 2) + 22; // inside "GUN"
        sci(QsciScintillaBase::SCI_GOTOPOS, gun);

        // Unsaved changes are asked about first; Cancel keeps the text.
        m_user.answer = QMessageBox::Cancel;
        QTest::keyClick(text(), Qt::Key_F12);
        QCOMPARE(editor()->target().FilePath, GamePath + QStringLiteral("\\Data\\INI\\Object\\FactionUnit.ini"));
        QCOMPARE(m_user.messages.size(), 1);

        // Ctrl+click on the name; the first of two definitions is used and said.
        m_user.answer = QMessageBox::Discard;
        sci(QsciScintillaBase::SCI_GOTOPOS, 0);
        const QPoint point(int(sci(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, gun)),
                           int(sci(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, gun)) + 2);
        QTest::mouseClick(text()->viewport(), Qt::LeftButton, Qt::ControlModifier, point);
        QCOMPARE(editor()->target().FilePath, GamePath + QStringLiteral("\\Data\\INI\\Weapon.ini"));
        QCOMPARE(editor()->findChild<QLabel *>(QStringLiteral("SB1_1"))->text(), QStringLiteral("Line 3 of 7"));
        QVERIFY2(editor()->findChild<QLabel *>(QStringLiteral("SB1_7"))->text().contains(QLatin1String("2 times")),
                 qPrintable(editor()->findChild<QLabel *>(QStringLiteral("SB1_7"))->text()));

        // In the file shown, the block is found where the text has it now.
        sci(QsciScintillaBase::SCI_DOCUMENTSTART);
        type(QStringLiteral("; moved\r\n"));
        QVERIFY(editor()->goToLine(5));
        QVERIFY(editor()->goToDefinition(QStringLiteral("cannon")));
        QCOMPARE(editor()->findChild<QLabel *>(QStringLiteral("SB1_1"))->text(), QStringLiteral("Line 2 of 7"));
        QVERIFY(!editor()->goToDefinition(QStringLiteral("Nothing")));

        // Alt+Left goes back, the second time to the first file.
        QTest::keyClick(text(), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(editor()->findChild<QLabel *>(QStringLiteral("SB1_1"))->text(), QStringLiteral("Line 5 of 7"));
        QTest::keyClick(text(), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(editor()->target().FilePath, GamePath + QStringLiteral("\\Data\\INI\\Object\\FactionUnit.ini"));
        QCOMPARE(editor()->findChild<QLabel *>(QStringLiteral("SB1_1"))->text(), QStringLiteral("Line 3 of 6"));
    }

    void blockUnderTheCaretTakesItsStockTextUntilUndone()
    {
        QFile stockFile(QStringLiteral(ZARNITH_STOCK_DIR "/Data/INI/Armor.ini"));
        QVERIFY(stockFile.open(QIODevice::ReadOnly));
        const QByteArray stock = stockFile.readAll();
        // The second block changed: a value, a line gone, a line added.
        QByteArray changed = stock;
        changed.replace("Armor LightHullPlate\r\n  Armor = SMALL_ARMS        50%\r\n",
                        "Armor LightHullPlate\r\n  Armor = SMALL_ARMS        55%\r\n  Armor = NEW 1%\r\n");
        changed.replace("  Armor = CRUSH             150%\r\n", "");
        QVERIFY(changed != stock);
        QVERIFY(m_game->writeIni(QStringLiteral("Armor.ini"), changed));
        FrmManEdit::setStockTable(QStringLiteral(ZARNITH_BIN_DIR "/Data.DBF"));
        QVERIFY(editor()->OpenFile(0, QStringLiteral("Armor.ini")));

        QVERIFY(editor()->goToLine(9)); // the blank line before the first block
        QVERIFY(!editor()->replaceBlockWithStock());
        // An edit that keeps the length but adds a line moves the blocks below.
        const long line11 = sci(QsciScintillaBase::SCI_POSITIONFROMLINE, 10);
        moveTo(int(line11), int(line11 + 2));
        type(QStringLiteral("\r\n"));
        QByteArray expected = stock;
        expected.replace("Armor TankPlate\r\n  Armor", "Armor TankPlate\r\n\r\nArmor");
        QVERIFY(editor()->goToLine(29));
        QVERIFY(editor()->replaceBlockWithStock());
        QCOMPARE(editor()->fileBytes(), expected);
        QVERIFY(text()->isModified());
        QCOMPARE(m_game->read(QStringLiteral("Data/INI/Armor.ini")), changed);
        text()->undo();
        QCOMPARE(editor()->fileBytes(), QByteArray(changed).replace("Armor TankPlate\r\n  Armor", "Armor TankPlate\r\n\r\nArmor"));
    }

    // Completion puts in only the name the user accepts; problems follow the
    // text once typing pauses, and F8 walks them.
    void completionAndProblemsLeaveTheTextAlone()
    {
        QVERIFY(m_game->writeIni(QStringLiteral("Armor.ini"), crlf({"Armor Plate", "End", "Armor PLAIN", "End", "Armor Hide", "End"})));
        const QByteArray typed = "Object Tank\r\n  Armor = X\r\n  ArmorSet\r\n  End\r\nEnd\r\n";
        QVERIFY(m_game->writeIni(QStringLiteral("Object/FactionUnit.ini"), typed));
        QVERIFY(editor()->OpenFile(1, QStringLiteral("FactionUnit.ini")));
        DataAssist *assist = editor()->assist();
        QLabel *problems = editor()->findChild<QLabel *>(QStringLiteral("SB1_8"));
        QTRY_COMPARE(problems->text(), QStringLiteral("Problems: 1"));

        // Typed letters narrow the names (PLAIN, Plate); Tab takes the one chosen.
        const int x = int(typed.indexOf("X"));
        moveTo(x, x + 1);
        QTest::keyClicks(text(), QStringLiteral("p"));
        QVERIFY(sci(QsciScintillaBase::SCI_AUTOCACTIVE));
        QTest::keyClick(text(), Qt::Key_L);
        QTest::keyClick(text(), Qt::Key_Down);
        QTest::keyClick(text(), Qt::Key_Tab);
        QVERIFY(!sci(QsciScintillaBase::SCI_AUTOCACTIVE));
        // A parameter name on demand; Escape closes the list and types nothing.
        moveTo(int(text()->text().indexOf(QLatin1String("  End"))) + 2);
        QTest::keyClick(text(), Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(sci(QsciScintillaBase::SCI_AUTOCACTIVE) == 0); // nothing is known in an empty ArmorSet
        moveTo(int(text()->text().indexOf(QLatin1String("  ArmorSet"))) + 2);
        QTest::keyClick(text(), Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(sci(QsciScintillaBase::SCI_AUTOCACTIVE));
        QTest::keyClick(text(), Qt::Key_Escape);
        QVERIFY(!sci(QsciScintillaBase::SCI_AUTOCACTIVE));

        QByteArray expected = typed;
        expected.replace("Armor = X", "Armor = Plate");
        QCOMPARE(text()->text().toUtf8(), expected);
        QTRY_COMPARE(problems->text(), QStringLiteral("No problems"));

        // A wrong name is underlined after the pause; F8 goes to it from anywhere.
        moveTo(int(expected.indexOf("Plate")) + 5);
        QTest::keyClicks(text(), QStringLiteral("X"));
        QVERIFY(assist->checking());
        QTRY_COMPARE(problems->text(), QStringLiteral("Problems: 1"));
        QCOMPARE(assist->marks().size(), 1);
        QCOMPARE(assist->marks()[0].message, QStringLiteral("Object Tank names the Armor PlateX, which no block defines"));
        const long from = expected.indexOf("Plate");
        QCOMPARE(sci(QsciScintillaBase::SCI_INDICATORVALUEAT, 9, from + 2), 1L);
        QCOMPARE(sci(QsciScintillaBase::SCI_INDICATORVALUEAT, 9, from - 2), 0L);
        sci(QsciScintillaBase::SCI_DOCUMENTEND);
        QTest::keyClick(text(), Qt::Key_F8);
        QCOMPARE(sci(QsciScintillaBase::SCI_GETCURRENTPOS), from);
        QCOMPARE(assist->cardRowsAt(int(typed.indexOf("Tank")) + 1),
                 (QStringList{"Object Tank", "Object\\FactionUnit.ini, line 1", "Armor = PlateX", "ArmorSet", "End"}));

        QVERIFY(editor()->Save());
        expected.replace("Plate", "PlateX");
        QCOMPARE(m_game->read(QStringLiteral("Data/INI/Object/FactionUnit.ini")), expected);
    }

    void cutAndCopyGiveLineFeeds()
    {
        QVERIFY(editor()->OpenBlock(QStringLiteral("one\r\ntwo")));
        moveTo(2, 6);
        trigger("MnuCopy");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("e\nt"));
        trigger("Cut");
        QCOMPARE(text()->text(), QStringLiteral("onwo"));
        // Pasted line ends become the text's own, as the game needs them.
        trigger("MnuPaste");
        QCOMPARE(text()->text(), QStringLiteral("one\r\ntwo"));
    }

    void chosenFontIsStoredAndRestored()
    {
        std::optional<QFont> chosen; // the dialog is cancelled first
        FontDialog::setHook([&](const QFont &) { return chosen; });
        QVERIFY(editor()->OpenBlock(QStringLiteral("a")));
        const QFont before = text()->font();
        trigger("MnuFonts");
        QCOMPARE(text()->font(), before);
        QCOMPARE(stored("Settings", "ManEditName"), QStringLiteral("-"));

        chosen = QFont(QStringLiteral("DejaVu Serif"));
        chosen->setPointSize(99); // beyond what the dialog offers
        chosen->setWeight(QFont::Bold);
        chosen->setItalic(true);
        chosen->setUnderline(true);
        trigger("MnuFonts");
        QStringList values;
        for (const char *key : {"ManEditName", "ManEditSize", "ManEditBold", "ManEditItalic", "ManEditUnderline",
                                "ManEditStrikethrough"})
            values << stored("Settings", key);
        QCOMPARE(values, QStringList({text()->font().family(), "72", "True", "True", "True", "False"}));

        delete FrmManEdit::existing();
        QVERIFY(editor()->OpenBlock(QStringLiteral("b")));
        QCOMPARE(text()->font().family(), values[0]);
        QCOMPARE(text()->font().pointSizeF(), 72.0);
        QVERIFY(text()->font().bold() && text()->font().italic() && text()->font().underline());
        QVERIFY(!text()->font().strikeOut());
    }
};

QTEST_MAIN(tst_FrmManEdit)
#include "tst_frmmanedit.moc"
