#include "datagen.h"

#include "engine/globals.h"
#include "manualedit/backups.h"
#include "manualedit/frmmanedit.h"
#include "manualedit/settingsstore.h"
#include "platform/messages.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>

// The manual editor on a 20 MB object file (about a million lines), against
// reading that file from disk once (QFile::readAll, warm cache):
//   open (read, decode, fill the text control, loading steps, count lines): <= 400x;
//     the text document's own cost of a few microseconds per line is nearly all of it
//   longest wait for an event loop turn while opening:                        <= 10x
//   Find, then Find Next through 1,000 matches spread over the file:          <= 25x
//   save unchanged (encode, write beside, compare, sync, replace):            <= 25x
//   save after an edit, which also keeps a backup copy of the old file:       <= 40x
//   one key typed at the end of the text, until painted:                      < 50 ms
// and a file just below the colouring limit (FrmManEdit::ColourLimit), which is
// coloured as it goes in, against reading the 20 MB file:
//   open:                                                                     <= 60x
//   longest wait for an event loop turn while opening:                        <= 10x


int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    SettingsStore::redirectTo(dir.path());
    Backups::redirectTo(dir.filePath(QStringLiteral("backups")));
    Messages::setHook([](const Messages::Message &m) {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return QMessageBox::Cancel;
    });
    GamePath = dir.path();
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
    // A zero timer runs at every event loop turn; the longest gap between two
    // runs is how long the program stops answering while a file opens.
    QElapsedTimer clock;
    qint64 lastTurn = 0;
    qint64 longestGap = 0;
    QTimer probe;
    probe.setInterval(0);
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

    // The smaller file first, so that the 20 MB one stays open for the rest.
    const QString colouredName = QStringLiteral("FactionProp.ini");
    DataGen::writeObjectFile(dir.filePath(QStringLiteral("Data/INI/Object/") + colouredName),
                             FrmManEdit::ColourLimit - 64 * 1024);
    const double colouredOpenMs = DataGen::bestOf(3, [&] { open(colouredName); });
    const qint64 colouredGap = longestGap;
    const int colouredLines = lines;
    if (!editor->isColoured())
        std::fprintf(stderr, "the smaller file is not coloured\n");
    app.processEvents();

    longestGap = 0;
    const double openMs = DataGen::bestOf(3, [&] { open(QStringLiteral("FactionUnit.ini")); });
    if (editor->isColoured())
        std::fprintf(stderr, "the 20 MB file is coloured\n");
    app.processEvents();

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
            const int at = editor->textControl()->textCursor().selectionStart();
            if (at > last)
                ++found;
            last = at;
        }
    });
    const int reached = editor->textControl()->textCursor().blockNumber() + 1;

    const double saveMs = DataGen::bestOf(3, [&] {
        if (!editor->Save())
            std::fprintf(stderr, "save failed\n");
    });

    editor->textControl()->moveCursor(QTextCursor::End);
    const double editedSaveMs = DataGen::bestOf(3, [&] {
        editor->textControl()->insertPlainText(QStringLiteral("x"));
        if (!editor->Save())
            std::fprintf(stderr, "save failed\n");
    });
    const int backups = int(Backups::list(QStringLiteral("FactionUnit.ini")).size());

    app.processEvents();
    const double keyMs = DataGen::bestOf(5, [&] {
        QTest::keyClick(editor->textControl(), Qt::Key_X);
        editor->textControl()->viewport()->repaint();
    });

    std::printf("20 MB object file, %d lines: read once %.1f ms\n", lines, readMs);
    std::printf("open into the editor:        %8.1f ms  ratio %6.1f (target <= 400)\n", openMs, openMs / readMs);
    std::printf("longest wait while opening:  %8.1f ms  ratio %6.1f (target <= 10)\n", double(longestGap),
                longestGap / readMs);
    std::printf("Find Next, %4d matches:      %8.1f ms  ratio %6.1f (target <= 25), reached line %d\n", found, findMs,
                findMs / readMs, reached);
    std::printf("save unchanged:              %8.1f ms  ratio %6.1f (target <= 25)\n", saveMs, saveMs / readMs);
    std::printf("save edited, with backup:    %8.1f ms  ratio %6.1f (target <= 40), %d backups\n", editedSaveMs,
                editedSaveMs / readMs, backups);
    std::printf("one key typed at the end:    %8.1f ms            (target < 50 ms)\n", keyMs);
    std::printf("coloured file, %d lines:\n", colouredLines);
    std::printf("  open into the editor:      %8.1f ms  ratio %6.1f (target <= 60)\n", colouredOpenMs,
                colouredOpenMs / readMs);
    std::printf("  longest wait while opening:%8.1f ms  ratio %6.1f (target <= 10)\n", double(colouredGap),
                colouredGap / readMs);

    editor->textControl()->document()->setModified(false);
    delete editor;
    return 0;
}
