#include "frmmanedit.h"

#include "manualedit/backups.h"
#include "manualedit/combolist.h"
#include "manualedit/fontdialog.h"
#include "manualedit/inihighlighter.h"
#include "manualedit/settingsstore.h"
#include "platform/eventyield.h"
#include "platform/gamepath.h"
#include "platform/messages.h"
#include "platform/windowplacement.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTime>
#include <QTimer>
#include <QToolBar>

namespace {

QPointer<FrmManEdit> s_instance;
FrmManEdit::GoToLineHook s_goToLineHook;

// The line end before a line whose break differs from the file's usual one,
// kept in the line's block format: a text document copies block formats when
// a line is split, keeps the first line's when two are joined, and restores
// them on undo, so every break keeps its own bytes through editing.
constexpr int kLineEndBefore = QTextFormat::UserProperty + 1;

// Text goes into the control in pieces of about this many characters, each
// ending at a line end, and the event loop gets a turn whenever kFillTurnMs
// have passed: a text document takes a few microseconds per line, so a large
// file would otherwise freeze the program for seconds.
constexpr qsizetype kFillPiece = 64 * 1024;
constexpr qint64 kFillTurnMs = 40;

const QString kFind = QStringLiteral("Find");
const QString kFindNext = QStringLiteral("Find Next");
const QString kIdle = QStringLiteral("Idle");

QString appName()
{
    return QString::fromLatin1(Settings::AppName);
}

QString searchListSection()
{
    return QString::fromLatin1(Settings::SearchListSection);
}

QString settingKey(const Setting &setting)
{
    return QString::fromLatin1(setting.key);
}

// Gives the event loop one turn, whatever the time since the last one.
void yieldOnce()
{
    EventYield::reset();
    EventYield::yield();
}

// Where a piece starting at from should end: just past the first line end at
// or after from + kFillPiece, never between the CR and LF of one line end.
qsizetype pieceEnd(const QString &text, qsizetype from)
{
    const qsizetype n = text.size();
    for (qsizetype i = from + kFillPiece; i < n; ++i) {
        if (text[i] == u'\n')
            return i + 1;
        if (text[i] == u'\r')
            return (i + 1 < n && text[i + 1] == u'\n') ? i + 2 : i + 1;
    }
    return n;
}

// The locale's long time form without the time zone, which a clock panel
// has no room for.
QString clockText(const QTime &time)
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return QLocale::system().toString(time, format.trimmed());
}

} // namespace

FrmManEdit *FrmManEdit::instance()
{
    if (!s_instance)
        s_instance = new FrmManEdit;
    return s_instance;
}

FrmManEdit *FrmManEdit::existing()
{
    return s_instance;
}

bool FrmManEdit::closeForExit()
{
    return !s_instance || s_instance->close();
}

FrmManEdit::FrmManEdit(QWidget *parent)
    : QMainWindow(parent)
    , m_tag(QStringLiteral("Manual Editor"))
{
    setObjectName(QStringLiteral("FrmManEdit"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_tag);
    resize(780, 560);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("TxtManEdit"));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->installEventFilter(this);
    m_text->viewport()->installEventFilter(this);
    connect(m_text->document(), &QTextDocument::contentsChanged, this, [this] { m_searchText.clear(); });
    setCentralWidget(m_text);
    m_highlighter = new IniHighlighter(m_text->palette().color(QPalette::Base), this);

    buildMenus();
    buildToolBar();
    buildStatusBar();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, &FrmManEdit::onTimer);
    m_timer->start();
    onTimer();

    // The history is loaded as soon as the window exists, whatever text it
    // is given later: closing writes the list back over the stored one.
    ComboList::LoadComboList(appName(), searchListSection(), m_find);
    ComboList::RemoveDuplicateItems(m_find);
    m_find->setCurrentIndex(-1);
    m_find->setEditText(QString());
}

