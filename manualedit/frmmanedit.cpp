#include "frmmanedit.h"

#include "engine/datacheck.h"
#include "engine/dataindex.h"
#include "engine/globals.h"
#include "engine/stockdiff.h"
#include "manualedit/backups.h"
#include "manualedit/combolist.h"
#include "manualedit/dataassist.h"
#include "manualedit/diskguard.h"
#include "manualedit/fontdialog.h"
#include "manualedit/frmbackups.h"
#include "manualedit/inilexer.h"
#include "manualedit/recovery.h"
#include "manualedit/settingsstore.h"
#include "manualedit/textcontrol.h"
#include "manualedit/textloader.h"
#include "platform/codepage.h"
#include "platform/eventyield.h"
#include "platform/gamepath.h"
#include "platform/messages.h"
#include "platform/threadpriority.h"
#include "platform/windowplacement.h"
#include "startup/dbctl.h"
#include "wholedata/frmfindinfiles.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStatusBar>
#include <QStringListModel>
#include <QTime>
#include <QThreadPool>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <Qsci/qsciscintilla.h>

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

QPointer<FrmManEdit> s_instance;
FrmManEdit::GoToLineHook s_goToLineHook;
QString s_stockTable;

// While a text goes in on a worker thread, how often the loading steps look
// whether the window was closed or given other text meanwhile.
constexpr int kFillPollMs = 20;

// The indicator that marks the matches of the search text on screen.
constexpr int kMatchIndicator = 8;

// The outline is built again once typing has paused this long.
constexpr int kOutlineDelayMs = 400;

// How much of a file decides which line end Enter types.
constexpr qsizetype kLineEndSample = 1024 * 1024;

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

// Scintilla's line-end mode for the most common line end of the text's
// first part; CR LF when it has none.
int usualLineEnd(QByteArrayView text)
{
    const qsizetype n = std::min(text.size(), kLineEndSample);
    qsizetype counts[3] = {}; // CR LF, CR, LF
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++counts[0];
                ++i;
            } else {
                ++counts[1];
            }
        } else if (text[i] == '\n') {
            ++counts[2];
        }
    }
    if (counts[1] > counts[0] && counts[1] >= counts[2])
        return QsciScintilla::EolMac;
    if (counts[2] > counts[0] && counts[2] > counts[1])
        return QsciScintilla::EolUnix;
    return QsciScintilla::EolWindows;
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

bool isAscii(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) - 1U < 0x7FU; });
}

// The first match of an ASCII needle in text at or after from, letter case
// ignored, or -1. Candidates for the needle's first byte are found sixteen
// bytes at a time; a letter is matched in either case by setting the bit
// that tells them apart, which lets some other bytes through to the full
// comparison as well.
qsizetype findIgnoringCase(QByteArrayView text, qsizetype from, QByteArrayView needle)
{
    const qsizetype last = text.size() - needle.size();
    if (needle.isEmpty() || from > last)
        return -1;
    const char first = foldAscii(needle[0]);
    const bool letter = first >= 'a' && first <= 'z';
    const char caseBit = letter ? 0x20 : 0;
    auto matchesAt = [&](qsizetype at) {
        for (qsizetype k = 0; k < needle.size(); ++k) {
            if (foldAscii(text[at + k]) != foldAscii(needle[k]))
                return false;
        }
        return true;
    };
    qsizetype at = from;
#if defined(__SSE2__)
    const __m128i want = _mm_set1_epi8(first);
    const __m128i bit = _mm_set1_epi8(caseBit);
    for (; at + 16 <= last + 1; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text.data() + at));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(bytes, bit), want)));
        while (mask != 0) {
            const int offset = __builtin_ctz(mask);
            if (matchesAt(at + offset))
                return at + offset;
            mask &= mask - 1;
        }
    }
#endif
    for (; at <= last; ++at) {
        if (char(text[at] | caseBit) == first && matchesAt(at))
            return at;
    }
    return -1;
}

