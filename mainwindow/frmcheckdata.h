#pragma once

#include "engine/datacheck.h"

#include <QWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// Lists the problems the cross-reference check finds in the game's data
// files; double-clicking one opens its file in the manual editor at its line.
class FrmCheckData : public QWidget
{
    Q_OBJECT

public:
    explicit FrmCheckData(QWidget *parent = nullptr);

    // The single window, created on first use; each opening checks again.
    static FrmCheckData *open();

    void runCheck();
    QTreeWidget *list() const { return m_list; }

signals:
    // A problem was chosen: folderKind 0 for Data\INI, 1 for its Object folder.
    void openRequested(int folderKind, const QString &fileName, int line);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onActivated(QTreeWidgetItem *item);

    QTreeWidget *m_list;
    QLabel *m_summary;
    bool m_checking = false;
    bool m_closing = false; // closed during a check
};