void FrmManEdit::buildMenus()
{
    auto addMenu = [this](const char *name, const QString &caption) {
        QMenu *menu = menuBar()->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto addItem = [this](QMenu *menu, const char *name, const QString &caption, void (FrmManEdit::*handler)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (handler)
            connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto addSeparator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu *file = addMenu("MnuFile", QStringLiteral("&File"));
    addItem(file, "MnuSave", QStringLiteral("&Save"), &FrmManEdit::onSave);
    addSeparator(file, "MnuSep1");
    addItem(file, "MnuExit", QStringLiteral("E&xit"), &FrmManEdit::onMenuExit);

    QMenu *edit = addMenu("MnuEdit", QStringLiteral("&Edit"));
    addItem(edit, "MnuUndo", QStringLiteral("&Undo"), &FrmManEdit::onUndoRedo);
    addItem(edit, "MnuRedo", QStringLiteral("&Redo"), &FrmManEdit::onUndoRedo);
    addSeparator(edit, "MnuSep2");
    addItem(edit, "MnuCut", QStringLiteral("Cu&t"), &FrmManEdit::onCut);
    addItem(edit, "MnuCopy", QStringLiteral("&Copy"), &FrmManEdit::onCopy);
    addItem(edit, "MnuPaste", QStringLiteral("&Paste"), &FrmManEdit::onPaste);
    addItem(edit, "MnuDelete", QStringLiteral("&Delete"), &FrmManEdit::onDelete);
    addSeparator(edit, "MnuSep3");
    // The only shortcuts of the editor: what any text editor offers for
    // finding and for going to a line.
    addItem(edit, "MnuFind", QStringLiteral("&Find..."), &FrmManEdit::onFindMenu)->setShortcut(QKeySequence::Find);
    addItem(edit, "MnuFindNext", QStringLiteral("Find &Next"), &FrmManEdit::onFindNextMenu)
        ->setShortcut(QKeySequence(Qt::Key_F3));
    // Replacing is not offered yet.
    addItem(edit, "MnuReplace", QStringLiteral("R&eplace..."), nullptr)->setEnabled(false);
    addItem(edit, "MnuGoToLine", QStringLiteral("&Go to Line..."), &FrmManEdit::onGoToLine)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    addSeparator(edit, "MnuSep4");
    addItem(edit, "MnuSelectAll", QStringLiteral("Select &All"), &FrmManEdit::onSelectAll)
        ->setShortcut(QKeySequence::SelectAll);

    QMenu *format = addMenu("MnuFormat", QStringLiteral("F&ormat"));
    addItem(format, "MnuFonts", QStringLiteral("&Fonts"), &FrmManEdit::onFonts);
}

void FrmManEdit::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("TB1"));
    m_toolBar->setObjectName(QStringLiteral("TB1"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    struct Button
    {
        const char *tip;
        const char *icon;
    };
    // Buttons are named after their tooltips, which is also what a click is
    // dispatched by.
    const Button buttons[] = {{"Save", "document-save"}, {"Cut", "edit-cut"},   {"Copy", "edit-copy"},
                              {"Paste", "edit-paste"},   {"Undo", "edit-undo"}, {"Redo", "edit-redo"}};
    for (const Button &b : buttons) {
        const QString tip = QString::fromLatin1(b.tip);
        QAction *action = m_toolBar->addAction(QIcon::fromTheme(QString::fromLatin1(b.icon)), tip);
        action->setObjectName(tip);
        action->setToolTip(tip);
        m_toolBar->widgetForAction(action)->setObjectName(tip);
        if (QLatin1String(b.tip) == QLatin1String("Paste") || QLatin1String(b.tip) == QLatin1String("Save"))
            m_toolBar->addSeparator();
    }
    connect(m_toolBar, &QToolBar::actionTriggered, this, &FrmManEdit::onToolBarAction);

    m_toolBar->addSeparator();
    m_find = new QComboBox(m_toolBar);
    m_find->setObjectName(QStringLiteral("CboFind"));
    m_find->setEditable(true);
    // The list is the history that FindText keeps; Enter must neither add to
    // it nor swap the typed text for a stored entry, and nothing completes
    // the typed text.
    m_find->setInsertPolicy(QComboBox::NoInsert);
    m_find->setDuplicatesEnabled(true);
    m_find->setCompleter(nullptr);
    m_find->setMinimumContentsLength(28);
    m_find->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_find->lineEdit()->installEventFilter(this);
    connect(m_find->lineEdit(), &QLineEdit::textEdited, this, &FrmManEdit::onFindTextEdited);
    // Choosing another entry of the history is a new search too.
    connect(m_find, &QComboBox::activated, this, &FrmManEdit::onFindTextEdited);
    m_toolBar->addWidget(m_find);

    m_btnFind = new QPushButton(kFind, m_toolBar);
    m_btnFind->setObjectName(QStringLiteral("BtnFind"));
    m_btnFind->setMinimumWidth(m_btnFind->fontMetrics().horizontalAdvance(kFindNext) + 24);
    m_btnFind->installEventFilter(this);
    connect(m_btnFind, &QPushButton::clicked, this, &FrmManEdit::FindText);
    m_toolBar->addWidget(m_btnFind);
}

void FrmManEdit::buildStatusBar()
{
    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("SB1"));
    setStatusBar(bar);
    const QFontMetrics fm = bar->fontMetrics();
    const int minWidths[5] = {
        fm.horizontalAdvance(QStringLiteral("Line 000000 of 000000")),
        fm.horizontalAdvance(QStringLiteral("Loading...")),
        fm.horizontalAdvance(QStringLiteral("Time: ") + clockText(QTime(20, 58, 58))),
        fm.horizontalAdvance(QStringLiteral("Date: ") + QLocale::system().toString(QDate(2000, 12, 28), QLocale::ShortFormat)),
        0,
    };
    for (int i = 0; i < 5; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("SB1_%1").arg(i + 1));
        m_panels[i]->setMinimumWidth(minWidths[i] + 8);
        bar->addWidget(m_panels[i], i == 4 ? 1 : 0);
    }
    m_panels[1]->setText(kIdle);
}