// A name as a header writes it: it ends at a space, a tab, ";" and, in a
// parameter's value, at "=" and ",".
bool isNameByte(char c)
{
    return c != ' ' && c != '\t' && c != ';' && c != '=' && c != ',' && c != '\r' && c != '\n' && c != '\0';
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

    m_text = new TextControl(this);
    m_text->setObjectName(QStringLiteral("TxtManEdit"));
    m_text->setUtf8(true);
    m_text->setWrapMode(QsciScintilla::WrapNone);
    m_text->setEolMode(QsciScintilla::EolWindows);
    m_text->setTabWidth(8);
    m_text->setIndentationsUseTabs(false);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_lexer = new IniLexer(m_text);
    m_lexer->setTextFont(m_text->font());
    m_text->setLexer(m_lexer);
    m_text->setMarginType(0, QsciScintilla::NumberMargin);
    m_text->setMarginLineNumbers(0, true);
    m_text->setFolding(QsciScintilla::BoxedTreeFoldStyle, 2);
    applyPalette();
    m_text->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, kMatchIndicator, QsciScintillaBase::INDIC_ROUNDBOX);
    m_text->SendScintilla(QsciScintillaBase::SCI_INDICSETALPHA, kMatchIndicator, 90);
    m_text->SendScintilla(QsciScintillaBase::SCI_INDICSETUNDER, kMatchIndicator, 1L);
    // No annotations are shown; with them on, every new document and every
    // inserted line would have its height worked out anew.
    m_text->setAnnotationDisplay(QsciScintilla::AnnotationHidden);
    m_loader = std::make_unique<TextLoader>(m_text);
    m_workers = std::make_unique<QThreadPool>();
    m_text->installEventFilter(this);
    m_text->viewport()->installEventFilter(this);
    connect(m_text, &QsciScintilla::modificationChanged, this, &FrmManEdit::onModificationChanged);
    connect(m_text, &QsciScintilla::cursorPositionChanged, this, [this] {
        updateLinePanel();
        followCaret();
    });
    // The control tells about changes of folds, which it needs to open a
    // folded block whose header goes away, and that text is about to go in
    // or out, which the data assistant counts as edits. A note on each
    // inserted or deleted text would make it count the characters before the
    // change for assistive tools, which at the end of a 20 MB file takes a
    // fifth of a second a keystroke; the outline notices edits by the text's
    // length and line count, and by typed characters.
    m_text->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK,
                          (unsigned long)(QsciScintillaBase::SC_MOD_CHANGEFOLD | QsciScintillaBase::SC_MOD_BEFOREINSERT
                                          | QsciScintillaBase::SC_MOD_BEFOREDELETE));
    connect(m_text, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (QsciScintillaBase::SC_UPDATE_CONTENT | QsciScintillaBase::SC_UPDATE_V_SCROLL))
            markMatches();
        const std::pair<long, long> shape{m_text->SendScintilla(QsciScintillaBase::SCI_GETLENGTH), m_text->lines()};
        if ((updated & QsciScintillaBase::SC_UPDATE_CONTENT) && textComplete() && shape != m_outlineShape) {
            m_outlineShape = shape;
            m_outlineTimer->start();
        }
    });
    // A typed character may keep the length (overtyping) but rename a block.
    connect(m_text, &QsciScintillaBase::SCN_CHARADDED, this, [this] {
        if (textComplete())
            m_outlineTimer->start();
    });

    // The outline of the file's blocks sits above the text: a filter box and
    // the list of blocks, which follows the caret.
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *outlineRow = new QHBoxLayout;
    outlineRow->setContentsMargins(2, 2, 2, 0);
    m_outlineFilter = new QLineEdit(central);
    m_outlineFilter->setObjectName(QStringLiteral("TxtOutlineFilter"));
    m_outlineFilter->setPlaceholderText(QStringLiteral("Filter blocks"));
    m_outlineFilter->setClearButtonEnabled(true);
    m_outlineFilter->setMaximumWidth(220);
    m_outline = new QComboBox(central);
    m_outline->setObjectName(QStringLiteral("CboOutline"));
    m_outline->setToolTip(QStringLiteral("The blocks of this file"));
    m_outline->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_outline->setMinimumContentsLength(30);
    m_outline->setMaxVisibleItems(25);
    m_outlineModel = new QStringListModel(m_outline);
    m_outline->setModel(m_outlineModel);
    outlineRow->addWidget(m_outlineFilter);
    outlineRow->addWidget(m_outline, 1);
    layout->addLayout(outlineRow);
    layout->addWidget(m_text, 1);
    setCentralWidget(central);
    // The bar that tells of the file changing on disk sits right above the text.
    m_guard = new DiskGuard(this);
    layout->insertWidget(1, m_guard->bar());
    m_recovery = new RecoveryWriter(this, m_guard);
    connect(m_outlineFilter, &QLineEdit::textChanged, this, &FrmManEdit::fillOutline);
    connect(m_outline, &QComboBox::activated, this, &FrmManEdit::onOutlineChosen);
    m_outlineTimer = new QTimer(this);
    m_outlineTimer->setSingleShot(true);
    m_outlineTimer->setInterval(kOutlineDelayMs);
    connect(m_outlineTimer, &QTimer::timeout, this, &FrmManEdit::updateOutline);

    buildMenus();
    buildToolBar();
    buildStatusBar();
    m_assist = new DataAssist(this, m_text, m_panels[7]);
    connect(m_assist, &DataAssist::note, this, &FrmManEdit::setNote);
    connect(m_guard, &DiskGuard::note, this, &FrmManEdit::setNote);
    setTabOrder(m_outlineFilter, m_outline);
    setTabOrder(m_outline, m_text);

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
    addItem(file, "MnuSave", QStringLiteral("&Save"), &FrmManEdit::onSave)->setShortcut(QKeySequence::Save);
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
    // The shortcuts any text editor offers for saving, finding and going to
    // a line; the text control brings its own for editing.
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
    addSeparator(edit, "MnuSep5");
    addItem(edit, "MnuGoToDefinition", QStringLiteral("Go to &Definition"), &FrmManEdit::onGoToDefinition)
        ->setShortcut(QKeySequence(Qt::Key_F12));
    QAction *back = addItem(edit, "MnuGoBack", QStringLiteral("Go &Back"), nullptr);
    back->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    connect(back, &QAction::triggered, this, [this] { goBack(); });
    QAction *stock = addItem(edit, "MnuReplaceWithStock", QStringLiteral("Replace Block with &Stock"), nullptr);
    connect(stock, &QAction::triggered, this, [this] { replaceBlockWithStock(); });
    QAction *backups = addItem(edit, "MnuBackups", QStringLiteral("Bac&kups..."), nullptr);
    connect(backups, &QAction::triggered, this, [this] {
        if (m_target.isWholeFile() && textComplete())
            FrmBackups::open(this);
        else
            setNote(QStringLiteral("Only a whole data file has backups"));
    });
    addSeparator(edit, "MnuSep6");
    QAction *complete = addItem(edit, "MnuComplete", QStringLiteral("Co&mplete Name"), nullptr);
    complete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Space));
    connect(complete, &QAction::triggered, this, [this] {
        if (textComplete())
            m_assist->complete(true);
    });
    QAction *problem = addItem(edit, "MnuNextProblem", QStringLiteral("Next Pro&blem"), nullptr);
    problem->setShortcut(QKeySequence(Qt::Key_F8));
    connect(problem, &QAction::triggered, this, [this] {
        if (textComplete())
            m_assist->nextProblem();
    });
    QAction *inFiles = addItem(edit, "MnuFindInFiles", QStringLiteral("Find &in Files..."), nullptr);
    inFiles->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(inFiles, &QAction::triggered, this, [this] { FrmFindInFiles::open(selectedText()); });

    QMenu *format = addMenu("MnuFormat", QStringLiteral("F&ormat"));
    addItem(format, "MnuFonts", QStringLiteral("&Fonts"), &FrmManEdit::onFonts);

    QMenu *view = addMenu("MnuView", QStringLiteral("&View"));
    QAction *fold = addItem(view, "MnuFoldAll", QStringLiteral("&Fold All"), nullptr);
    connect(fold, &QAction::triggered, this, [this] { foldAll(true); });
    QAction *unfold = addItem(view, "MnuUnfoldAll", QStringLiteral("&Unfold All"), nullptr);
    connect(unfold, &QAction::triggered, this, [this] { foldAll(false); });
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
    const int minWidths[8] = {
        fm.horizontalAdvance(QStringLiteral("Line 000000 of 000000")),
        fm.horizontalAdvance(QStringLiteral("Loading...")),
        fm.horizontalAdvance(QStringLiteral("Time: ") + clockText(QTime(20, 58, 58))),
        fm.horizontalAdvance(QStringLiteral("Date: ") + QLocale::system().toString(QDate(2000, 12, 28), QLocale::ShortFormat)),
        0,
        fm.horizontalAdvance(QStringLiteral("Modified")),
        0,
        fm.horizontalAdvance(QStringLiteral("Problems: 00000")),
    };
    for (int i = 0; i < 8; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("SB1_%1").arg(i + 1));
        m_panels[i]->setMinimumWidth(minWidths[i] + 8);
        bar->addWidget(m_panels[i], i == 4 ? 1 : 0);
    }
    m_panels[1]->setText(kIdle);
}

