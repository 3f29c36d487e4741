#include "diskguard.h"

#include "manualedit/frmmanedit.h"
#include "manualedit/textdiffview.h"
#include "platform/messages.h"
#include "platform/threadpriority.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QtConcurrent>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>

namespace {

// Writers often replace a file in several steps (truncate, write, rename); the
// check waits for them to settle.
constexpr int kSettleMs = 150;

const QString kChangedQuestion = QStringLiteral("The file has changed on disk since it was opened. Overwrite it?");

} // namespace

DiskGuard::DiskGuard(FrmManEdit *editor)
    : QObject(editor)
    , m_editor(editor)
{
    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, &DiskGuard::check);

    m_bar = new QFrame;
    m_bar->setObjectName(QStringLiteral("BarDisk"));
    m_bar->setFrameShape(QFrame::StyledPanel);
    m_bar->setAutoFillBackground(true);
    QPalette palette = m_bar->palette();
    const bool dark = palette.color(QPalette::Base).lightness() < 128;
    palette.setColor(QPalette::Window, dark ? QColor(0x5a, 0x4a, 0x1a) : QColor(0xff, 0xf0, 0xc0));
    palette.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
    m_bar->setPalette(palette);
    auto *row = new QHBoxLayout(m_bar);
    row->setContentsMargins(6, 3, 6, 3);
    m_barText = new QLabel(m_bar);
    m_barText->setObjectName(QStringLiteral("LblDisk"));
    m_barText->setWordWrap(true);
    m_compare = new QPushButton(QStringLiteral("&Compare"), m_bar);
    m_compare->setObjectName(QStringLiteral("BtnDiskCompare"));
    m_reload = new QPushButton(QStringLiteral("&Reload"), m_bar);
    m_reload->setObjectName(QStringLiteral("BtnDiskReload"));
    row->addWidget(m_barText, 1);
    row->addWidget(m_compare);
    row->addWidget(m_reload);
    m_bar->hide();
    connect(m_compare, &QPushButton::clicked, this, &DiskGuard::compareNow);
    connect(m_reload, &QPushButton::clicked, this, &DiskGuard::reloadNow);
}

void DiskGuard::loaded(const QString &path, const QByteArray &bytes)
{
    DiskState state = DiskState::of(path, QByteArray());
    state.sha256.clear();
    loaded(path, state);
    // Kept, shared, until the digest is worked out; the caller may drop its
    // copy at once.
    m_undigested = bytes;
}

void DiskGuard::opened()
{
    startDigest();
}

void DiskGuard::startDigest()
{
    if (m_undigested.isNull())
        return;
    m_digest = QtConcurrent::run(&m_pool, [bytes = std::move(m_undigested), stop = m_stopDigest] {
        ThreadPriority::lowerCurrentThread();
        return DiskState::digest(bytes, stop.get());
    });
    m_undigested = QByteArray();
}

DiskState::Change DiskGuard::compareWithDisk(DiskState *refreshed)
{
    // The same size and time say the file is as it was; only otherwise is
    // its content compared, which needs the digest of what was loaded.
    if (m_state.exists && m_state.sameSizeAndTime(m_path))
        return DiskState::Same;
    return state().compare(m_path, refreshed);
}

const DiskState &DiskGuard::state()
{
    startDigest();
    if (m_digest.isValid()) {
        if (m_state.exists)
            m_state.sha256 = m_digest.result();
        m_digest = QFuture<QByteArray>();
    }
    return m_state;
}

void DiskGuard::loaded(const QString &path, const DiskState &state)
{
    // The digest of an earlier text, if still being worked out, is not wanted.
    m_stopDigest->store(true);
    m_stopDigest = std::make_shared<std::atomic<bool>>(false);
    m_undigested = QByteArray();
    m_digest = QFuture<QByteArray>();
    m_path = path;
    m_state = state;
    m_bar->hide();
    watch();
}

void DiskGuard::forget()
{
    m_path.clear();
    loaded(QString(), DiskState());
    m_bar->hide();
    delete m_watcher;
    m_watcher = nullptr;
}

void DiskGuard::saved(const QString &path, const QByteArray &bytes)
{
    loaded(path, bytes);
    startDigest();
}

void DiskGuard::watch()
{
    // A file replaced by renaming (as this editor and most others save) is a
    // new file: the watcher loses it, so both it and its folder are watched
    // again after every change.
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        connect(m_watcher, &QFileSystemWatcher::fileChanged, m_settle, qOverload<>(&QTimer::start));
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_settle, qOverload<>(&QTimer::start));
    }
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!m_watcher->directories().contains(folder))
        m_watcher->addPath(folder);
    if (!m_watcher->files().isEmpty() && m_watcher->files() != QStringList{m_path})
        m_watcher->removePaths(m_watcher->files());
    if (m_watcher->files().isEmpty() && QFileInfo::exists(m_path))
        m_watcher->addPath(m_path);
}