bool FrmManEdit::OpenFile(int FolderKind, const QString &FileName)
{
    ManualEditTarget target;
    if (!SetManualEditTarget(target, ManualEditTarget::WholeFile, FolderKind, FileName))
        return false;
    if (!maybeSave())
        return false;

    const QString path = GamePaths::nativePath(target.FilePath);
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        Messages::show(this, {QStringLiteral("%1 could not open the file\n%2\n\n%3")
                                  .arg(appName(), QDir::toNativeSeparators(path), file.errorString()),
                              m_tag, QMessageBox::Warning});
        return false;
    }
    file.close();

    const RawText raw = RawText::fromBytes(bytes);
    bytes.clear();
    setText(raw.text, raw.otherEnds);
    m_usualEnd = raw.usualEnd;
    m_target = target;
    m_nativePath = path;
    showEditor();
    return true;
}

bool FrmManEdit::OpenBlock(const QString &Text)
{
    if (!maybeSave())
        return false;
    setText(Text);
    m_usualEnd = RawText::CrLf;
    m_target = ManualEditTarget();
    m_nativePath.clear();
    showEditor();
    return true;
}

void FrmManEdit::setText(const QString &text, const QList<RawText::OtherEnd> &otherEnds)
{
    // The loading steps put it into the control, and only then replace the
    // old text (which can take a while for a large one); until then nothing
    // can be saved, and the old text's changes have already been asked about.
    m_pending = text.isNull() ? QStringLiteral("") : text;
    m_pendingFrom = 0;
    m_pendingOtherEnds = otherEnds;
    m_text->document()->setModified(false);
    m_hasOtherEnds = false;
    // New text runs the loading steps again when the window is next shown.
    m_loaded = false;
    ++m_textGeneration;
}