// Declared here, where the loader's type is known.
FrmManEdit::~FrmManEdit() = default;

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

    m_guard->loaded(path, bytes);
    QByteArray utf8 = CodePage::toUtf8(bytes);
    bytes.clear();
    setText(std::move(utf8));
    m_target = target;
    m_folderKind = FolderKind;
    m_fileName = FileName;
    m_nativePath = path;
    m_gameFolder = GamePath;
    m_recovery->track(GamePath, FolderKind, FileName, path);
    // The loading steps give the event loop turns: the window may be closed,
    // and even deleted, before they end.
    const QPointer<FrmManEdit> self(this);
    showEditor();
    return self && !m_closing;
}

bool FrmManEdit::OpenFileAt(int FolderKind, const QString &FileName, int line)
{
    return OpenFile(FolderKind, FileName) && goToLine(line);
}

bool FrmManEdit::OpenFileAtGameLine(int FolderKind, const QString &FileName, int line)
{
    return OpenFile(FolderKind, FileName) && goToLine(editorLineOf(line));
}

int FrmManEdit::editorLineOf(int gameLine) const
{
    // The game ends a line only at CR LF or a lone CR, each holding one CR;
    // the editor ends one at a lone LF too.
    const QByteArrayView text = utf8Text();
    qsizetype at = 0;
    for (int line = 1; line < gameLine; ++line) {
        const qsizetype cr = text.indexOf('\r', at);
        if (cr < 0)
            return m_text->lines() + 1;
        at = cr + 1;
        if (at < text.size() && text[at] == '\n')
            ++at;
    }
    return int(m_text->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, (unsigned long)at)) + 1;
}

bool FrmManEdit::OpenBlock(const QString &Text)
{
    if (!maybeSave())
        return false;
    setText(Text.toUtf8());
    m_target = ManualEditTarget();
    m_fileName.clear();
    m_nativePath.clear();
    m_guard->forget();
    m_recovery->track(QString(), 0, QString(), QString());
    showEditor();
    return true;
}

void FrmManEdit::reloadText(const QByteArray &bytes)
{
    if (!textComplete())
        return;
    const int line = caretLine();
    const long firstVisible = m_text->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const QByteArray utf8 = CodePage::toUtf8(bytes);
    // Reloading is no edit the user could undo into the other program's text.
    m_assist->textLoading();
    m_text->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0UL);
    m_text->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
    m_text->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, (unsigned long)utf8.size(), utf8.constData());
    m_text->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    m_text->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1UL);
    m_text->setModified(false);
    m_lineCount = int(m_text->lines());
    const int keep = std::min(line, m_lineCount - 1);
    m_text->setCursorPosition(keep, 0);
    m_text->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, (unsigned long)firstVisible);
    updateLinePanel();
    m_marked.clear();
    m_outlineTimer->start(0);
    m_assist->textLoaded(int(shownDataFile()));
}

bool FrmManEdit::replaceText(const QByteArray &utf8)
{
    if (!textComplete())
        return false;
    const int line = caretLine();
    m_text->beginUndoAction();
    m_text->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, 0UL, m_text->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    m_text->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, (unsigned long)utf8.size(), utf8.constData());
    m_text->endUndoAction();
    m_lineCount = int(m_text->lines());
    m_text->setCursorPosition(std::min(line, m_lineCount - 1), 0);
    updateLinePanel();
    return true;
}

