#pragma once

#include "manualedit/blockformat.h"
#include "manualedit/manualedittarget.h"

#include <QFont>
#include <QFuture>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class DataAssist;
class DiskGuard;
class RecoveryWriter;
class TextLoader;
struct RecoveryFile;
class IniLexer;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QsciScintilla;
class QStringListModel;
class QThreadPool;
class QPushButton;
class QTimer;
class QToolBar;

// The manual editor: raw text of a whole data file, which it can save back
// byte for byte, or of one block, which it never saves. It keeps a search
// history in the settings and remembers its placement and font.
//
// The text control holds the file's text as UTF-8, decoded from the game's
// code page, with every line end as it was: a file saved unchanged is the same
// bytes. Enter types the file's most common line end (CR LF, as the game
// writes its files, when it has none).
//
// There is one editor window, created on first use and deleted when it
// closes. Text only ever arrives together with its target (OpenFile,
// OpenBlock), so a block can never be saved over the file it came from.
class FrmManEdit : public QMainWindow
{
    Q_OBJECT

public:
    ~FrmManEdit() override;
    // The editor window, created when none is open.
    static FrmManEdit *instance();
    // The open editor window, or nullptr.
    static FrmManEdit *existing();
    // For the program's exit paths: closes an open editor, which first asks
    // about unsaved changes and then stores its history and placement. False
    // when the user kept it open (Cancel, or a save that failed).
    static bool closeForExit();

    // Shows a whole data file (folder kind 0: GamePath + "\Data\INI\",
    // 1: "\Data\INI\Object\") and makes it the file that Save writes.
    // Returns false, leaving text and target as they were, when the folder
    // kind is unknown, when the user cancels the question about unsaved
    // changes, or when the file cannot be read (reported with the reason).
    //
    // Also false when the window is closed while the text goes in.
    //
    // Both Open calls show the window and run its loading steps before they
    // return. A large text goes in a piece at a time with event loop turns
    // in between, so input may arrive meanwhile; new text or a close during
    // those turns takes over cleanly.
    bool OpenFile(int FolderKind, const QString &FileName);
    // OpenFile, then puts the caret on line (from 1). False when either fails.
    bool OpenFileAt(int FolderKind, const QString &FileName, int line);
    // The same for a line counted the game's way, as the data check, the
    // index and the stock comparison count them: a lone LF ends no line.
    bool OpenFileAtGameLine(int FolderKind, const QString &FileName, int line);
    // The editor's line (from 1) where a line counted the game's way starts.
    int editorLineOf(int gameLine) const;
    // Shows one block of text, which Save refuses. False when the user
    // cancels the question about unsaved changes.
    bool OpenBlock(const QString &Text);

    // Writes a whole file through a temporary file beside it, in
    // Windows-1252 with the file's own line ends. A block is refused with a
    // message and a failed write is reported; both return false, and the file
    // on disk stays as it was. Nothing is written while text is still going in.
    //
    // Before the file is replaced, its previous version goes to the backup
    // folder (Backups). When that fails the user is asked whether to save
    // without one; anything but Yes leaves the file as it was and returns false.
    bool Save();
    // When a whole file has unsaved changes: asks Save, Discard or Cancel.
    // True when the caller may go on.
    bool maybeSave();

    const ManualEditTarget &target() const { return m_target; }
    bool isLoaded() const { return m_loaded; }
    int LineCount() const { return m_lineCount; }
    QsciScintilla *textControl() const { return m_text; }
    // The bytes Save would write now.
    QByteArray fileBytes(qsizetype *unencodable = nullptr) const;

    // "Find" searches from the top and adds the search text to the history;
    // "Find Next" goes on from the end of the selection. Letter case is
    // ignored and there is no wrap-around.
    void FindText();

    // Puts the caret at the start of line (from 1) and scrolls it into view.
    // False, changing nothing, when there is no such line or the text is
    // still going in. "Go to Line..." asks for the number and calls this.
    bool goToLine(int line);
    // Tests answer the "Go to Line" question through a hook, given the
    // caret's line and the last line; empty means Cancel.
    using GoToLineHook = std::function<std::optional<int>(int current, int last)>;
    static void setGoToLineHook(GoToLineHook hook);

    // Goes to the block of the game data that defines name (letter case
    // ignored; the first of several, which the status bar then says), in
    // this text when it is the file shown, else by opening its file. False,
    // with the reason in the status bar, when no block defines it or the
    // user keeps the current text. F12 and Ctrl+click ask for the name
    // under the caret or the mouse.
    bool goToDefinition(const QString &name);
    // Back to where the last go to definition started (Alt+Left).
    bool goBack();
    // Replaces the top-level block under the caret with its text in the stock
    // table, in the editor only: the user sees it, can undo it and saves as
    // usual. False, with the reason in the status bar, when the caret is in
    // no block or the table has no such block.
    bool replaceBlockWithStock();
    // The stock table that replaceBlockWithStock reads; the program
    // folder's Data.DBF unless a test gives another.
    static void setStockTable(const QString &dbfPath);