void DiskGuard::check()
{
    if (m_path.isEmpty() || m_checking)
        return;
    watch();
    // Text still going in is compared once it is all there.
    if (!m_editor->isLoaded())
        return;
    DiskState refreshed;
    switch (compareWithDisk(&refreshed)) {
    case DiskState::Same:
        if (refreshed.exists)
            m_state = refreshed;
        m_bar->hide();
        return;
    case DiskState::Gone:
        showBar(QStringLiteral("The file %1 is gone from the disk: it was deleted or moved. Saving writes it anew, "
                               "after asking.")
                    .arg(QDir::toNativeSeparators(m_path)),
                false);
        emit note(QStringLiteral("The file is gone from the disk"));
        return;
    case DiskState::Changed:
    case DiskState::Back:
        break;
    }
    if (!m_editor->textControl()->isModified()) {
        reload(QStringLiteral("Reloaded: the file was changed on disk"));
        return;
    }
    showBar(QStringLiteral("The file has changed on disk since it was opened. Your unsaved changes are still here; "
                           "saving asks before it overwrites the other version."),
            true);
    emit note(QStringLiteral("The file has changed on disk"));
}

void DiskGuard::warn(const QString &text)
{
    showBar(text, true);
}

void DiskGuard::showBar(const QString &text, bool canCompare)
{
    m_barText->setText(text);
    m_compare->setVisible(canCompare);
    m_reload->setVisible(canCompare);
    m_bar->show();
}

bool DiskGuard::confirmWrite(const QByteArray &bytes)
{
    if (m_path.isEmpty())
        return true;
    DiskState refreshed;
    const DiskState::Change change = compareWithDisk(&refreshed);
    if (change == DiskState::Same)
        return true;
    const QString title = m_editor->windowTitle();
    if (change == DiskState::Gone) {
        const auto answer = Messages::show(
            m_editor, {QStringLiteral("The file\n%1\nis gone from the disk: it was deleted or moved since it was "
                                      "opened.\n\nWrite it anew?")
                           .arg(QDir::toNativeSeparators(m_path)),
                       title, QMessageBox::Warning, QMessageBox::Save | QMessageBox::Cancel, -1, {},
                       QMessageBox::Cancel});
        return answer == QMessageBox::Save;
    }
    const auto answer =
        Messages::show(m_editor, {kChangedQuestion, title, QMessageBox::Warning,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, -1,
                                  {{QMessageBox::Yes, QStringLiteral("&Overwrite")},
                                   {QMessageBox::No, QStringLiteral("Co&mpare")}},
                                  QMessageBox::Cancel});
    if (answer == QMessageBox::Yes)
        return true;
    // No stands for Compare: its place is between the other two.
    if (answer == QMessageBox::No) {
        QByteArray onDisk;
        DiskState::read(m_path, &onDisk);
        showComparison(m_editor, onDisk, bytes);
    }
    return false;
}

void DiskGuard::compareNow()
{
    QByteArray onDisk;
    DiskState::read(m_path, &onDisk);
    showComparison(m_editor, onDisk, m_editor->fileBytes());
}

void DiskGuard::reloadNow()
{
    if (m_editor->textControl()->isModified()) {
        const auto answer = Messages::show(
            m_editor, {QStringLiteral("Discard your unsaved changes and load the file as it is on disk now?"),
                       m_editor->windowTitle(), QMessageBox::Warning, QMessageBox::Discard | QMessageBox::Cancel, -1,
                       {}, QMessageBox::Cancel});
        if (answer != QMessageBox::Discard)
            return;
    }
    reload(QStringLiteral("Reloaded from the disk"));
}

void DiskGuard::reload(const QString &said)
{
    QByteArray bytes;
    const DiskState now = DiskState::read(m_path, &bytes);
    if (!now.exists || now.sha256.isEmpty())
        return;
    m_checking = true;
    m_editor->reloadText(bytes);
    m_checking = false;
    loaded(m_path, now);
    emit note(said);
}

QWidget *DiskGuard::showComparison(QWidget *parent, const QByteArray &onDisk, const QByteArray &inEditor)
{
    auto *window = new QWidget(parent, Qt::Window);
    window->setObjectName(QStringLiteral("FrmDiskCompare"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("On Disk and in the Editor - Torvane Zarnith"));
    window->resize(900, 520);
    auto *layout = new QVBoxLayout(window);
    auto *view = new TextDiffView(window);
    view->setCaptions(QStringLiteral("On disk"), QStringLiteral("In the editor"));
    auto *close = new QPushButton(QStringLiteral("Close"), window);
    close->setObjectName(QStringLiteral("BtnClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addWidget(view, 1);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, window, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), window), &QShortcut::activated, window, &QWidget::close);
    window->show();
    view->compare(onDisk, inEditor);
    view->setFocus();
    return window;
}
