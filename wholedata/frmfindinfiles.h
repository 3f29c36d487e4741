#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Searches every line of the thirteen data files for a text (letter case
// ignored) or a regular expression. Rows arrive while the search runs, and
// the window stays responsive; a double-click opens the file in the manual
// editor at that line.
class FrmFindInFiles : public QWidget
{
    Q_OBJECT

public:
    // The single window, created on first use and wired to the manual
    // editor; shown, and searching for text unless it is empty.
    static FrmFindInFiles *open(const QString &text = QString());

    explicit FrmFindInFiles(QWidget *parent = nullptr);

    // Lists the matching lines; a search under way is stopped first.
    void search(const QString &text, bool regex);
    bool isSearching() const { return m_busy; }
    QTreeWidget *list() const { return m_list; }

    // More rows than this stop the search: a search for a common word
    // would otherwise list most of the data.
    static constexpr int kMaxRows = 20000;

signals:
    // folderKind 0 for Data\INI, 1 for its Object folder; line counted the game's way.
    void openRequested(int folderKind, const QString &fileName, int line);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onActivated(QTreeWidgetItem *item);
    void flush(QList<QTreeWidgetItem *> &pending);

    QLineEdit *m_text;
    QCheckBox *m_regex;
    QPushButton *m_find;
    QProgressBar *m_progress;
    QLabel *m_summary;
    QTreeWidget *m_list;
    bool m_busy = false;
    bool m_stop = false;    // the search under way is to stop
    bool m_closing = false; // closed while searching
};
