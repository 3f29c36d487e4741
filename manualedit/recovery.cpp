#include "recovery.h"

#include "engine/globals.h"
#include "manualedit/diskguard.h"
#include "manualedit/frmmanedit.h"
#include "manualedit/settingsstore.h"
#include "platform/messages.h"
#include "platform/threadpriority.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <QtConcurrent>
#include <Qsci/qsciscintilla.h>

namespace {

int g_delayMs = 5000;

} // namespace

RecoveryWriter::RecoveryWriter(FrmManEdit *editor, DiskGuard *guard)
    : QObject(editor)
    , m_editor(editor)
    , m_guard(guard)
{
    m_pool.setMaxThreadCount(1);
    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    connect(m_pause, &QTimer::timeout, this, &RecoveryWriter::writeNow);
    connect(&m_watcher, &QFutureWatcher<bool>::finished, this, &RecoveryWriter::onWritten);
    // Told before each change, as the data assistant is (see FrmManEdit for
    // why the control is asked for no more).
    connect(editor->textControl(), &QsciScintillaBase::SCN_MODIFIED, this, [this](int, int type) {
        if (type & (QsciScintillaBase::SC_MOD_BEFOREINSERT | QsciScintillaBase::SC_MOD_BEFOREDELETE))
            onEdited();
    });
}

RecoveryWriter::~RecoveryWriter()
{
    // The text it holds is a copy; a write under way finishes on its own.
    m_watcher.waitForFinished();
}

void RecoveryWriter::setDelay(int ms)
{
    g_delayMs = ms;
}

void RecoveryWriter::track(const QString &gameFolder, int folderKind, const QString &fileName, const QString &path)
{
    if (!path.isEmpty() && RecoveryFile::fileFor(path) == m_file) {
        m_gameFolder = gameFolder;
        m_folderKind = folderKind;
        m_fileName = fileName;
        return;
    }
    discard();
    m_gameFolder = gameFolder;
    m_folderKind = folderKind;
    m_fileName = fileName;
    m_path = path;
    m_file = path.isEmpty() ? QString() : RecoveryFile::fileFor(path);
}

void RecoveryWriter::onEdited()
{
    if (!m_file.isEmpty() && m_editor->isLoaded())
        m_pause->start(g_delayMs);
}

void RecoveryWriter::writeNow()
{
    m_pause->stop();
    if (m_file.isEmpty() || !m_editor->isLoaded())
        return;
    if (!m_editor->textControl()->isModified()) {
        discard();
        return;
    }
    if (m_watcher.isRunning()) {
        m_again = true;
        return;
    }
    RecoveryFile record;
    record.gameFolder = m_gameFolder;
    record.folderKind = m_folderKind;
    record.fileName = m_fileName;
    record.path = m_path;
    record.loadedSha256 = m_guard->state().sha256;
    // One copy of the text here; the hashing and writing happen on a worker.
    const QsciScintilla *text = m_editor->textControl();
    const long length = text->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const auto *data = reinterpret_cast<const char *>(text->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    record.text = QByteArray(data, length);
    m_writing = m_generation;
    m_writingFile = m_file;
    // On a pool of its own: Qt's painting splits image work over the global
    // pool and waits for it, so a write there would hold up the next paint.
    m_watcher.setFuture(
        QtConcurrent::run(&m_pool, [record = std::move(record), file = m_file] {
            ThreadPriority::lowerCurrentThread();
            return record.save(file);
        }));
}

void RecoveryWriter::onWritten()
{
    // Saved or discarded while it was being written: that text must not come back.
    if (m_writing != m_generation)
        QFile::remove(m_writingFile);
    else if (m_watcher.result())
        emit written(m_file);
    // Edits that came in meanwhile, after a discard too, are written now.
    if (std::exchange(m_again, false))
        writeNow();
}

void RecoveryWriter::discard()
{
    m_pause->stop();
    m_again = false;
    ++m_generation;
    if (!m_file.isEmpty())
        QFile::remove(m_file);
}

namespace Recovery {

int offerPending(QWidget *parent)
{
    for (const QString &path : RecoveryFile::pending()) {
        const std::optional<RecoveryFile> record = RecoveryFile::load(path);
        if (!record || QDir::cleanPath(record->gameFolder) != QDir::cleanPath(GamePath))
            continue;
        const auto answer = Messages::show(
            parent, {QStringLiteral("Recover unsaved changes to %1?").arg(QDir::toNativeSeparators(record->path)),
                     QString::fromLatin1(Settings::AppName), QMessageBox::Question,
                     QMessageBox::Yes | QMessageBox::Discard | QMessageBox::Cancel, -1,
                     {{QMessageBox::Yes, QStringLiteral("&Recover")},
                      {QMessageBox::Discard, QStringLiteral("&Discard")},
                      {QMessageBox::Cancel, QStringLiteral("&Later")}},
                     QMessageBox::Yes});
        if (answer == QMessageBox::Discard) {
            QFile::remove(path);
        } else if (answer == QMessageBox::Yes) {
            if (FrmManEdit::instance()->openRecovered(*record))
                return 1;
        }
    }
    return 0;
}

} // namespace Recovery
