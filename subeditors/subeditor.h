#pragma once

#include "engine/viewerrows.h"

#include <QMainWindow>
#include <QPointer>
#include <QSize>

#include <functional>
#include <optional>

class QAction;
class QMenu;
class QTableWidget;
class SParse;
class TabuletProxy;

// The window all four viewers share: the entries of one data file on the
// left (LstWPN), the chosen entry's values on the right (ValueList, a list
// control). Values typed into the list stay there; the entry's text changes
// only in the manual editor, which "Edit ... in Manual Editor" opens.
//
// Reads yield to the event loop, so input arrives while a list is filled. A
// choice made meanwhile is shown once the running fill is done, never in the
// middle of it, and a window closed meanwhile goes away once it is done.
class SubEditor : public QMainWindow
{
    Q_OBJECT

public:
    ~SubEditor() override;

    // Where the manual-editor hand-off goes: ProgramWindows::openManualEditor
    // unless a hook is installed (tests install one; an empty one removes it).
    using HandOff = std::function<void(int blockFlag, int folderKind, const QString &fileName, const QString &text)>;
    static void setHandOffHook(HandOff hook);

    // The resize rule in twips for an inner size W x H: the value list starts
    // at 30% of the width, the entry list ends 175 twips before it, both fill
    // the height but for 120 twips above and below. A size that would be
    // negative is none, and the window keeps that size as it was.
    struct Layout
    {
        std::optional<int> valueLeft;
        std::optional<int> listWidth;
        std::optional<int> valueWidth;
        std::optional<int> valueHeight;
    };
    static Layout layoutFor(int innerWidth, int innerHeight);

    QTableWidget *entryList() const { return m_entries; }
    TabuletProxy &valueList() const { return *m_values; }
    QString baseTitle() const { return m_kind.baseTitle; }

    // True while the window reads a file or fills its value list.
    bool isBusy() const { return m_busy || m_loading; }
    // True once the window has been closed; a closed window is never shown again.
    bool isClosing() const { return m_closing; }

    // Selects the row whose text is entry (letter case decides only between
    // rows that differ in nothing else) without showing its values; false,
    // and the selection unchanged, when there is no such row.
    bool selectEntry(const QString &entry);

    // Hands the selected entry's block to the manual editor (a block of the
    // viewer's own file, which the editor never saves).
    void editInManualEditor();

protected:
    struct Kind
    {
        const char *windowName;
        QString baseTitle;
        QSize designInnerSize;  // twips
        QString firstColumn;
        int firstColumnWidth;   // twips
        QString secondColumn;
        int secondColumnWidth;  // twips
        QString blockKeyword;
        QString iniFile;
        QString manualEditCaption;
    };
    SubEditor(const Kind &kind, QWidget *parent = nullptr);

    // Restores the placement, fills the entry list and prepares the value
    // list; called once, right after construction.
    void load();
    virtual void fillEntries() = 0;
    virtual bool selectsFirstRow() const { return true; }
    // The rows of the named entry, read afresh from its file.
    virtual QList<ViewerRow> rowsFor(const QString &name) = 0;

    // Appends an entry row with its key, in the order rows are read.
    void addEntry(const QString &text, const QString &key);

    QMenu *fileMenu() const { return m_fileMenu; }
    SParse &parser() const { return *m_parser; }

    // The single instance of a viewer: created and loaded on first use, the
    // entry's row selected, shown when asked. Null when the window was closed
    // while it loaded.
    template<typename Window>
    static Window *openWindow(QPointer<Window> &instance, const QString &entry, bool show)
    {
        if (!instance || instance->isClosing()) {
            instance = new Window;
            instance->load();
            if (!instance || instance->isClosing())
                return nullptr;
        }
        Window *window = instance;
        if (!entry.isEmpty())
            window->selectEntry(entry);
        if (show)
            window->bringForward();
        return window;
    }

    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    // Connected by name: the program reaches the list control only through
    // its meta-object.
    void onValueListMouseDown(short &Button, short &Shift, float &x, float &y);

private:
    void bringForward();
    void onEntryRowChanged();
    void onEntryClicked();
    void queueSelection();
    void runQueuedSelection();
    void showSelection();
    void fillValueList(const QList<ViewerRow> &rows);
    void handOffSelection();
    void finishBusy();
    void popUpMenu(const QPoint &globalPos);
    void applyLayout();
    int px(int twips) const;

    Kind m_kind;
    SParse *m_parser = nullptr;
    QWidget *m_central = nullptr;
    QTableWidget *m_entries = nullptr;
    QWidget *m_valueWidget = nullptr;
    TabuletProxy *m_values = nullptr;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_popup = nullptr;

    bool m_loading = false;
    bool m_busy = false;           // Busy: a fill or a hand-off is under way
    bool m_closing = false;
    bool m_quietSelection = false; // the program, not the user, moves the selection
    bool m_selectionQueued = false;
    bool m_selectionPending = false;
    bool m_handOffPending = false;
};
