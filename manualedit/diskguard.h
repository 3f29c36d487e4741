#pragma once

#include "manualedit/diskstate.h"

#include <QFuture>
#include <QObject>
#include <QThreadPool>
#include <QPointer>

#include <atomic>
#include <memory>

class FrmManEdit;
class QFileSystemWatcher;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;

// Keeps the manual editor's whole file in step with the disk. Other programs
// may change or delete the file while it is open: a watcher, the window's
// activation and every save compare the file with what the editor loaded or
// last saved (DiskState). Text without unsaved edits is reloaded at once; with
// unsaved edits, a bar above the text says so, and a save asks before it
// overwrites the other program's version or writes a deleted file anew.
class DiskGuard : public QObject
{
    Q_OBJECT

public:
    explicit DiskGuard(FrmManEdit *editor);

    // The bar above the text; hidden while the file and the editor agree.
    QFrame *bar() const { return m_bar; }

    // The editor now shows the file at path, which was in state when read.
    void loaded(const QString &path, const DiskState &state);
    // The same for the bytes just read from path. They are hashed on a worker
    // thread once the editor has opened the text, so that opening a large
    // file neither waits for the digest nor shares the processor with it.
    void loaded(const QString &path, const QByteArray &bytes);
    // The editor shows the text it loaded.
    void opened();
    // The editor shows no file (a block).
    void forget();
    // Before bytes are written to the file: true when the file is as it was
    // loaded or saved, or the user agreed to overwrite or recreate it.
    // Compare opens both texts side by side and writes nothing.
    bool confirmWrite(const QByteArray &bytes);
    // bytes are now the file's content.
    void saved(const QString &path, const QByteArray &bytes);
    // Looks at the file now and reacts to a change.
    void check();
    // Shows text in the bar, with Compare and Reload.
    void warn(const QString &text);

    // What the editor loaded or last saved; waits for the digest when it is
    // still being computed.
    const DiskState &state();
    QString path() const { return m_path; }

    // The window that shows the file on disk beside the editor's text.
    static QWidget *showComparison(QWidget *parent, const QByteArray &onDisk, const QByteArray &inEditor);

signals:
    void note(const QString &text);

private:
    void watch();
    void startDigest();
    DiskState::Change compareWithDisk(DiskState *refreshed);
    void showBar(const QString &text, bool canCompare);
    void compareNow();
    void reloadNow();
    // Puts the file as it is on disk now into the editor, and says so.
    void reload(const QString &said);

    FrmManEdit *m_editor;
    QString m_path;
    DiskState m_state;
    QThreadPool m_pool;
    QByteArray m_undigested;      // the bytes loaded, until their digest starts
    std::shared_ptr<std::atomic<bool>> m_stopDigest = std::make_shared<std::atomic<bool>>(false);
    QFuture<QByteArray> m_digest; // of the bytes loaded, while it is computed
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_settle;
    QFrame *m_bar;
    QLabel *m_barText;
    QPushButton *m_compare;
    QPushButton *m_reload;
    bool m_checking = false;
};
