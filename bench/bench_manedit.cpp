#include "datagen.h"

#include "engine/datacheck.h"
#include "engine/datagrep.h"
#include "engine/globals.h"
#include "manualedit/backups.h"
#include "manualedit/dataassist.h"
#include "manualedit/frmmanedit.h"
#include "manualedit/recovery.h"
#include "manualedit/settingsstore.h"
#include "manualedit/textcheck.h"
#include "platform/codepage.h"
#include "platform/messages.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QFileInfo>
#include <Qsci/qsciscintilla.h>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

// The manual editor on a 20 MB object file (about a million lines), against
// reading that file from disk once (QFile::readAll, warm cache):
//   open (read, decode, fill the text control, loading steps, outline):      <= 10x
//   longest wait for an event loop turn while opening:                        <= 10x
//   Find, then Find Next through 1,000 matches spread over the file:          <= 5x
//   save unchanged (encode, write beside, compare, sync, replace):            <= 10x
//   save after an edit, which also keeps a backup copy of the old file:       <= 40x
//   one key typed at the end of the text, until painted:                      < 5 ms
//   the same while the recovery file is being written (median of nine):       < 5 ms
//   recovery file: the copy of the text on the event loop's thread:           <= 1x
//   recovery file: written and in place, on a worker thread:                 <= 10x
//   memory the open file takes (resident, after opening):                    <= 4x the file
//   one key typed in a weapon's name, offering the names, problems on:       < 5 ms
// The data checks while typing, against reading the files line by line
// (std::getline), as the index benchmark counts one read:
//   refresh the problems of a 25 MB object file from the editor's text:      <= 3x
//   search every data file of the 20 MB game for a text (grep):               <= 3x

namespace {

// The resident memory of this process in bytes.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * 4096 : 0;
}