bool FrmManEdit::openRecovered(const RecoveryFile &file)
{
    ManualEditTarget target;
    if (!SetManualEditTarget(target, ManualEditTarget::WholeFile, file.folderKind, file.fileName))
        return false;
    const QString path = GamePaths::nativePath(target.FilePath);
    const bool gone = !QFileInfo::exists(path);
    if (gone) {
        // The text is all that is left of the file: it is shown as the file
        // that was there, so that the bar and a save say it is gone.
        if (!maybeSave())
            return false;
        setText(QByteArray());
        m_target = target;
        m_folderKind = file.folderKind;
        m_gameFolder = GamePath;
        m_fileName = file.fileName;
        m_nativePath = path;
        DiskState was;
        was.exists = true;
        was.sha256 = file.loadedSha256;
        m_guard->loaded(path, was);
        m_recovery->track(GamePath, file.folderKind, file.fileName, path);
        const QPointer<FrmManEdit> self(this);
        showEditor();
        if (!self || m_closing)
            return false;
    } else if (!OpenFile(file.folderKind, file.fileName)) {
        return false;
    }
    const QByteArray loadedFrom = m_guard->state().sha256;
    if (!replaceText(file.text))
        return false;
    // Kept again at once, as it was: opening the file dropped the recovery file.
    file.save(m_recovery->file());
    if (gone) {
        m_guard->check();
        setNote(QStringLiteral("Recovered; the file has gone from the disk since"));
    } else if (loadedFrom != file.loadedSha256) {
        m_guard->warn(QStringLiteral("The file on disk has changed since these unsaved changes were made. Compare "
                                     "shows both; saving overwrites the file on disk."));
        setNote(QStringLiteral("Recovered; the file on disk has changed since"));
    } else {
        setNote(QStringLiteral("Recovered unsaved changes"));
    }
    return true;
}

void FrmManEdit::setText(QByteArray utf8)
{
    // The loading steps put it into the control, and only then replace the
    // old text; until then nothing can be saved, and the old text's changes
    // have already been asked about.
    m_text->setEolMode(QsciScintilla::EolMode(usualLineEnd(utf8)));
    m_pending = utf8.isNull() ? QByteArray("") : std::move(utf8);
    m_loader->cancel();
    m_assist->textLoading();
    m_text->setModified(false);
    // New text runs the loading steps again when the window is next shown.
    m_loaded = false;
    ++m_textGeneration;
}

FrmManEdit::Outline FrmManEdit::outlineOf(QByteArrayView utf8)
{
    const QList<BlockFormat::Heading> headings = BlockFormat::headings(utf8);
    Outline outline;
    outline.lines.reserve(headings.size());
    outline.texts.reserve(headings.size());
    for (const BlockFormat::Heading &heading : headings) {
        outline.lines.append(heading.line);
        outline.texts.append(QString::fromUtf8(heading.keyword + ' ' + heading.name));
    }
    return outline;
}

void FrmManEdit::startFill()
{
    // The text goes into a new document on one worker while another finds
    // the outline's blocks in it; the window keeps answering meanwhile. The
    // outline gives way to the text and to the window's painting.
    m_outlineJob = QtConcurrent::run(m_workers.get(), [text = m_pending] {
        ThreadPriority::lowerCurrentThread();
        return outlineOf(text);
    });
    m_loader->start(m_pending);
}

bool FrmManEdit::fillText(const QPointer<FrmManEdit> &self, unsigned generation)
{
    // The outline is listed as soon as it is found, while the text still goes in.
    auto takeOutline = [this] {
        Outline blocks = m_outlineJob.result();
        m_outlineJob = QFuture<Outline>();
        m_headingLines = std::move(blocks.lines);
        m_headingTexts = std::move(blocks.texts);
        fillOutline();
    };
    QFutureWatcher<Outline> outlineWatcher;
    connect(&outlineWatcher, &QFutureWatcher<Outline>::finished, this, [&] {
        if (self && generation == m_textGeneration && m_outlineJob.isValid())
            takeOutline();
    });
    outlineWatcher.setFuture(m_outlineJob);
    {
        // A load that could not start has nothing to wait for: its future is finished.
        QFutureWatcher<void> watcher;
        QEventLoop wait;
        connect(&watcher, &QFutureWatcher<void>::finished, &wait, &QEventLoop::quit);
        // A close or new text stops the worker at its next piece; a window
        // deleted meanwhile has stopped it already.
        QTimer poll;
        connect(&poll, &QTimer::timeout, &wait, [&] {
            if (!self)
                wait.quit();
            else if (m_closing || generation != m_textGeneration)
                m_loader->cancel();
        });
        poll.start(kFillPollMs);
        watcher.setFuture(m_loader->future());
        if (!watcher.isFinished())
            wait.exec();
        if (!self || m_closing || generation != m_textGeneration)
            return false;
    }
    m_pending = QByteArray();
    if (!m_loader->show()) {
        // Only a lack of memory stops the control taking a text: what it
        // holds is no file, and it cannot be saved over one.
        const QString path = m_nativePath;
        m_target = ManualEditTarget();
        m_fileName.clear();
        m_nativePath.clear();
        m_guard->forget();
        m_recovery->track(QString(), 0, QString(), QString());
        m_headingLines.clear();
        m_headingTexts.clear();
        fillOutline();
        Messages::show(this, {QStringLiteral("%1 could not open the file\n%2\n\nThere is not enough memory for its text.")
                                  .arg(appName(), QDir::toNativeSeparators(path)),
                              m_tag, QMessageBox::Warning});
        return true;
    }
    m_text->setUtf8(true);
    // Filling was part of loading, not an edit the user could undo.
    m_text->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    m_text->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1UL);
    m_text->setModified(false);
    if (m_outlineJob.isValid())
        takeOutline();
    followCaret();
    m_outlineShape = {m_text->SendScintilla(QsciScintillaBase::SCI_GETLENGTH), m_text->lines()};
    return true;
}

