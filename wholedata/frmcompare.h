#pragma once

#include "engine/stockdiff.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The game's data files against their stock copies in the table that ships
// with the program: the files that differ, with how many blocks were added,
// removed and changed, and for the chosen block the stock and the game text
// side by side with the differing lines marked.
class FrmCompare : public QWidget
{
    Q_OBJECT

public:
    // The single window, created on first use; each opening compares again.
    static FrmCompare *open();
    // The stock table to compare with; the program folder's Data.DBF unless
    // a test gives another.
    static void setStockTable(const QString &dbfPath);

    explicit FrmCompare(QWidget *parent = nullptr);

    void compare();
    QTreeWidget *changes() const { return m_changes; }
    QPlainTextEdit *stockText() const { return m_stock; }
    QPlainTextEdit *gameText() const { return m_game; }

signals:
    // folderKind 0 for Data\INI, 1 for its Object folder.
    void openRequested(int folderKind, const QString &fileName, int line);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showBlock();
    void openInEditor();

    QList<FileDiff> m_files;
    QTreeWidget *m_changes;
    QPlainTextEdit *m_stock;
    QPlainTextEdit *m_game;
    QPushButton *m_open;
    QProgressBar *m_progress;
    QLabel *m_summary;
    bool m_busy = false;
    bool m_closing = false; // closed during a comparison
};
