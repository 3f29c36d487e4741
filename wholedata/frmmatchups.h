#pragma once

#include "engine/matchup.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTreeWidget;

// What the chosen object's primary weapon does to every object, and what
// every armed object's primary weapon does to it: armour, percentage, shots
// and time to kill, the shots coloured from green (few) to red (many). The
// data files are read once when the window opens; choosing another object
// in the main window only recomputes the rows.
class FrmMatchups : public QWidget
{
    Q_OBJECT

public:
    // The single window, created on first use; shown and looking at name
    // (an empty name only shows it).
    static FrmMatchups *open(const QString &name);
    // The open window, if any: the main window's choice follows into it.
    static FrmMatchups *existing();

    explicit FrmMatchups(QWidget *parent = nullptr);

    // Shows name as attacker and as target, reading the data files first
    // when they have not been read. The window stays responsive meanwhile;
    // a choice made during the work is shown when it ends, and closing the
    // window stops it.
    void choose(const QString &name);
    // Writes the matrix of the objects the filter shows (attackers and
    // targets alike) as CSV; false when cancelled, too large or not written.
    bool exportMatrix();

    QString chosen() const { return m_name; }
    QTreeWidget *attackerList() const { return m_asAttacker; }
    QTreeWidget *targetList() const { return m_asTarget; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool ensureData();
    void fill(const QString &name);
    void applyFilter();
    // The sort box lists the shown list's columns, each either way; it and
    // the column headings set the same order.
    void fillSortBox();
    void onSortChosen(int index);
    QTreeWidget *shownList() const;
    QTreeWidget *makeList(const char *name, const QStringList &headers);

    MatchupData m_data;
    bool m_read = false;
    bool m_busy = false;
    bool m_closing = false;
    QString m_name;
    QString m_pending;

    QLabel *m_heading;
    QLineEdit *m_filter;
    QComboBox *m_sort;
    QTabWidget *m_tabs;
    QTreeWidget *m_asAttacker;
    QTreeWidget *m_asTarget;
    QProgressBar *m_progress;
    QLabel *m_summary;
    QPushButton *m_export;
};
