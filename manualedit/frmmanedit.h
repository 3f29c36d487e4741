#pragma once

#include "manualedit/manualedittarget.h"
#include "manualedit/rawtext.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <optional>

class IniHighlighter;
class QAction;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolBar;

// The manual editor: raw text of a whole data file, which it can save back
// byte for byte, or of one block, which it never saves. It keeps a search
// history in the settings and remembers its placement and font.
//
// There is one editor window, created on first use and deleted when it
// closes. Text only ever arrives together with its target (OpenFile,
// OpenBlock), so a block can never be saved over the file it came from.
class FrmManEdit : public QMainWindow
{
    Q_OBJECT

public:
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
    // Both Open calls show the window and run its loading steps before they
    // return. A large text goes in a piece at a time with event loop turns
    // in between, so input may arrive meanwhile; new text or a close during
    // those turns takes over cleanly.
    bool OpenFile(int FolderKind, const QString &FileName);
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
    QPlainTextEdit *textControl() const { return m_text; }
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

    // Texts of at least this many characters are shown without colours:
    // colouring makes a text take about half as long again to go in (two
    // seconds more for a 20 MB file), and a new desktop theme colours every
    // line again in one go.
    static constexpr qsizetype ColourLimit = 2 * 1024 * 1024;
    bool isColoured() const;

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
    bool fillText(const QPointer<FrmManEdit> &self, unsigned generation);
    void applyStoredFont();
    void setText(const QString &text, const QList<RawText::OtherEnd> &otherEnds = {});
    void markOtherLineEnds(const QList<RawText::OtherEnd> &otherEnds);
    bool textComplete() const { return m_pending.isNull(); }
    const QString &searchText();
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
    QString m_nativePath;
    RawText::LineEnd m_usualEnd = RawText::CrLf;
    bool m_hasOtherEnds = false;
    bool m_loaded = false;
    bool m_loading = false;
    bool m_closing = false;
    // Text on its way into the text control, which the loading steps fill a
    // piece at a time; null once all of it is in.
    QString m_pending;
    qsizetype m_pendingFrom = 0;
    QList<RawText::OtherEnd> m_pendingOtherEnds;
    // The control's raw text for finding, dropped at every change.
    QString m_searchText;
    int m_lineCount = 0;
    unsigned m_textGeneration = 0;

    QToolBar *m_toolBar = nullptr;
    QComboBox *m_find = nullptr;
    QPushButton *m_btnFind = nullptr;
    QPlainTextEdit *m_text = nullptr;
    IniHighlighter *m_highlighter = nullptr;
    QLabel *m_panels[5] = {};
    QTimer *m_timer = nullptr;
};