bool FrmManEdit::fillText(const QPointer<FrmManEdit> &self, unsigned generation)
{
    QTextDocument *doc = m_text->document();
    // Filling is part of loading, not an edit the user could undo.
    doc->setUndoRedoEnabled(false);
    QElapsedTimer sinceTurn;
    sinceTurn.start();
    while (!textComplete()) {
        const qsizetype end = pieceEnd(m_pending, m_pendingFrom);
        const QString piece = m_pending.mid(m_pendingFrom, end - m_pendingFrom);
        if (m_pendingFrom == 0) {
            // Attached before the text goes in, the highlighter colours each
            // piece as it arrives, between the event loop turns, instead of
            // the whole text in one go. Detached only once the old text is
            // gone, it has just one piece to take its colours off again.
            const bool colour = m_pending.size() < ColourLimit;
            if (colour && !isColoured())
                m_highlighter->setDocument(doc);
            m_text->setPlainText(piece);
            if (!colour && isColoured())
                m_highlighter->setDocument(nullptr);
        } else {
            QTextCursor cursor(doc);
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(piece);
        }
        m_pendingFrom = end;
        if (end == m_pending.size())
            m_pending = QString();
        if (sinceTurn.elapsed() < kFillTurnMs)
            continue;
        yieldOnce();
        sinceTurn.start();
        // New text, or a close, ends this filling.
        if (!self || m_closing || generation != m_textGeneration)
            return false;
    }
    markOtherLineEnds(m_pendingOtherEnds);
    m_pendingOtherEnds.clear();
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    return true;
}

void FrmManEdit::markOtherLineEnds(const QList<RawText::OtherEnd> &otherEnds)
{
    if (otherEnds.isEmpty())
        return;
    QTextDocument *doc = m_text->document();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    QTextBlock block = doc->begin();
    int line = 0;
    for (const RawText::OtherEnd &other : otherEnds) {
        for (; block.isValid() && line < other.line; ++line)
            block = block.next();
        if (!block.isValid())
            break;
        cursor.setPosition(block.position());
        QTextBlockFormat format;
        format.setProperty(kLineEndBefore, int(other.end));
        cursor.mergeBlockFormat(format);
    }
    cursor.endEditBlock();
    m_hasOtherEnds = true;
}

QByteArray FrmManEdit::fileBytes(qsizetype *unencodable) const
{
    QTextDocument *doc = m_text->document();
    QList<RawText::OtherEnd> otherEnds;
    if (m_hasOtherEnds) {
        int line = 1;
        for (QTextBlock block = doc->begin().next(); block.isValid(); block = block.next(), ++line) {
            const int end = block.blockFormat().intProperty(kLineEndBefore);
            if (end != 0 && end != m_usualEnd)
                otherEnds.append({line, RawText::LineEnd(end)});
        }
    }
    return RawText::toBytes(doc->toRawText(), m_usualEnd, otherEnds, unencodable);
}

void FrmManEdit::showEditor()
{
    if (!m_loaded) {
        runLoadingSteps();
        return;
    }
    show();
    raise();
    activateWindow();
}

const QString &FrmManEdit::searchText()
{
    // Searching one copy of the text is many times faster than searching the
    // document line by line; positions are the same in both.
    if (m_searchText.isNull())
        m_searchText = m_text->document()->toRawText();
    return m_searchText;
}

void FrmManEdit::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_loaded && !m_loading)
        runLoadingSteps();
}

void FrmManEdit::runLoadingSteps()
{
    if (m_loading)
        return;
    m_loading = true;
    QPointer<FrmManEdit> self(this);
    unsigned generation;
    do {
        generation = m_textGeneration;
        // The placement is the one stored when the editor last closed; an
        // open window stays where the user put it.
        if (!isVisible())
            WindowPlacement::LoadWindowPos(this);
        else
            raise();
        show();
        activateWindow();

        setWindowTitle(QStringLiteral("Loading..."));
        setActivity(QStringLiteral("Loading..."));
        m_panels[0]->clear();
        setEnabled(false);
        yieldOnce();
        if (!self || m_closing)
            return;
        if (generation != m_textGeneration)
            continue;
        if (!fillText(self, generation)) {
            if (!self || m_closing)
                return;
            continue;
        }

        setWindowTitle(QStringLiteral("Loading, Calculating Number Of Lines..."));
        m_lineCount = m_text->document()->blockCount();
        yieldOnce();
        if (!self || m_closing)
            return;

        // The history was loaded with the window and holds this session's
        // searches too; reading the store again would drop them.
        setWindowTitle(QStringLiteral("Loading, Loading Search List..."));
        ComboList::RemoveDuplicateItems(m_find);
        yieldOnce();
        if (!self || m_closing)
            return;

        setWindowTitle(QStringLiteral("Loading, Setting Font..."));
        applyStoredFont();
        yieldOnce();
        if (!self || m_closing)
            return;

        m_text->moveCursor(QTextCursor::Start);
        updateLinePanel();
        setEnabled(true);
        setWindowTitle(m_tag);
        setActivity(kIdle);
        m_text->setFocus();
        // Text that arrived during the turns above gets the steps once more.
    } while (generation != m_textGeneration);
    m_loaded = true;
    m_loading = false;
}

