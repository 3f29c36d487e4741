#pragma once

#include <QWidget>

class FrmManEdit;
class QPushButton;
class QTreeWidget;
class TextDiffView;

// The backups of the file open in the manual editor (Edit, "Backups..."): one
// row per kept copy with the time it was kept, its size and how many blocks
// differ from the editor's text. Choosing one shows the differences; "Restore
// into Editor" puts its text into the editor as an edit the user can undo,
// unsaved, so that saving stays the user's decision.
class FrmBackups : public QWidget
{
    Q_OBJECT

public:
    // The window for the editor's file, created when none is open, and filled anew.
    static FrmBackups *open(FrmManEdit *editor);

    QTreeWidget *list() const { return m_list; }
    TextDiffView *diff() const { return m_diff; }
    // Puts the chosen copy's text into the editor; false when none is chosen
    // or the editor is gone.
    bool restore();

private:
    explicit FrmBackups(FrmManEdit *editor);
    void fill();
    void showChosen();
    QByteArray chosenBytes() const;

    FrmManEdit *m_editor;
    QTreeWidget *m_list;
    TextDiffView *m_diff;
    QPushButton *m_restore;
};