QByteArrayView FrmManEdit::utf8Text() const
{
    // The control's own buffer, made contiguous; valid until the next edit.
    const long length = m_text->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const auto *data = reinterpret_cast<const char *>(m_text->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return QByteArrayView(data, length);
}

QByteArray FrmManEdit::fileBytes(qsizetype *unencodable) const
{
    const QByteArrayView text = utf8Text();
    return CodePage::fromUtf8(text.data(), text.size(), unencodable);
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

void FrmManEdit::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_loaded && !m_loading)
        runLoadingSteps();
    // Watchers miss some changes (network folders, a file replaced twice
    // quickly); coming back to the window is when a user expects a look.
    else if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_loaded)
        m_guard->check();
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
        // The text goes in while the window shows that it is loading.
        startFill();
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
        m_lineCount = int(m_text->lines());
        m_marked.clear();
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

        m_text->setCursorPosition(0, 0);
        updateLinePanel();
        setEnabled(true);
        setWindowTitle(m_tag);
        setActivity(kIdle);
        m_text->setFocus();
        // Text that arrived during the turns above gets the steps once more.
    } while (generation != m_textGeneration);
    m_loaded = true;
    m_loading = false;
    m_guard->opened();
    m_assist->textLoaded(int(shownDataFile()));
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
    setTextFont(font);
}

void FrmManEdit::setTextFont(const QFont &font)
{
    // The control's own setFont only reaches text without a lexer; the
    // widget's font is where the chosen font is kept. Every style is laid
    // out anew for a new font, so the same font is not set again.
    if (m_fontSet != font) {
        m_fontSet = font;
        m_text->QWidget::setFont(font);
        m_lexer->setTextFont(font);
        m_text->setMarginsFont(font);
    }
    // Room for the last line's number and a little more.
    m_text->setMarginWidth(0, QStringLiteral("0%1").arg(std::max(m_lineCount, 999)));
}

void FrmManEdit::applyPalette()
{
    // The desktop theme's colours: the styles follow its text and base
    // colours, the margins its window colours. Those of an enabled window:
    // the window is disabled while a text goes in.
    const QPalette palette = m_text->palette();
    m_lexer->setPalette(palette);
    m_text->setMarginsBackgroundColor(palette.color(QPalette::Active, QPalette::Window));
    m_text->setMarginsForegroundColor(palette.color(QPalette::Active, QPalette::WindowText));
    m_text->setFoldMarginColors(palette.color(QPalette::Active, QPalette::Window), palette.color(QPalette::Active, QPalette::Window));
    m_text->setMarkerForegroundColor(palette.color(QPalette::Active, QPalette::Base));
    m_text->setMarkerBackgroundColor(palette.color(QPalette::Active, QPalette::WindowText));
    m_text->setCaretForegroundColor(palette.color(QPalette::Active, QPalette::Text));
    // The caret's line stands out, so that a line the editor was sent to
    // (a problem, a reference, a definition) is seen at once.
    m_text->setCaretLineVisible(true);
    m_text->setCaretLineBackgroundColor(palette.color(QPalette::Active, QPalette::AlternateBase));
    m_text->setSelectionBackgroundColor(palette.color(QPalette::Active, QPalette::Highlight));
    m_text->setSelectionForegroundColor(palette.color(QPalette::Active, QPalette::HighlightedText));
    m_text->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, kMatchIndicator, palette.color(QPalette::Active, QPalette::Highlight));
}

void FrmManEdit::setActivity(const QString &text)
{
    m_panels[1]->setText(text);
    m_panels[1]->repaint();
}

void FrmManEdit::setNote(const QString &text)
{
    m_panels[6]->setText(text);
}

int FrmManEdit::caretLine() const
{
    int line = 0;
    int index = 0;
    m_text->getCursorPosition(&line, &index);
    return line;
}

void FrmManEdit::updateLinePanel()
{
    m_panels[0]->setText(QStringLiteral("Line %1 of %2").arg(caretLine() + 1).arg(m_lineCount));
}

void FrmManEdit::onModificationChanged(bool modified)
{
    m_panels[5]->setText(modified && m_target.isWholeFile() ? QStringLiteral("Modified") : QString());
    // Saved, or undone back to the text on disk: nothing left to recover.
    if (!modified && m_recovery)
        m_recovery->discard();
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
        applyPalette();
    if (type == QEvent::KeyRelease || type == QEvent::MouseButtonRelease) {
        if (watched == m_text || watched == m_text->viewport()) {
            updateLinePanel();
            const auto *mouse = type == QEvent::MouseButtonRelease ? static_cast<QMouseEvent *>(event) : nullptr;
            if (mouse && mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::ControlModifier)) {
                // Ctrl+click goes to the definition of the name clicked.
                const QPoint at = mouse->position().toPoint();
                const long position = m_text->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMPOINTCLOSE,
                                                            (unsigned long)at.x(), long(at.y()));
                if (position >= 0)
                    goToDefinition(nameAt(int(position)));
            }
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

void FrmManEdit::select(long from, long to)
{
    // A selection out of view comes to the middle of it, with the lines
    // around it; one already in view stays where it is.
    const int line = int(m_text->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, (unsigned long)to));
    m_text->SendScintilla(QsciScintillaBase::SCI_ENSUREVISIBLE, (unsigned long)line);
    const long shown = m_text->SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, (unsigned long)line);
    const long first = m_text->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long onScreen = m_text->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    const bool inView = shown >= first && shown < first + onScreen;
    m_text->SendScintilla(QsciScintillaBase::SCI_SETSEL, (unsigned long)from, to);
    if (!inView)
        m_text->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE,
                              (unsigned long)std::max(0L, shown - onScreen / 2));
    // The control tells about the caret's move only when it next paints.
    updateLinePanel();
    followCaret();
}