void FrmManEdit::applyStoredFont()
{
    QFont font = m_text->font();
    const QString face = Settings::ManEditName.read(font.family());
    if (!face.trimmed().isEmpty())
        font.setFamily(face);
    font.setBold(Settings::textIsTrue(Settings::ManEditBold.read(Settings::boolText(font.bold()))));
    font.setItalic(Settings::textIsTrue(Settings::ManEditItalic.read(Settings::boolText(font.italic()))));
    bool ok = false;
    const double size = Settings::ManEditSize.read(QString::number(font.pointSizeF())).trimmed().toDouble(&ok);
    if (ok && size > 0)
        font.setPointSizeF(size);
    font.setStrikeOut(Settings::textIsTrue(Settings::ManEditStrikethrough.read(Settings::boolText(font.strikeOut()))));
    font.setUnderline(Settings::textIsTrue(Settings::ManEditUnderline.read(Settings::boolText(font.underline()))));
    m_text->setFont(font);
}

void FrmManEdit::setActivity(const QString &text)
{
    m_panels[1]->setText(text);
    m_panels[1]->repaint();
}

void FrmManEdit::updateLinePanel()
{
    m_panels[0]->setText(QStringLiteral("Line %1 of %2").arg(m_text->textCursor().blockNumber() + 1).arg(m_lineCount));
}