// Reads the files line by line, as the index benchmark's one read.
void readLines(const QStringList &paths)
{
    std::string line;
    qint64 bytes = 0;
    for (const QString &path : paths) {
        std::ifstream in(path.toStdString(), std::ios::binary);
        while (std::getline(in, line))
            bytes += qint64(line.size());
    }
    if (bytes == 0)
        std::fprintf(stderr, "nothing read\n");
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    SettingsStore::redirectTo(dir.path());
    Backups::redirectTo(dir.filePath(QStringLiteral("backups")));
    RecoveryFile::redirectTo(dir.filePath(QStringLiteral("recovery")));
    Messages::setHook([](const Messages::Message &m) {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return QMessageBox::Cancel;
    });
    GamePath = dir.path();
    // A whole generated game, its first object file alone 20 MB.
    if (!DataGen::writeGame(dir.path(), 20LL * 1024 * 1024))
        std::fprintf(stderr, "no game written\n");
    const QString path = dir.filePath(QStringLiteral("Data/INI/Object/FactionUnit.ini"));
    DataGen::writeObjectFile(path, 20LL * 1024 * 1024);

    const double readMs = DataGen::bestOf(5, [&] {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.readAll().isEmpty())
            std::fprintf(stderr, "nothing read\n");
    });

    FrmManEdit *editor = FrmManEdit::instance();
    editor->resize(900, 700);
    int lines = 0;
    // A timer due every millisecond runs at the first event loop turn after
    // that; the longest gap between two runs is how long the program stops
    // answering while a file opens. (A zero timer would keep the event loop's
    // thread busy, taking a core from the work that opening hands to others.)
    QElapsedTimer clock;
    qint64 lastTurn = 0;
    qint64 longestGap = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - lastTurn);
        lastTurn = clock.elapsed();
    });
    auto open = [&](const QString &file) {
        probe.start();
        clock.start();
        lastTurn = 0;
        if (!editor->OpenFile(1, file))
            std::fprintf(stderr, "open failed\n");
        lines = editor->LineCount();
        longestGap = std::max(longestGap, clock.elapsed() - lastTurn);
        probe.stop();
    };

    // The memory the first opening takes; then the time of the fastest of three.
    const qint64 before = residentBytes();
    open(QStringLiteral("FactionUnit.ini"));
    app.processEvents();
    // Once the data check of the new text is done (it runs beside, on a copy).
    while (editor->assist()->checking())
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    const qint64 memory = residentBytes() - before;
    longestGap = 0;
    const double openMs = DataGen::bestOf(3, [&] { open(QStringLiteral("FactionUnit.ini")); });
    app.processEvents();
    const qint64 fileSize = QFileInfo(path).size();

    // "BuildTime = 7.0" is in every 20th object, so 1,000 matches reach most of the way through.
    auto *findBox = editor->findChild<QComboBox *>(QStringLiteral("CboFind"));
    int found = 0;
    const double findMs = DataGen::bestOf(3, [&] {
        findBox->lineEdit()->clear();
        QTest::keyClicks(findBox->lineEdit(), QStringLiteral("BuildTime = 7.0"));
        found = 0;
        int last = -1;
        for (int i = 0; i < 1000; ++i) {
            editor->FindText();
            const int at = int(editor->textControl()->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART));
            if (at > last)
                ++found;
            last = at;
        }
    });
    int reached = 0;
    int index = 0;
    editor->textControl()->getCursorPosition(&reached, &index);
    ++reached;

    const double saveMs = DataGen::bestOf(3, [&] {
        if (!editor->Save())
            std::fprintf(stderr, "save failed\n");
    });

    editor->textControl()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    const double editedSaveMs = DataGen::bestOf(3, [&] {
        editor->textControl()->replaceSelectedText(QStringLiteral("x"));
        if (!editor->Save())
            std::fprintf(stderr, "save failed\n");
    });
    const int backups = int(Backups::list(FrmManEdit::instance()->backupSeries()).size());

    app.processEvents();
    const double keyMs = DataGen::bestOf(5, [&] {
        QTest::keyClick(editor->textControl(), Qt::Key_X);
        editor->textControl()->viewport()->repaint();
    });

    // The recovery file: the event loop's thread only copies the text; a
    // worker hashes and writes it, meanwhile keys go on being typed.
    RecoveryWriter *recovery = editor->recovery();
    bool written = false;
    QObject::connect(recovery, &RecoveryWriter::written, [&] { written = true; });
    const auto waitWritten = [&] {
        while (!written)
            app.processEvents(QEventLoop::WaitForMoreEvents);
    };
    double copyMs = 1e9;
    double writeMs = 1e9;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(editor->textControl(), Qt::Key_X);
        written = false;
        QElapsedTimer timer;
        timer.start();
        recovery->writeNow();
        copyMs = std::min(copyMs, timer.nsecsElapsed() / 1e6);
        waitWritten();
        writeMs = std::min(writeMs, timer.nsecsElapsed() / 1e6);
    }
    QList<double> keysWhileWriting;
    for (int i = 0; i < 9; ++i) {
        written = false;
        recovery->writeNow();
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(editor->textControl(), Qt::Key_X);
        editor->textControl()->viewport()->repaint();
        keysWhileWriting << timer.nsecsElapsed() / 1e6;
        waitWritten();
    }

    // A key in a weapon's name halfway down, once the check has run: the
    // names are offered; the check waits for typing to pause.
    DataAssist *assist = editor->assist();
    while (assist->checking())
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    QsciScintilla *text = editor->textControl();
    const long middle = text->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) / 2;
    text->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, middle, text->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    const QByteArray slot = "PRIMARY ";
    const long weapon = text->SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, slot.size(), slot.constData()) + slot.size();
    double nameKeyMs = 1e100;
    bool offered = true;
    for (int i = 0; i < 5; ++i) {
        text->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, weapon);
        QElapsedTimer t;
        t.start();
        QTest::keyClick(text, Qt::Key_G);
        text->viewport()->repaint();
        nameKeyMs = std::min(nameKeyMs, t.nsecsElapsed() / 1e6);
        offered = offered && text->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE);
        text->SendScintilla(QsciScintillaBase::SCI_AUTOCCANCEL);
        text->SendScintilla(QsciScintillaBase::SCI_DELETEBACK);
    }
    const bool checkWaited = assist->checking();

    // The problems of a 25 MB object file, from its text in the editor's
    // encoding, with the index of the other files at hand.
    const QString bigPath = dir.filePath(QStringLiteral("Data/INI/Object/FactionBuilding.ini"));
    DataGen::writeObjectFile(bigPath, 25LL * 1024 * 1024);
    const double bigLineMs = DataGen::bestOf(3, [&] { readLines({bigPath}); });
    QByteArray bigText;
    {
        QFile f(bigPath);
        if (f.open(QIODevice::ReadOnly))
            bigText = f.readAll();
        bigText = CodePage::toUtf8(bigText.constData(), bigText.size());
    }
    DataIndex base;
    base.build(GamePath);
    qsizetype problems = 0;
    const double refreshMs = DataGen::bestOf(3, [&] {
        const QByteArray copy(bigText.constData(), bigText.size()); // as the check takes it from the editor
        problems = TextCheck::run(base, 1, copy).problems.size();
    });

    // Every line of every data file searched for a name.
    QStringList allFiles;
    for (const QString &file : DataCheck::dataFiles())
        allFiles << dir.filePath(QStringLiteral("Data/INI/") + QString(file).replace(u'\\', u'/'));
    const double allLineMs = DataGen::bestOf(3, [&] { readLines(allFiles); });
    int hits = 0;
    const std::optional<DataGrep::Matcher> matcher = DataGrep::Matcher::make(QStringLiteral("genweapon17"), false);
    const double grepMs = DataGen::bestOf(3, [&] {
        hits = 0;
        DataGrep::search(GamePath, *matcher, [&](const DataGrep::Hit &) { ++hits; });
    });

    std::printf("20 MB object file, %d lines: read once %.1f ms\n", lines, readMs);
    std::printf("open into the editor:        %8.1f ms  ratio %6.1f (target <= 10)\n", openMs, openMs / readMs);
    std::printf("longest wait while opening:  %8.1f ms  ratio %6.1f (target <= 10)\n", double(longestGap),
                longestGap / readMs);
    std::printf("Find Next, %4d matches:      %8.1f ms  ratio %6.1f (target <= 5), reached line %d\n", found, findMs,
                findMs / readMs, reached);
    std::printf("save unchanged:              %8.1f ms  ratio %6.1f (target <= 10)\n", saveMs, saveMs / readMs);
    std::printf("save edited, with backup:    %8.1f ms  ratio %6.1f (target <= 40), %d backups\n", editedSaveMs,
                editedSaveMs / readMs, backups);
    std::printf("one key typed at the end:    %8.2f ms            (target < 5 ms)\n", keyMs);
    std::sort(keysWhileWriting.begin(), keysWhileWriting.end());
    std::printf("one key while recovery writes:%7.2f ms            (target < 5 ms, median of 9; worst %.2f ms)\n",
                keysWhileWriting[4], keysWhileWriting.last());
    std::printf("recovery copy, GUI thread:   %8.1f ms  ratio %6.2f (target <= 1)\n", copyMs, copyMs / readMs);
    std::printf("recovery file written:       %8.1f ms  ratio %6.1f (target <= 10)\n", writeMs, writeMs / readMs);
    std::printf("memory after opening:        %8.1f MB  ratio %6.2f of the file (target <= 4)\n", memory / 1048576.0,
                double(memory) / double(fileSize));
    std::printf("one key in a weapon's name:  %8.2f ms            (target < 5 ms), names offered: %s, check waited: %s\n",
                nameKeyMs, offered ? "yes" : "NO", checkWaited ? "yes" : "NO");
    std::printf("25 MB file read by lines %.1f ms; all data files %.1f ms\n", bigLineMs, allLineMs);
    std::printf("problems of the 25 MB file:  %8.1f ms  ratio %6.2f (target <= 3), %lld problems\n", refreshMs,
                refreshMs / bigLineMs, qlonglong(problems));
    std::printf("grep every data file:        %8.1f ms  ratio %6.2f (target <= 3), %d lines\n", grepMs,
                grepMs / allLineMs, hits);

    editor->textControl()->setModified(false);
    delete editor;
    return 0;
}
