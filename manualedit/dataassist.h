#pragma once

#include "manualedit/textcheck.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <memory>

class FrmManEdit;
class QLabel;
class QTimer;
class QsciScintilla;

// What the manual editor knows of the game data while the user types: the
// names a value can take and the parameters a block has (completion), a card
// about the block a name under the mouse defines, and the data check's
// problems underlined in the text. It reads the text and never changes it,
// except to put in a completion the user accepts.
//
// The check runs on a worker thread, on a copy of the text, once typing has
// paused; its results are shown only when no edit came in meanwhile.
class DataAssist : public QObject
{
    Q_OBJECT

public:
    DataAssist(FrmManEdit *editor, QsciScintilla *text, QLabel *panel);
    ~DataAssist() override;

    // A new text is going into the control: what was known of the old one goes.
    void textLoading();
    // The new text is in. fileIndex: its place in the data check's files, or
    // -1 for a block or another file, which gets completion but no check.
    void textLoaded(int fileIndex);

    // Completion at the caret; with onDemand also before anything is typed
    // (Ctrl+Space). False when the caret is where nothing is offered.
    bool complete(bool onDemand);
    // Puts the caret on the next problem after it, from the top after the last.
    bool nextProblem();

    const QList<TextCheck::Mark> &marks() const { return m_marks; }
    // True while a check is waiting for typing to pause or running.
    bool checking() const;
    // The rows of the card for the name at a position of the text (empty
    // when no block defines it).
    QStringList cardRowsAt(int position) const;

signals:
    // A short note for the status bar.
    void note(const QString &text);

private:
    struct Job
    {
        unsigned loads = 0;
        unsigned edits = 0;
        TextCheck::Result result;
        QHash<QByteArray, QList<QByteArray>> parameters;
    };

    void onModified(int type);
    void startCheck();
    void onChecked();
    void showMarks();
    void onCharAdded(int ch);
    void onDwellStart(int position, int x, int y);
    QList<QByteArray> namesFor(const QByteArray &keyword);

    FrmManEdit *m_editor;
    QsciScintilla *m_text;
    QLabel *m_panel;
    QTimer *m_pause;
    QThreadPool m_pool;
    QFutureWatcher<Job> m_watcher;
    int m_fileIndex = -1;
    bool m_ready = false;      // a whole text is in the control
    bool m_needBase = true;    // the index of the other files is to be built
    bool m_running = false;    // a check runs, or its results are still to be shown
    bool m_rerun = false;      // edits came in while a check ran
    unsigned m_edits = 0;      // counts every change of the text
    unsigned m_loads = 0;      // counts the texts loaded
    // m_loads, for the check's thread, which may outlive the editor
    std::shared_ptr<std::atomic<unsigned>> m_loadsNow = std::make_shared<std::atomic<unsigned>>(0);
    DataIndex m_index;         // the definitions of the game data, the text in place of its file
    QList<TextCheck::Mark> m_marks;
    QHash<QByteArray, QList<QByteArray>> m_parameters;
    QHash<QByteArray, QList<QByteArray>> m_names; // by keyword, from m_index
};
