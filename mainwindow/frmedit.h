#pragma once

#include "startup/catalogue.h"

#include <QMainWindow>
#include <QModelIndex>
#include <QPointer>

#include <array>
#include <functional>

class HandlingBoxEdit;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabBar;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class CatalogueFilter;
class CatalogueModel;
class QTreeView;
class SParse;
class TVItem;
class TabuletProxy;

// The main window: the object catalogue on the left, the chosen object's
// values in the tabbed panel on the right, a read-only summary on the
// "Information" tab. Nothing here writes game data; text changes only in the
// manual editor.
class FrmEdit : public QMainWindow
{
    Q_OBJECT

public:
    enum Tab { HandlingTab, HealthTab, WeaponsTab, AdvancedTab, CostTab, InformationTab, OtherTab };

    explicit FrmEdit(QWidget *parent = nullptr);
    ~FrmEdit() override;

    // The single main window of the run, created on first use.
    static FrmEdit *instance();
    static FrmEdit *existing();

    // Fills the tree from the catalogue, nodes in the order given.
    void fillCatalogue(const QList<CatalogueNode> &nodes);
    QModelIndex nodeByKey(const QString &key) const;

    // Gives the summary list its two columns and font, and has TVItem1 read
    // the weapon names (the last steps of start-up).
    void prepareAfterStartup();

    // Chooses and loads the first object node with this name; false when there is none.
    bool selectObject(const QString &name);

    // Loads the chosen node as a click on it does.
    void loadNode(const QModelIndex &node);
    bool Ready() const { return m_ready; }

    SParse *parser() const { return m_parser; }
    QTreeView *tree() const { return m_tree; }
    CatalogueModel *catalogue() const { return m_catalogue; }
    // The chosen node, as a node of the catalogue (whatever the filter shows).
    QModelIndex currentNode() const;

    // Shows only the objects whose names contain text; the chosen node stays chosen.
    void setFilterText(const QString &text);
    TabuletProxy &summaryList() const { return *m_summary; }

    // Rebuilds the summary list from what the fields show now.
    void UpdateLV();

    // Opens GamePath\Data\INI\file (SF) or GamePath\Data\INI\Object\file (LF) in the manual editor.
    void SF(const QString &Filename);
    void LF(const QString &Filename);

    // The quit question is skipped (the Exit command) when false.
    bool AskOnClose = true;

    // Asked before the program ends from this window; false keeps it running
    // (the manual editor's unsaved changes were not to be discarded).
    void setExitCheck(std::function<bool()> check) { m_exitCheck = std::move(check); }

    // Sets the tree's font from the stored "Menui..." settings; values the
    // font refuses are skipped.
    void applyTreeFont();
    // Shows the information tab page stored under "InfoTab".
    void showStoredTab();

    // Runs a drop-down item of the toolbar by its text, compared in lower case.
    void runDropDownItem(const QString &text);

    // Reads the catalogue again and reloads the chosen object, keeping the
    // choice and the filter, so that changes made by another editor show.
    void reloadData();
    // Shows or hides the line above the tree that names the missing data files.
    void updateMissingFiles();
    // Where "Restore from stock" reads the stock table (the program folder
    // unless a test says otherwise).
    void setStockFolder(const QString &folder) { m_stockFolder = folder; }

signals:
    // Asked to show another window ("FrmOpt", "FrmWE", "FrmArmour",
    // "FrmCmdBtn", "FrmCmdSet", "About"); entry names the row to select in a
    // viewer's list, and show is false when the viewer only follows along.
    void showWindowRequested(const QString &name, const QString &entry = QString(), bool show = true);
    // Asked to open the manual editor: a whole file (blockFlag 0) from the data
    // folder (folderKind 0) or the object folder (1), or a block of text read
    // from that file (blockFlag 1), which the editor never saves.
    void manualEditRequested(int blockFlag, int folderKind, const QString &fileName, const QString &blockText);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildHandlingTab();
    QWidget *buildHealthTab();
    QWidget *buildWeaponsTab();
    QWidget *buildAdvancedTab();
    QWidget *buildCostTab();
    QWidget *buildInformationTab();
    QWidget *buildOtherTab();
    // A framed page of text fields that each refresh the summary when changed.
    struct Field
    {
        const char *label;
        const char *name;
        QLineEdit **edit;
    };
    QWidget *buildFieldPage(const QString &title, std::initializer_list<Field> fields);
    void buildMenus();
    void buildToolbar();

    void onLocoTabClicked();
    void onCboLocoActivated(int index);
    void onConditionsActivated(int index);
    void onCondComboActivated(int index);
    void onCboLocomotorChanged();
    void onCboArmourChanged();
    void onShowArmourEditor();
    void onPWeaponEdit();
    void refillWeapons(int set);
    void onCaptionTimer();
    void openWholeFile(int folderKind, const QString &name, bool checkExists);
    void openBlock(bool locomotors);
    void exitCommand();

    // A node of the catalogue for an index of the tree, which may be filtered.
    QModelIndex toCatalogue(const QModelIndex &index) const;
    static bool IsObjectNode(const QModelIndex &node);
    static QString fullPath(const QModelIndex &node);

    void restoreMissingFiles();

    bool m_ready = false;
    bool m_reloading = false;
    QString m_stockFolder;
    QStringList m_missingFiles;
    QWidget *m_missingBar = nullptr;
    QLabel *m_missingLabel = nullptr;
    bool m_placingChoice = false; // the program moves the tree's choice: no load
    bool m_loadedByPress = false; // a mouse press loaded the node its click would
    QString m_armourValue;

    QTreeView *m_tree = nullptr;
    CatalogueModel *m_catalogue = nullptr;
    CatalogueFilter *m_filter = nullptr;
    QPersistentModelIndex m_chosen; // the node last chosen, kept while a filter hides it
    QLineEdit *m_filterBox = nullptr;
    QTabWidget *m_tabs = nullptr;
    QLabel *m_status[3] = {};

    QLineEdit *m_maxHealth = nullptr;
    QLineEdit *m_initialHealth = nullptr;
    QComboBox *m_armour = nullptr;
    QLineEdit *m_cost = nullptr;
    QLineEdit *m_buildSpeed = nullptr;
    QLineEdit *m_visionRange = nullptr;
    QLineEdit *m_shroudRange = nullptr;
    QComboBox *m_conditions = nullptr;
    QComboBox *m_weapons[3] = {};
    QTabBar *m_locoTab = nullptr;
    QComboBox *m_locomotor = nullptr;
    std::array<HandlingBoxEdit *, 9> m_handling = {};
    QComboBox *m_cboLoco = nullptr;
    QComboBox *m_condCombo = nullptr;
    QPushButton *m_advancedFile = nullptr;
    TabuletProxy *m_summary = nullptr;

    SParse *m_parser = nullptr;
    void fillNames(TVItem *loader, const QString &file, const QList<QComboBox *> &boxes);
    void fillWeaponNames();

    QStringList m_names; // names gathered by the three loaders below
    TVItem *m_weaponNames = nullptr;
    TVItem *m_locomotorNames = nullptr;
    TVItem *m_armourNames = nullptr;
    QTimer *m_captionTimer = nullptr;
    std::function<bool()> m_exitCheck;
};
