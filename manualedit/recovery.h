#pragma once

#include "manualedit/recoveryfile.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>

class DiskGuard;
class FrmManEdit;
class QTimer;
class QWidget;

// Keeps the manual editor's unsaved text in a recovery file (RecoveryFile):
// once typing has paused for a while, the text is copied and written on a
// worker thread, so that typing never waits for the disk. The file goes when
// the text is saved, its edits are discarded or undone, or another text
// takes its place.
class RecoveryWriter : public QObject
{
    Q_OBJECT

public:
    RecoveryWriter(FrmManEdit *editor, DiskGuard *guard);
    ~RecoveryWriter() override;

    // The pause after the last edit before the text is written (5 seconds);
    // tests and the crash helper make it shorter.
    static void setDelay(int ms);

    // The editor now holds the whole file fileName of folder kind in
    // gameFolder, at path; an empty path for a block, which is never kept.
    // The previous text's recovery file goes.
    void track(const QString &gameFolder, int folderKind, const QString &fileName, const QString &path);
    // Writes the text now, when it has unsaved edits.
    void writeNow();
    // Removes the recovery file; the text has been saved or its edits thrown away.
    void discard();

    QString file() const { return m_file; }

signals:
    // A recovery file was written (for the crash test's helper).
    void written(const QString &file);

private:
    void onEdited();
    void onWritten();

    FrmManEdit *m_editor;
    DiskGuard *m_guard;
    QTimer *m_pause;
    QThreadPool m_pool;
    QFutureWatcher<bool> m_watcher;
    QString m_gameFolder;
    int m_folderKind = 0;
    QString m_fileName;
    QString m_path;
    QString m_file;
    QString m_writingFile;
    unsigned m_generation = 0; // a discard makes writes under way stale
    unsigned m_writing = 0;    // the generation of the write under way
    bool m_again = false;      // edits came in while a write ran
};

namespace Recovery {

// Once the main window is up: offers each recovery file of the current game
// folder, "Recover unsaved changes to FILE?" with Recover, Discard and Later.
// Recover opens the file in the editor with the recovered text, unsaved, and
// stops there (the editor holds one text); Discard deletes the recovery file;
// Later keeps it for the next start. Damaged files and those of another game
// folder are left alone. Returns the number of files recovered (0 or 1).
int offerPending(QWidget *parent);

} // namespace Recovery