void FrmManEdit::FindText()
{
    const QString what = m_find->currentText();
    long from;
    if (m_btnFind->text() == kFind) {
        // Appending can make the new entry current; the typed text stays.
        m_find->addItem(what);
        m_find->setEditText(what);
        m_text->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
        from = 0;
    } else {
        from = m_text->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
    }
    // Letter case is ignored and matches may lie inside words; there is no
    // wrap-around, and finding nothing leaves the selection as it is.
    m_marked = what.toUtf8();
    const long length = m_text->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const auto [at, end] = search(from, length);
    if (at >= 0)
        select(at, end);
    markMatches();
    m_text->setFocus();
    ComboList::RemoveDuplicateItems(m_find);
    m_btnFind->setText(kFindNext);
    updateLinePanel();
}

void FrmManEdit::markMatches()
{
    // Only the lines on screen are marked, so a search of a large file costs
    // no more than of a small one; scrolling marks the lines that come in.
    const long first = m_text->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long onScreen = m_text->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    const long firstLine = m_text->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, (unsigned long)first);
    const long lastLine =
        m_text->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, (unsigned long)(first + onScreen + 1));
    long from = m_text->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)firstLine);
    const long to = m_text->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, (unsigned long)lastLine);
    // Marking changes the text's looks, which brings another update: the
    // same lines with the same text are left as they are.
    const long length = m_text->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const Marks marks{m_marked, from, to, length};
    if (marks == m_marks)
        return;
    m_marks = marks;
    m_text->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kMatchIndicator);
    m_text->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0UL, length);
    if (m_marked.isEmpty())
        return;
    while (from < to) {
        const auto [at, end] = search(from, to);
        if (at < 0)
            break;
        m_text->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, (unsigned long)at, end - at);
        from = std::max(end, at + 1);
    }
}

std::pair<long, long> FrmManEdit::search(long from, long to) const
{
    // Text in ASCII, which is nearly every search in a game file, is found
    // in the control's own buffer; other text by the control, which knows
    // the letter cases of every script.
    if (isAscii(m_marked)) {
        // Only the range searched is made contiguous: the lines on screen
        // while typing, not the whole text.
        const auto *range = reinterpret_cast<const char *>(
            m_text->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, (unsigned long)from, to - from));
        const qsizetype at = findIgnoringCase(QByteArrayView(range, to - from), 0, m_marked);
        return {at < 0 ? -1L : long(from + at), at < 0 ? -1L : long(from + at + m_marked.size())};
    }
    m_text->SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, 0UL);
    m_text->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, (unsigned long)from, to);
    const long at = m_text->SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, (unsigned long)m_marked.size(),
                                          m_marked.constData());
    return {at, at < 0 ? -1L : m_text->SendScintilla(QsciScintillaBase::SCI_GETTARGETEND)};
}

bool FrmManEdit::goToLine(int line)
{
    if (!textComplete() || line < 1 || line > m_text->lines())
        return false;
    const long position = m_text->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)(line - 1));
    // Centred, the line comes with the lines around it, which is what a
    // caller sending the user to a reported problem wants seen.
    select(position, position);
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
    const int last = m_text->lines();
    const int current = caretLine() + 1;
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

void FrmManEdit::foldAll(bool fold)
{
    if (!textComplete())
        return;
    // Fold levels come with the styling, which is done for every line first.
    // Every block is folded or unfolded at the end, so the control need not
    // be told of each level set on the way: for a million lines that would
    // take as long again.
    setActivity(QStringLiteral("Folding..."));
    const long mask = m_text->SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK);
    m_text->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
    m_lexer->styleAll();
    m_text->SendScintilla(QsciScintillaBase::SCI_FOLDALL,
                          fold ? QsciScintillaBase::SC_FOLDACTION_CONTRACT : QsciScintillaBase::SC_FOLDACTION_EXPAND);
    m_text->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, (unsigned long)mask);
    setActivity(kIdle);
}

void FrmManEdit::updateOutline()
{
    m_outlineTimer->setInterval(kOutlineDelayMs);
    m_outlineShape = {m_text->SendScintilla(QsciScintillaBase::SCI_GETLENGTH), m_text->lines()};
    Outline outline = outlineOf(utf8Text());
    m_headingLines = std::move(outline.lines);
    // Typing inside a block moves line numbers at most: the list stays.
    if (outline.texts != m_headingTexts || m_outline->count() != m_outlineRows.size()) {
        m_headingTexts = std::move(outline.texts);
        fillOutline();
    }
    followCaret();
}

void FrmManEdit::fillOutline()
{
    // Filtered by the name, not the keyword.
    const QString filter = m_outlineFilter->text().trimmed();
    QStringList items;
    m_outlineRows.clear();
    for (qsizetype i = 0; i < m_headingTexts.size(); ++i) {
        const QString &text = m_headingTexts[i];
        if (!filter.isEmpty() && !QStringView(text).mid(text.indexOf(QLatin1Char(' ')) + 1).contains(filter, Qt::CaseInsensitive))
            continue;
        m_outlineRows.append(int(i));
    }
    if (filter.isEmpty()) {
        items = m_headingTexts;
    } else {
        for (const int row : std::as_const(m_outlineRows))
            items.append(m_headingTexts[row]);
    }
    const QSignalBlocker blocker(m_outline);
    m_outlineModel->setStringList(items);
    followCaret();
}

