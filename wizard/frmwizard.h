#pragma once

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QFileSystemModel;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QModelIndex;
class QSortFilterProxyModel;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeView;

// The first-run set-up: the user picks the game folder, the wizard checks for
// "torvane.exe", remembers the folder and restores every stock file the
// folder lacks from the table beside the program.
class frmWizard : public QWidget
{
    Q_OBJECT

public:
    explicit frmWizard(QWidget *parent = nullptr);

    // The wizard's texts by their identifiers; an unknown identifier gives an empty text.
    static QString stringText(int id);

    int CurrentStep() const { return m_currentStep; }
    void ShowStep(int step);

    // Where the stock table is read from (the program folder unless a test says otherwise).
    void setTableFolder(const QString &folder) { m_tableFolder = folder; }
    // Paths of the records that were refused in the last extraction.
    QStringList refusedPaths() const { return m_refused; }

    QTreeView *folderTree() const { return m_tree; }
    // The tree's index of a folder, invalid when the tree does not show it.
    QModelIndex folderIndex(const QString &path) const;
    // Fills the list of found game folders (the constructor searches this
    // machine); hidden folders on the way to them show in the tree.
    void setFoundGames(const QStringList &folders);

signals:
    // Finish was pressed: start-up runs again.
    void finishRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    enum Nav { NavHelp, NavCancel, NavBack, NavNext, NavFinish, NavCount };

    QFrame *buildStep(int index, const QString &caption);
    void UpdateNavButtons(int step);
    void UpdateCaption(int step);
    void pollPath();
    void onNav(int index);
    void onNext();
    void onCancel();
    void onFinish();
    void onFolderChosen();
    void onPathTyped(const QString &text);
    // Says under the field why Next is not available; true when the program is there.
    bool updatePathStatus();
    bool extractFiles();
    void fatalError(const QString &description);
    void selectFolder(const QString &path);
    static void cutAtNul();

    int m_currentStep = 0;
    bool m_finished = false;
    bool m_cancelPressed = false;
    bool m_finishPressed = false;
    QString m_tableFolder;
    QStringList m_refused;

    QFrame *m_steps[4] = {};
    QPushButton *m_nav[NavCount] = {};
    QTreeView *m_tree = nullptr;
    QFileSystemModel *m_folders = nullptr;
    QSortFilterProxyModel *m_visibleFolders = nullptr;
    QListWidget *m_found = nullptr;
    QLineEdit *m_path = nullptr;
    QLabel *m_pathStatus = nullptr;
    QStringList m_foundGames;
    bool m_following = false;
    QProgressBar *m_progress = nullptr;
    QLabel *m_progressLabel = nullptr;
    QCheckBox *m_skipIntro = nullptr;
    QTimer *m_timer = nullptr;
};
