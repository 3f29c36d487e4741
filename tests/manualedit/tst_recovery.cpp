#include "manualedit/recovery.h"

#include "../common/editorsandbox.h"

#include <QCryptographicHash>
#include <QFrame>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <Qsci/qsciscintilla.h>

// Unsaved text kept in a recovery file, and offered at the next start.
class tst_Recovery : public QObject
{
    Q_OBJECT

private:
    const QByteArray m_original = crlf({"Weapon A", "  Damage = 5", "End"});
    std::unique_ptr<EditorSandbox> m_box;

    static FrmManEdit *editor() { return EditorSandbox::editor(); }
    static QsciScintilla *text() { return EditorSandbox::text(); }
    QString weaponPath() const { return m_box->weaponPath(); }
    QString recoveryFolder() const { return RecoveryFile::folder(); }
    QString recoveryFile() const { return RecoveryFile::fileFor(weaponPath()); }
    RecoveryFile keptEdit(const QByteArray &loadedFrom, const QByteArray &text) const
    {
        RecoveryFile file;
        file.gameFolder = m_box->game.path();
        file.fileName = QStringLiteral("Weapon.ini");
        file.path = weaponPath();
        file.loadedSha256 = QCryptographicHash::hash(loadedFrom, QCryptographicHash::Sha256);
        file.text = text;
        return file;
    }

private slots:
    void init()
    {
        m_box = std::make_unique<EditorSandbox>(m_original);
        RecoveryWriter::setDelay(0);
    }

    void cleanup() { m_box.reset(); }

    void pauseInTypingKeepsTheTextAndWhereItCameFrom()
    {
        QVERIFY(editor()->OpenFile(0, QStringLiteral("Weapon.ini")));
        QTest::keyClicks(text(), QStringLiteral("; caf"));
        text()->replaceSelectedText(QStringLiteral("\u00E9 "));
        QTRY_VERIFY(QFile::exists(recoveryFile()));
        const std::optional<RecoveryFile> kept = RecoveryFile::load(recoveryFile());
        QVERIFY(kept);
        QCOMPARE(kept->text, text()->text().toUtf8());
        QCOMPARE(kept->loadedSha256, QCryptographicHash::hash(m_original, QCryptographicHash::Sha256));
        QCOMPARE(kept->path, weaponPath());
        QCOMPARE(kept->fileName, QStringLiteral("Weapon.ini"));
        QCOMPARE(kept->gameFolder, m_box->game.path());
    }