void FrmManEdit::followCaret()
{
    if (!m_outline)
        return;
    // The last block that starts on or above the caret's line.
    const int line = caretLine();
    const int heading = int(std::upper_bound(m_headingLines.cbegin(), m_headingLines.cend(), line) -
                            m_headingLines.cbegin()) - 1;
    const auto row = std::lower_bound(m_outlineRows.cbegin(), m_outlineRows.cend(), heading);
    const QSignalBlocker blocker(m_outline);
    m_outline->setCurrentIndex(heading >= 0 && row != m_outlineRows.cend() && *row == heading
                                   ? int(row - m_outlineRows.cbegin())
                                   : -1);
}

void FrmManEdit::onOutlineChosen(int index)
{
    if (index >= 0 && index < m_outlineRows.size())
        goToLine(m_headingLines[m_outlineRows[index]] + 1);
}

QString FrmManEdit::nameAt(int position) const
{
    const QByteArrayView text = utf8Text();
    if (position < 0 || position > text.size())
        return QString();
    qsizetype from = position;
    qsizetype to = position;
    while (from > 0 && isNameByte(text[from - 1]))
        --from;
    while (to < text.size() && isNameByte(text[to]))
        ++to;
    return QString::fromUtf8(text.sliced(from, to - from));
}

void FrmManEdit::onGoToDefinition()
{
    goToDefinition(nameAt(int(m_text->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS))));
}

bool FrmManEdit::goToDefinition(const QString &name)
{
    if (!textComplete())
        return false;
    if (name.isEmpty()) {
        setNote(QStringLiteral("No name at the caret"));
        return false;
    }
    // Not while a lookup is under way: building the index gives the event
    // loop turns, in which F12 may come again or the window may close.
    if (m_lookingUp)
        return false;
    // Edits since the outline was last built may have moved the blocks.
    m_outlineTimer->stop();
    updateOutline();
    // The index of the game data, with the text shown in place of its file:
    // unsaved edits may have moved or renamed its blocks.
    const QPointer<FrmManEdit> self(this);
    m_lookingUp = true;
    DataIndex index;
    index.build(GamePath, [&] { return !self || m_closing; });
    if (!self)
        return false;
    m_lookingUp = false;
    if (m_closing)
        return false;
    const qsizetype shownIndex = shownDataFile();
    if (shownIndex >= 0)
        index.setFile(int(shownIndex), FileIndex::fromText(fileBytes()));
    const QList<IndexHit> blocks = index.definitions(name);
    if (blocks.isEmpty()) {
        setNote(QStringLiteral("No block of the game data defines %1").arg(name));
        return false;
    }
    const IndexHit &block = blocks.first();
    const Place from{m_target.isWholeFile(), m_folderKind, m_fileName, caretLine() + 1};
    const DataFile file = SplitDataFile(block.file);
    if (block.fileIndex != shownIndex && !OpenFile(file.FolderKind, file.FileName))
        return false;
    // The editor ends lines at a lone line feed too, where the game does not:
    // its own list of blocks has the header's line in this text.
    int line = block.line;
    const QString wanted = block.kind + QLatin1Char(' ') + block.name;
    for (qsizetype i = 0; i < m_headingTexts.size(); ++i) {
        if (m_headingTexts[i].compare(wanted, Qt::CaseInsensitive) == 0) {
            line = m_headingLines[i] + 1;
            break;
        }
    }
    goToLine(line);
    m_back.append(from);
    setNote(blocks.size() > 1 ? QStringLiteral("%1 is defined %2 times; this is the first, in %3")
                                    .arg(name)
                                    .arg(blocks.size())
                                    .arg(block.file)
                              : QString());
    return true;
}