void FrmManEdit::onTimer()
{
    m_panels[2]->setText(QStringLiteral("Time: ") + clockText(QTime::currentTime()));
    m_panels[3]->setText(QStringLiteral("Date: ") + QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    m_panels[4]->setText(m_target.isWholeFile() ? QDir::toNativeSeparators(m_nativePath) : QString());
}

bool FrmManEdit::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::PaletteChange && watched == m_text)
        m_highlighter->setBackground(m_text->palette().color(QPalette::Base));
    if (type == QEvent::KeyRelease || type == QEvent::MouseButtonRelease) {
        if (watched == m_text || watched == m_text->viewport()) {
            updateLinePanel();
        } else if (watched == m_btnFind) {
            ComboList::RemoveDuplicateItems(m_find);
        } else if (watched == m_find->lineEdit() && type == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                FindText();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmManEdit::FindText()
{
    const QString what = m_find->currentText();
    QTextDocument *doc = m_text->document();
    int from;
    if (m_btnFind->text() == kFind) {
        // Appending can make the new entry current; the typed text stays.
        m_find->addItem(what);
        m_find->setEditText(what);
        m_text->moveCursor(QTextCursor::Start);
        from = 0;
    } else {
        from = m_text->textCursor().selectionEnd();
    }
    // Letter case is ignored and matches may lie inside words; there is no
    // wrap-around, and finding nothing leaves the selection as it is.
    if (!what.isEmpty()) {
        const qsizetype at = searchText().indexOf(what, from, Qt::CaseInsensitive);
        if (at >= 0) {
            QTextCursor found(doc);
            found.setPosition(int(at));
            found.setPosition(int(at + what.size()), QTextCursor::KeepAnchor);
            m_text->setTextCursor(found);
        }
    }
    m_text->setFocus();
    ComboList::RemoveDuplicateItems(m_find);
    m_btnFind->setText(kFindNext);
    updateLinePanel();
}

bool FrmManEdit::goToLine(int line)
{
    QTextDocument *doc = m_text->document();
    if (!textComplete() || line < 1 || line > doc->blockCount())
        return false;
    m_text->setTextCursor(QTextCursor(doc->findBlockByNumber(line - 1)));
    // Centred, the line comes with the lines around it, which is what a
    // caller sending the user to a reported problem wants seen.
    m_text->centerCursor();
    m_text->setFocus();
    updateLinePanel();
    return true;
}

void FrmManEdit::setGoToLineHook(GoToLineHook hook)
{
    s_goToLineHook = std::move(hook);
}

void FrmManEdit::onGoToLine()
{
    const int last = m_text->document()->blockCount();
    const int current = m_text->textCursor().blockNumber() + 1;
    std::optional<int> line;
    if (s_goToLineHook) {
        line = s_goToLineHook(current, last);
    } else {
        bool ok = false;
        const int chosen = QInputDialog::getInt(this, QStringLiteral("Go to Line"),
                                                QStringLiteral("Line number (1 to %1):").arg(last), current, 1, last, 1,
                                                &ok);
        if (ok)
            line = chosen;
    }
    if (line)
        goToLine(*line);
}

bool FrmManEdit::isColoured() const
{
    return m_highlighter->document() == m_text->document();
}

void FrmManEdit::onFindTextEdited()
{
    m_btnFind->setText(kFind);
}

void FrmManEdit::onFindMenu()
{
    m_find->setFocus();
    m_find->lineEdit()->selectAll();
}

void FrmManEdit::onFindNextMenu()
{
    if (m_find->currentText().isEmpty())
        onFindMenu();
    else
        FindText();
}

void FrmManEdit::onSelectAll()
{
    m_text->selectAll();
    m_text->setFocus();
}

void FrmManEdit::onToolBarAction(QAction *action)
{
    const QString tip = action->toolTip();
    if (tip == QLatin1String("Save"))
        onSave();
    else if (tip == QLatin1String("Cut"))
        onCut();
    else if (tip == QLatin1String("Copy"))
        onCopy();
    else if (tip == QLatin1String("Paste"))
        onPaste();
    else if (tip == QLatin1String("Undo") || tip == QLatin1String("Redo"))
        onUndoRedo();
}

void FrmManEdit::onSave()
{
    Save();
}

bool FrmManEdit::Save()
{
    // Only reachable from code while the loading steps fill the control: the
    // window is disabled then, and half a file must never be written.
    if (!textComplete())
        return false;
    setActivity(QStringLiteral("Saving..."));
    bool saved = false;
    if (m_target.isWholeFile())
        saved = writeFile();
    else
        Messages::inform(this, QStringLiteral("Sorry, %1 can only save 'Files' not 'Objects'").arg(appName()));
    setActivity(kIdle);
    return saved;
}

bool FrmManEdit::writeFile()
{
    qsizetype unencodable = 0;
    const QByteArray bytes = fileBytes(&unencodable);
    if (unencodable > 0) {
        const auto answer = Messages::show(
            this, {QStringLiteral("The text holds %1 character(s) that a game file cannot store. They would be written "
                                  "as '?'.\n\nSave anyway?")
                       .arg(unencodable),
                   m_tag, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No});
        if (answer != QMessageBox::Yes)
            return false;
    }

    // Resolved again now: the file may have been renamed or removed since it was opened.
    const QString path = GamePaths::nativePath(m_target.FilePath);
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    // The backup is taken once the new text is safely beside the file, so a
    // write that fails (a full disk) is reported as such and keeps no copy;
    // a declined backup drops the temporary file with the QSaveFile.
    if (written && !keepBackup(path, bytes))
        return false;
    written = written && file.commit();
    if (!written) {
        Messages::show(this, {QStringLiteral("%1 could not save the file\n%2\n\n%3\n\nThe file on disk has not been "
                                             "changed.")
                                  .arg(appName(), QDir::toNativeSeparators(path), file.errorString()),
                              m_tag, QMessageBox::Warning});
        return false;
    }
    m_nativePath = path;
    m_text->document()->setModified(false);
    return true;
}

bool FrmManEdit::keepBackup(const QString &path, const QByteArray &bytes)
{
    Backups backups;
    if (backups.backUpBefore(path, bytes))
        return true;
    const auto answer = Messages::show(
        this, {QStringLiteral("%1 could not keep a backup of the file\n%2\n\n%3\n\nSave it anyway, without a backup? "
                              "The file on disk is only changed if you answer Yes.")
                   .arg(appName(), QDir::toNativeSeparators(path), backups.errorString()),
               m_tag, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No});
    return answer == QMessageBox::Yes;
}

bool FrmManEdit::maybeSave()
{
    if (!m_target.isWholeFile() || !m_text->document()->isModified())
        return true;
    const auto answer = Messages::show(
        this, {QStringLiteral("The file\n%1\nhas changes that have not been saved.\n\nDo you want to save them?")
                   .arg(QDir::toNativeSeparators(m_nativePath)),
               m_tag, QMessageBox::Warning, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel});
    if (answer == QMessageBox::Save)
        return Save();
    return answer == QMessageBox::Discard;
}

void FrmManEdit::onUndoRedo()
{
    Messages::inform(this, QStringLiteral("I am working on this feature, I will realease a new version as soon as I have "
                                          "finished it.\r\nIf yoy want to use 'Undo', Right-click on some text and "
                                          "click on 'Undo'"));
}

QString FrmManEdit::selectedText() const
{
    QString text = m_text->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void FrmManEdit::onCut()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(selectedText());
    m_text->textCursor().removeSelectedText();
}

void FrmManEdit::onCopy()
{
    QGuiApplication::clipboard()->setText(selectedText());
}

void FrmManEdit::onPaste()
{
    m_text->insertPlainText(QGuiApplication::clipboard()->text());
}

void FrmManEdit::onDelete()
{
    m_text->textCursor().removeSelectedText();
}

void FrmManEdit::onFonts()
{
    const std::optional<QFont> chosen = FontDialog::ShowFontDialog(this);
    if (!chosen)
        return;
    QFont font = m_text->font();
    font.setFamily(chosen->family());
    font.setBold(FontDialog::IsBold(chosen->weight()));
    font.setItalic(chosen->italic());
    font.setPointSizeF(chosen->pointSizeF());
    font.setStrikeOut(chosen->strikeOut());
    font.setUnderline(chosen->underline());
    m_text->setFont(font);

    const QFont set = m_text->font();
    Settings::SaveSetAndYield(settingKey(Settings::ManEditName), set.family());
    Settings::SaveSetAndYield(settingKey(Settings::ManEditBold), Settings::boolText(set.bold()));
    Settings::SaveSetAndYield(settingKey(Settings::ManEditItalic), Settings::boolText(set.italic()));
    Settings::SaveSetAndYield(settingKey(Settings::ManEditSize), QString::number(set.pointSizeF()));
    Settings::SaveSetAndYield(settingKey(Settings::ManEditStrikethrough), Settings::boolText(set.strikeOut()));
    Settings::SaveSetAndYield(settingKey(Settings::ManEditUnderline), Settings::boolText(set.underline()));
}

void FrmManEdit::onMenuExit()
{
    WindowPlacement::SaveWindowPos(this);
    close();
}

void FrmManEdit::closeEvent(QCloseEvent *event)
{
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    // Loading steps that are still giving the event loop turns stop at the
    // next one, and the next caller gets a new window, not this closing one.
    m_closing = true;
    if (s_instance == this)
        s_instance = nullptr;
    // A window that was never shown (its file could not be read) has no
    // placement worth keeping over the stored one.
    if (isVisible())
        WindowPlacement::SaveWindowPos(this);
    SettingsStore::deleteSection(appName(), searchListSection());
    ComboList::SaveComboList(appName(), searchListSection(), m_find);
    event->accept();
}