    // Whatever ends the unsaved edits ends their recovery file.
    void fileGoesWithTheEdits_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("saved") << "save";
        QTest::newRow("undone") << "undo";
        QTest::newRow("discarded for new text") << "new text";
        QTest::newRow("discarded on close") << "close";
        QTest::newRow("reloaded from disk") << "reload";
    }

    void fileGoesWithTheEdits()
    {
        QFETCH(QString, end);
        QVERIFY(editor()->OpenFile(0, QStringLiteral("Weapon.ini")));
        QTest::keyClicks(text(), QStringLiteral("x"));
        QTRY_VERIFY(QFile::exists(recoveryFile()));
        m_box->answers.answer = QMessageBox::Discard;
        if (end == QLatin1String("save"))
            QVERIFY(editor()->Save());
        else if (end == QLatin1String("undo"))
            text()->undo();
        else if (end == QLatin1String("new text"))
            QVERIFY(editor()->OpenBlock(QStringLiteral("Object B")));
        else if (end == QLatin1String("close"))
            QVERIFY(editor()->close());
        else
            editor()->findChild<QPushButton *>(QStringLiteral("BtnDiskReload"))->click();
        QVERIFY(!QFile::exists(recoveryFile()));
    }

    void startOffersEachKeptText_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("disk"); // what became of the file since
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("kept");
        QTest::newRow("Recover") << QMessageBox::Yes << "same" << true << true;
        QTest::newRow("Recover, file changed since") << QMessageBox::Yes << "changed" << true << true;
        QTest::newRow("Recover, file gone since") << QMessageBox::Yes << "gone" << true << true;
        QTest::newRow("Discard") << QMessageBox::Discard << "same" << false << false;
        QTest::newRow("Later") << QMessageBox::Cancel << "same" << false << true;
    }

    void startOffersEachKeptText()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, disk);
        QFETCH(bool, opened);
        QFETCH(bool, kept);
        const QByteArray mine = "; mine\r\n" + m_original;
        QVERIFY(keptEdit(m_original, mine).save(recoveryFile()));
        const QByteArray theirs = crlf({"Weapon A", "  Damage = 9", "End"});
        if (disk == QLatin1String("changed"))
            QVERIFY(m_box->game.write(m_box->weapon, theirs));
        if (disk == QLatin1String("gone"))
            QVERIFY(QFile::remove(weaponPath()));
        m_box->answers.answer = answer;

        QCOMPARE(Recovery::offerPending(nullptr), opened ? 1 : 0);
        QCOMPARE(m_box->answers.messages.size(), 1);
        const Messages::Message &offer = m_box->answers.messages.first();
        QCOMPARE(offer.text, QStringLiteral("Recover unsaved changes to %1?").arg(QDir::toNativeSeparators(weaponPath())));
        QCOMPARE(offer.buttons, QMessageBox::Yes | QMessageBox::Discard | QMessageBox::Cancel);
        QCOMPARE(offer.captions.value(0).second, QStringLiteral("&Recover"));
        QCOMPARE(offer.captions.value(2).second, QStringLiteral("&Later"));
        QCOMPARE(FrmManEdit::existing() != nullptr, opened);
        QCOMPARE(QFile::exists(recoveryFile()), kept);
        if (opened) {
            QCOMPARE(text()->text().toUtf8(), mine);
            QVERIFY(text()->isModified());
            // Nothing was saved for the user.
            QCOMPARE(QFile::exists(weaponPath()), disk != QLatin1String("gone"));
            const QByteArray onDisk = disk == QLatin1String("same") ? m_original : theirs;
            QCOMPARE(m_box->weaponOnDisk(), disk == QLatin1String("gone") ? QByteArray() : onDisk);
            QFrame *bar = editor()->findChild<QFrame *>(QStringLiteral("BarDisk"));
            QCOMPARE(bar->isVisibleTo(editor()), disk != QLatin1String("same"));
            QCOMPARE(EditorSandbox::note().contains(QLatin1String("since")), disk != QLatin1String("same"));
            // A file gone since is written anew only after asking.
            m_box->answers.answer = QMessageBox::Save;
            if (disk == QLatin1String("gone")) {
                QVERIFY(editor()->Save());
                QVERIFY2(m_box->answers.lastText().contains(QLatin1String("gone")), qPrintable(m_box->answers.lastText()));
                QCOMPARE(m_box->weaponOnDisk(), mine);
            }
        }
    }

    void damagedOrOtherFoldersFilesAreNotOffered()
    {
        QVERIFY(QDir().mkpath(recoveryFolder()));
        QFile damaged(recoveryFolder() + QStringLiteral("/Weapon.ini-0000000000000000.recovery"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(keptEdit(m_original, "mine").toBytes().chopped(1));
        damaged.close();
        RecoveryFile other = keptEdit(m_original, "theirs");
        other.gameFolder = m_box->game.path() + QStringLiteral("/other");
        QVERIFY(other.save(recoveryFolder() + QStringLiteral("/Armor.ini-1111111111111111.recovery")));
        QCOMPARE(Recovery::offerPending(nullptr), 0);
        QVERIFY(m_box->answers.messages.isEmpty());
        QCOMPARE(QDir(recoveryFolder()).entryList(QDir::Files).size(), 2);
    }

    // The program is killed after typing; the next start offers what was typed.
    void killedProgramsTextIsOfferedAtTheNextStart()
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.start(QStringLiteral(RECOVERY_CHILD),
                    {m_box->game.path(), m_box->user.filePath(QStringLiteral("child")), recoveryFolder(),
                     QStringLiteral("; typed before the crash\r")});
        QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
        QByteArray out;
        while (!out.contains("written\n") && child.waitForReadyRead(30000))
            out += child.readAllStandardOutput();
        QVERIFY2(out.contains("written\n"), out.constData());
        child.kill();
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        m_box->answers.answer = QMessageBox::Yes;
        QCOMPARE(Recovery::offerPending(nullptr), 1);
        QCOMPARE(text()->text(), QStringLiteral("; typed before the crash\r\n") + QString::fromLatin1(m_original));
        QVERIFY(text()->isModified());
        QCOMPARE(m_box->weaponOnDisk(), m_original);
    }
};

QTEST_MAIN(tst_Recovery)
#include "tst_recovery.moc"