    // The file's bytes read again from disk, after another program changed
    // it: the text as after opening, unmodified, the caret on its line.
    void reloadText(const QByteArray &bytes);
    // Replaces the whole text with utf8 as one edit the user can undo; the
    // text is then unsaved. False while text is still going in.
    bool replaceText(const QByteArray &utf8);
    // Opens the recovered file's game file with the recovered text, unsaved,
    // and says when the file on disk changed since the text was loaded, or is
    // gone (the text then stands for the file, and saving asks before writing
    // it anew). False when the file cannot be read or the user keeps the
    // current text.
    bool openRecovered(const RecoveryFile &file);
    DiskGuard *diskGuard() const { return m_guard; }
    // A short note on the last command in the status bar.
    void setNote(const QString &text);
    // The backup series of the file shown (Backups), or empty for a block.
    QString backupSeries() const;
    RecoveryWriter *recovery() const { return m_recovery; }

    // The name around a position of the text, as a header would write it.
    QString nameAt(int position) const;
    // Completion, the cards about names and the problems underlined as the user types.
    DataAssist *assist() const { return m_assist; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FrmManEdit(QWidget *parent = nullptr);

    void buildMenus();
    void buildToolBar();
    void buildStatusBar();

    void showEditor();
    void runLoadingSteps();
    // Starts putting the pending text into the control; fillText waits for
    // it to be in and shows it.
    void startFill();
    bool fillText(const QPointer<FrmManEdit> &self, unsigned generation);
    void applyStoredFont();
    void setTextFont(const QFont &font);
    void applyPalette();
    void setText(QByteArray utf8);
    bool textComplete() const { return m_pending.isNull(); }
    QByteArrayView utf8Text() const;
    int caretLine() const;
    void select(long from, long to);
    void markMatches();
    // The first match of the search text between from and to: its start and end, or -1.
    std::pair<long, long> search(long from, long to) const;
    // The top-level blocks of a text: their header lines (from 0) and "Keyword Name".
    struct Outline
    {
        QList<int> lines;
        QStringList texts;
    };
    static Outline outlineOf(QByteArrayView utf8);
    void updateOutline();
    void fillOutline();
    void followCaret();
    void onOutlineChosen(int index);
    void onModificationChanged(bool modified);
    void foldAll(bool fold);
    void onGoToDefinition();
    // The shown whole file's place in the data check's list of files, or -1.
    qsizetype shownDataFile() const;
    bool writeFile();
    bool keepBackup(const QString &path, const QByteArray &bytes);

    void setActivity(const QString &text);
    void updateLinePanel();
    void onTimer();
    void onToolBarAction(QAction *action);
    void onSave();
    void onFindTextEdited();
    void onMenuExit();
    void onFonts();
    void onFindMenu();
    void onFindNextMenu();
    void onSelectAll();
    void onUndoRedo();
    void onCut();
    void onCopy();
    void onPaste();
    void onDelete();
    void onGoToLine();

    QString selectedText() const;

    const QString m_tag;
    ManualEditTarget m_target;
    int m_folderKind = 0;
    QString m_gameFolder; // GamePath when the file was opened
    QString m_fileName;
    QString m_nativePath;
    bool m_loaded = false;
    bool m_loading = false;
    bool m_closing = false;
    // Text on its way into the text control (UTF-8), which the loading steps
    // put in on a worker thread; null once all of it is in.
    QByteArray m_pending;
    std::unique_ptr<TextLoader> m_loader;
    // Finds the outline of a text while it goes in.
    std::unique_ptr<QThreadPool> m_workers;
    QFuture<Outline> m_outlineJob;
    int m_lineCount = 0;
    // The search text whose matches are marked in the lines on screen, and
    // where they were last marked.
    QByteArray m_marked;
    struct Marks
    {
        QByteArray text;
        long from = -1;
        long to = -1;
        long length = -1;
        bool operator==(const Marks &) const = default;
    };
    Marks m_marks;
    // The top-level blocks of the text: header lines (from 0) and "Keyword
    // Name"; the outline's rows, as indexes into them.
    QList<int> m_headingLines;
    QStringList m_headingTexts;
    QList<int> m_outlineRows;
    // The text's length and line count when the outline was last built.
    std::pair<long, long> m_outlineShape{-1, -1};
    bool m_lookingUp = false;
    // The font the text was last given.
    std::optional<QFont> m_fontSet;
    // Where go to definition started, for Alt+Left.
    struct Place
    {
        bool wholeFile;
        int folderKind;
        QString fileName;
        int line;
    };
    QList<Place> m_back;
    unsigned m_textGeneration = 0;

    QToolBar *m_toolBar = nullptr;
    QComboBox *m_find = nullptr;
    QPushButton *m_btnFind = nullptr;
    QsciScintilla *m_text = nullptr;
    IniLexer *m_lexer = nullptr;
    QLineEdit *m_outlineFilter = nullptr;
    QComboBox *m_outline = nullptr;
    QStringListModel *m_outlineModel = nullptr;
    QTimer *m_outlineTimer = nullptr;
    // SB1_1 to SB1_5, then the modified mark, a note on the last command and
    // the count of problems.
    QLabel *m_panels[8] = {};
    DataAssist *m_assist = nullptr;
    DiskGuard *m_guard = nullptr;
    RecoveryWriter *m_recovery = nullptr;
    QTimer *m_timer = nullptr;
};
