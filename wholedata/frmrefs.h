#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;

// Where a name is defined and where it is used in the thirteen data files:
// the definitions first, then the uses, each in the data check's file order.
// Double-clicking a row opens its whole file in the manual editor at that line.
class FrmRefs : public QWidget
{
    Q_OBJECT

public:
    // The single window, created on first use; shown and looking up name
    // (an empty name only shows it).
    static FrmRefs *open(const QString &name);

    explicit FrmRefs(QWidget *parent = nullptr);

    // Builds the index afresh and lists the rows for name. The window stays
    // responsive meanwhile; closing it stops the work.
    void lookUp(const QString &name);
    QTreeWidget *list() const { return m_list; }

signals:
    // folderKind 0 for Data\INI, 1 for its Object folder.
    void openRequested(int folderKind, const QString &fileName, int line);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onActivated(QTreeWidgetItem *item);

    QLineEdit *m_name;
    QProgressBar *m_progress;
    QTreeWidget *m_list;
    QLabel *m_summary;
    bool m_busy = false;
    bool m_closing = false; // closed while the index was built
};