qsizetype FrmManEdit::shownDataFile() const
{
    if (!m_target.isWholeFile())
        return -1;
    for (qsizetype i = 0; i < DataCheck::dataFiles().size(); ++i) {
        const DataFile file = SplitDataFile(DataCheck::dataFiles()[i]);
        if (file.FolderKind == m_folderKind && file.FileName.compare(m_fileName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool FrmManEdit::goBack()
{
    if (m_back.isEmpty() || !textComplete())
        return false;
    const Place place = m_back.last();
    const bool shown = m_target.isWholeFile() == place.wholeFile &&
                       (!place.wholeFile || (m_folderKind == place.folderKind && m_fileName == place.fileName));
    // A block shown before cannot be shown again: its text is gone.
    if (!place.wholeFile && !shown)
        return false;
    if (shown ? !goToLine(place.line) : !OpenFileAt(place.folderKind, place.fileName, place.line))
        return false;
    if (!m_back.isEmpty())
        m_back.removeLast();
    setNote(QString());
    return true;
}

void FrmManEdit::setStockTable(const QString &dbfPath)
{
    s_stockTable = dbfPath;
}

bool FrmManEdit::replaceBlockWithStock()
{
    if (!textComplete() || !m_target.isWholeFile()) {
        setNote(QStringLiteral("Only a whole data file has stock text"));
        return false;
    }
    m_outlineTimer->stop();
    updateOutline();
    // The block under the caret: its header, to its End line or, without
    // one, to the line before the next header.
    const int caret = caretLine();
    const int heading =
        int(std::upper_bound(m_headingLines.cbegin(), m_headingLines.cend(), caret) - m_headingLines.cbegin()) - 1;
    int last = heading < 0 ? -1 : m_headingLines[heading];
    const int lineCount = m_text->lines();
    for (int line = last + 1; heading >= 0 && line < lineCount; ++line) {
        const long from = m_text->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)line);
        const long to = m_text->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, (unsigned long)line);
        const BlockFormat::Kind kind = BlockFormat::kindOf(utf8Text().sliced(from, to - from), 0, {});
        if (kind == BlockFormat::Kind::Header)
            break;
        last = line;
        if (kind == BlockFormat::Kind::TopEnd)
            break;
    }
    if (heading < 0 || caret > last) {
        setNote(QStringLiteral("The caret is in no block"));
        return false;
    }
    // The same block of the stock file: the same kind and name, and of
    // blocks with the same name the one in the same place.
    const QString &title = m_headingTexts[heading];
    int sameBefore = 0;
    for (int i = 0; i < heading; ++i)
        sameBefore += m_headingTexts[i].compare(title, Qt::CaseInsensitive) == 0;

    const qsizetype shownIndex = shownDataFile();
    const QString shownFile = shownIndex >= 0 ? DataCheck::dataFiles()[shownIndex] : m_fileName;
    const QString dbf = s_stockTable.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/Data.DBF")
                                               : s_stockTable;
    const QFileInfo table(dbf);
    DBCtl stock;
    QList<std::optional<QByteArray>> texts;
    QString error;
    if (!stock.LoadDatabase(table.path(), table.completeBaseName()) || !StockDiff::stockTexts(stock, &texts, &error)) {
        setNote(QStringLiteral("The stock table cannot be read: %1").arg(error.isEmpty() ? stock.errorString() : error));
        return false;
    }
    const std::optional<QByteArray> stockFile = shownIndex >= 0 ? texts.value(shownIndex) : std::nullopt;
    const IndexBlock *found = nullptr;
    const FileIndex stockIndex = stockFile ? FileIndex::fromText(*stockFile) : FileIndex();
    for (const IndexBlock &block : stockIndex.blocks) {
        if ((block.kind + QLatin1Char(' ') + block.name).compare(title, Qt::CaseInsensitive) == 0 && sameBefore-- == 0) {
            found = &block;
            break;
        }
    }
    if (!found) {
        setNote(QStringLiteral("The stock %1 has no %2").arg(shownFile, title));
        return false;
    }
    // The stock lines, found by the game's own line ends (CR LF or a lone CR).
    const QByteArray &bytes = *stockFile;
    qsizetype start = -1;
    qsizetype end = bytes.size();
    int line = 1;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (line == found->line && start < 0)
            start = i;
        if (i == bytes.size())
            break;
        if (bytes[i] != '\r')
            continue;
        if (line == found->lastLine) {
            end = i;
            break;
        }
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        ++line;
    }
    const QByteArray replacement = CodePage::toUtf8(bytes.constData() + start, end - start);

    const long from = m_text->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)m_headingLines[heading]);
    const long to = m_text->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, (unsigned long)last);
    m_text->beginUndoAction();
    m_text->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, (unsigned long)from, to);
    m_text->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, (unsigned long)replacement.size(), replacement.constData());
    m_text->endUndoAction();
    goToLine(m_headingLines[heading] + 1);
    setNote(QStringLiteral("%1 now holds its stock text; Ctrl+Z takes it back").arg(title));
    return true;
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
    // Another program may have changed or deleted the file meanwhile; the
    // watcher may not have told yet.
    if (!m_guard->confirmWrite(bytes))
        return false;
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
    m_guard->saved(path, bytes);
    m_text->setModified(false);
    m_recovery->discard();
    return true;
}

bool FrmManEdit::keepBackup(const QString &path, const QByteArray &bytes)
{
    Backups backups;
    if (backups.backUpBefore(path, bytes, backupSeries()))
        return true;
    const auto answer = Messages::show(
        this, {QStringLiteral("%1 could not keep a backup of the file\n%2\n\n%3\n\nSave it anyway, without a backup? "
                              "The file on disk is only changed if you answer Yes.")
                   .arg(appName(), QDir::toNativeSeparators(path), backups.errorString()),
               m_tag, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No});
    return answer == QMessageBox::Yes;
}

QString FrmManEdit::backupSeries() const
{
    if (!m_target.isWholeFile())
        return QString();
    const QString dataFile =
        m_folderKind == ManualEditTarget::ObjectFolder ? QStringLiteral("Object\\") + m_fileName : m_fileName;
    return Backups::seriesFolder(m_gameFolder, dataFile);
}

bool FrmManEdit::maybeSave()
{
    if (!m_target.isWholeFile() || !m_text->isModified())
        return true;
    const auto answer = Messages::show(
        this, {QStringLiteral("The file\n%1\nhas changes that have not been saved.\n\nDo you want to save them?")
                   .arg(QDir::toNativeSeparators(m_nativePath)),
               m_tag, QMessageBox::Warning, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel});
    if (answer == QMessageBox::Save)
        return Save();
    if (answer != QMessageBox::Discard)
        return false;
    m_recovery->discard();
    return true;
}

void FrmManEdit::onUndoRedo()
{
    Messages::inform(this, QStringLiteral("I am working on this feature, I will realease a new version as soon as I have "
                                          "finished it.\r\nIf yoy want to use 'Undo', Right-click on some text and "
                                          "click on 'Undo'"));
}

QString FrmManEdit::selectedText() const
{
    // Line ends reach the clipboard as line feeds, whatever the file uses.
    QString text = m_text->selectedText();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void FrmManEdit::onCut()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(selectedText());
    m_text->removeSelectedText();
}

void FrmManEdit::onCopy()
{
    QGuiApplication::clipboard()->setText(selectedText());
}

void FrmManEdit::onPaste()
{
    // The control turns the clipboard's line ends into the text's usual one,
    // as Ctrl+V does: a lone LF would join two lines in the game's reading.
    m_text->paste();
}

void FrmManEdit::onDelete()
{
    m_text->removeSelectedText();
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
    setTextFont(font);

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
    m_loader->cancel();
    // Saved, discarded or never changed: nothing left to recover.
    m_recovery->discard();
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
