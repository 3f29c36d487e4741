#include "frmedit.h"

#include "cataloguefilter.h"
#include "cataloguemodel.h"
#include "frmcoldata.h"
#include "handlingbox.h"

#include "engine/globals.h"
#include "engine/objectvalues.h"
#include "engine/sparse.h"
#include "engine/summaryrows.h"
#include "engine/tvitem.h"
#include "manualedit/settingsstore.h"
#include "platform/controlhost.h"
#include "platform/eventyield.h"
#include "platform/gamepath.h"
#include "platform/gamerun.h"
#include "platform/helpviewer.h"
#include "platform/messages.h"
#include "platform/programexit.h"
#include "platform/shell.h"
#include "platform/twips.h"
#include "platform/windowplacement.h"
#include "startup/stockrestore.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int KeyRole = CatalogueModel::KeyRole;
constexpr int TagRole = CatalogueModel::TagRole;

QString textOf(const QModelIndex &node)
{
    return node.data().toString();
}

QString keyOf(const QModelIndex &node)
{
    return node.data(KeyRole).toString();
}

QString tagOf(const QModelIndex &node)
{
    return node.data(TagRole).toString();
}

const QString kCrLf = QStringLiteral("\r\n");

// The game's own platform fills a combo box without choosing an entry, and
// setting the text to one of the entries (in any letter case) chooses it;
// a QComboBox would choose its first entry. These two give the former.
void appendEntries(QComboBox *combo, const QStringList &entries)
{
    const QString text = combo->currentText();
    const int index = combo->currentIndex();
    const QSignalBlocker quiet(combo);
    combo->addItems(entries);
    combo->setCurrentIndex(index);
    combo->setEditText(text);
}

void setComboText(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(combo->findText(text, Qt::MatchFixedString));
    combo->setEditText(text);
}

QPointer<FrmEdit> g_instance;

const char *const kFiles[17] = {
    "FactionUnit.ini", "FactionBuilding.ini", "FactionProp.ini", "-", "CivilianUnit.ini", "CivilianBuilding.ini",
    "CivilianProp.ini", "-", "NatureUnit.ini", "NatureProp.ini", "-", "Armor.ini", "Locomotor.ini", "Weapon.ini", "-",
    "CommandButton.ini", "CommandSet.ini",
};

const char kMakerPage[] = "https://pellmire.example.org/";
const char kDevelopmentPage[] = "https://zarnith.example.org/";

// The second word of a line, words separated by single spaces.
QString secondWord(const QString &line)
{
    return line.section(QLatin1Char(' '), 1, 1);
}

QComboBox *newCombo(const char *name, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(20);
    return combo;
}

QLineEdit *newEdit(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

// Tabs with a little less room around their captions than the style gives.
class TightTabs : public QProxyStyle
{
public:
    explicit TightTabs(QObject *owner)
        : QProxyStyle(QApplication::style()->name())
    {
        setParent(owner);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_TabBarTabHSpace ? std::min(value, 10) : value;
    }
};

QGroupBox *newFrame(const QString &title, QWidget *parent)
{
    auto *frame = new QGroupBox(title, parent);
    return frame;
}

} // namespace

FrmEdit *FrmEdit::instance()
{
    if (!g_instance)
        g_instance = new FrmEdit;
    return g_instance;
}

FrmEdit *FrmEdit::existing()
{
    return g_instance;
}

FrmEdit::FrmEdit(QWidget *parent)
    : QMainWindow(parent)
    , m_stockFolder(Shell::programFolder())
{
    g_instance = this;
    setObjectName(QStringLiteral("FrmEdit"));
    setWindowTitle(QString::fromLatin1(Settings::AppName));
    setProperty("tag", QString::fromLatin1(Settings::AppName));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(1180, 720);

    m_parser = new SParse(this);
    m_parser->setObjectName(QStringLiteral("SParse1"));
    m_weaponNames = new TVItem(this);
    m_weaponNames->setObjectName(QStringLiteral("TVItem1"));
    m_locomotorNames = new TVItem(this);
    m_locomotorNames->setObjectName(QStringLiteral("TVItem2"));
    m_armourNames = new TVItem(this);
    m_armourNames->setObjectName(QStringLiteral("TVItem3"));

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    auto *columns = new QHBoxLayout;
    m_tree = new QTreeView(central);
    m_tree->setObjectName(QStringLiteral("TVMenu"));
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_catalogue = new CatalogueModel(this);
    m_filter = new CatalogueFilter(this);
    m_filter->setSourceModel(m_catalogue);
    m_tree->setModel(m_filter);
    m_tree->setMinimumWidth(180);
    m_filterBox = new QLineEdit(central);
    m_filterBox->setObjectName(QStringLiteral("TxtFilter"));
    m_filterBox->setPlaceholderText(QStringLiteral("Filter objects by name"));
    m_filterBox->setClearButtonEnabled(true);
    connect(m_filterBox, &QLineEdit::textChanged, this, &FrmEdit::setFilterText);
    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName(QStringLiteral("F_Tab"));
    // Each page scrolls rather than be cut off when the window is small.
    const auto addPage = [this](QWidget *page, const QString &title) {
        auto *scroll = new QScrollArea(m_tabs);
        scroll->setWidget(page);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        m_tabs->addTab(scroll, title);
    };
    addPage(buildHandlingTab(), QStringLiteral("Handling and Speed"));
    addPage(buildHealthTab(), QStringLiteral("Health and Armour"));
    addPage(buildWeaponsTab(), QStringLiteral("Weapons"));
    addPage(buildAdvancedTab(), QStringLiteral("Advanced Options"));
    addPage(buildCostTab(), QStringLiteral("Cost and Build Speed"));
    addPage(buildInformationTab(), QStringLiteral("Information"));
    addPage(buildOtherTab(), QStringLiteral("Other Settings"));
    m_tabs->setUsesScrollButtons(false);
    // Every caption shows whole on a 1024-pixel screen.
    m_tabs->tabBar()->setStyle(new TightTabs(m_tabs->tabBar()));
    m_tabs->setEnabled(false);
    m_missingBar = new QWidget(central);
    m_missingBar->setObjectName(QStringLiteral("FraMissing"));
    auto *missingRow = new QHBoxLayout(m_missingBar);
    missingRow->setContentsMargins(0, 0, 0, 0);
    m_missingLabel = new QLabel(m_missingBar);
    m_missingLabel->setObjectName(QStringLiteral("LblMissing"));
    m_missingLabel->setWordWrap(true);
    auto *restore = new QPushButton(QStringLiteral("Restore from stock"), m_missingBar);
    restore->setObjectName(QStringLiteral("BtnRestoreStock"));
    restore->setToolTip(QStringLiteral("Puts back the missing files from the stock copy that ships with Zarnith; "
                                       "files that are there are never touched"));
    connect(restore, &QPushButton::clicked, this, &FrmEdit::restoreMissingFiles);
    missingRow->addWidget(m_missingLabel, 1);
    missingRow->addWidget(restore, 0, Qt::AlignTop);
    m_missingBar->hide();
    // Tree, filter, then the tabs and the fields of the page shown.
    setTabOrder(m_tree, m_filterBox);
    setTabOrder(m_filterBox, m_tabs);
    auto *treeColumn = new QVBoxLayout;
    treeColumn->addWidget(m_filterBox);
    treeColumn->addWidget(m_tree, 1);
    columns->addLayout(treeColumn, 1);
    columns->addWidget(m_tabs, 0);
    layout->addWidget(m_missingBar);
    layout->addLayout(columns, 1);
    setCentralWidget(central);

    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 3; ++i) {
        m_status[i] = new QLabel(bar);
        m_status[i]->setObjectName(QStringLiteral("StatusBar1_%1").arg(i + 1));
        bar->addWidget(m_status[i], i == 0 ? 2 : 1);
    }

    buildMenus();
    buildToolbar();

    // A node loads when it is clicked and whenever the keyboard moves the
    // choice to it; Enter loads the chosen node again.
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &node) {
        // The view makes its first row current, unselected, when it first
        // gets the focus: that is no choice of the user's.
        if (!node.isValid() || m_placingChoice || !m_tree->selectionModel()->isSelected(node))
            return;
        const bool pressed = QGuiApplication::mouseButtons() != Qt::NoButton;
        m_loadedByPress = pressed;
        loadNode(node);
    });
    connect(m_tree, &QTreeView::clicked, this, [this](const QModelIndex &node) {
        // The press that chose the node has loaded it already.
        if (node.isValid() && !std::exchange(m_loadedByPress, false))
            loadNode(node);
    });
    m_tree->installEventFilter(this);
    // The three lists of names are gathered while their file is read and
    // handed to the boxes at once.
    m_weaponNames->setLineHandler([this](const QString &Line) {
        EventYield::yield();
        if (TVItem::CheckText(Line, QStringLiteral("Weapon ")))
            m_names << secondWord(Line);
    });
    m_locomotorNames->setLineHandler([this](const QString &Line) {
        EventYield::yield();
        if (TVItem::CheckText(Line, QStringLiteral("Locomotor ")))
            m_names << secondWord(Line);
    });
    m_armourNames->setLineHandler([this](const QString &Line) {
        EventYield::yield();
        if (TVItem::CheckText(Line, QStringLiteral("Armor")))
            m_names << secondWord(Line);
    });

    m_captionTimer = new QTimer(this);
    m_captionTimer->setObjectName(QStringLiteral("Timer1"));
    m_captionTimer->setInterval(100);
    connect(m_captionTimer, &QTimer::timeout, this, &FrmEdit::onCaptionTimer);
    m_captionTimer->start();

    // Window load.
    AskOnClose = true;
    WindowPlacement::LoadWindowPos(this);
    // The default or stored size, cut down to what the screen can show with
    // room for the window manager's title bar.
    if (const QScreen *display = screen()) {
        const QSize room = display->availableGeometry().size() - QSize(0, 32);
        if (room.isValid() && !room.isEmpty())
            resize(size().boundedTo(room).expandedTo(minimumSizeHint()));
    }
    showStoredTab();
    applyTreeFont();
}

FrmEdit::~FrmEdit()
{
    delete m_summary;
}

QWidget *FrmEdit::buildHandlingTab()
{
    auto *page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    QGroupBox *frame = newFrame(QStringLiteral("Handling And Speed"), page);
    pageLayout->addWidget(frame);
    auto *layout = new QVBoxLayout(frame);
    m_locoTab = new QTabBar(frame);
    m_locoTab->setObjectName(QStringLiteral("LocoTab"));
    m_locoTab->setExpanding(false);
    layout->addWidget(m_locoTab);

    auto *grid = new QGridLayout;
    m_locomotor = newCombo("CboLocomotor", frame);
    grid->addWidget(new QLabel(QStringLiteral("Locomotor:"), frame), 0, 0);
    grid->addWidget(m_locomotor, 0, 1, 1, 2);
    static const char *const labels[9] = {
        "Surfaces:", "Top Speed:", "Top Speed When Damaged:", "Turn Rate:", "Turn Rate   When Damaged:",
        "Acceleration:", "Acceleration When Damaged:", "Braking:", "Min Turn Speed:",
    };
    const auto &boxes = Summary::handlingBoxes();
    for (int i = 0; i < 9; ++i) {
        auto *label = new QLabel(QLatin1String(labels[i]), frame);
        m_handling[i] = new HandlingBoxEdit(boxes[i], frame);
        m_handling[i]->setObjectName(QStringLiteral("HS_TextBox_%1").arg(i));
        auto *clear = new QPushButton(QStringLiteral("Clear"), frame);
        clear->setObjectName(QStringLiteral("HS_ClearBtn_%1").arg(i));
        clear->setToolTip(QStringLiteral("<< Deletes all text (if any)"));
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(m_handling[i], i + 1, 1);
        grid->addWidget(clear, i + 1, 2);
        connect(clear, &QPushButton::clicked, this, [this, i] { m_handling[i]->clearValue(); });
        connect(m_handling[i], &QLineEdit::textChanged, this, [this] { UpdateLV(); });
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addStretch(1);

    connect(m_locoTab, &QTabBar::currentChanged, this, [this] {
        if (m_ready)
            onLocoTabClicked();
    });
    connect(m_locoTab, &QTabBar::tabBarClicked, this, [this](int index) {
        if (m_ready && index == m_locoTab->currentIndex())
            onLocoTabClicked();
    });
    connect(m_locomotor, &QComboBox::currentTextChanged, this, [this] {
        if (m_ready)
            onCboLocomotorChanged();
    });
    return page;
}

QWidget *FrmEdit::buildHealthTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    QGroupBox *health = newFrame(QStringLiteral("Health"), page);
    auto *healthForm = new QFormLayout(health);
    m_maxHealth = newEdit("MHealth", health);
    m_initialHealth = newEdit("IHealth", health);
    healthForm->addRow(QStringLiteral("Max Health:"), m_maxHealth);
    healthForm->addRow(QStringLiteral("Initial Health:"), m_initialHealth);
    QGroupBox *armour = newFrame(QStringLiteral("Armour"), page);
    auto *armourForm = new QFormLayout(armour);
    m_armour = newCombo("CboArmour", armour);
    armourForm->addRow(QStringLiteral("Armour Type:"), m_armour);
    auto *show = new QPushButton(QStringLiteral("Show Armour Editor"), armour);
    show->setObjectName(QStringLiteral("Command2"));
    armourForm->addRow(QString(), show);
    layout->addWidget(health);
    layout->addWidget(armour);
    layout->addStretch(1);
    for (QLineEdit *e : {m_maxHealth, m_initialHealth})
        connect(e, &QLineEdit::textChanged, this, [this] { UpdateLV(); });
    connect(m_armour, &QComboBox::currentIndexChanged, this, &FrmEdit::onCboArmourChanged);
    connect(show, &QPushButton::clicked, this, &FrmEdit::onShowArmourEditor);
    return page;
}

QWidget *FrmEdit::buildWeaponsTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    QGroupBox *frame = newFrame(QStringLiteral("Weapons"), page);
    auto *grid = new QGridLayout(frame);
    m_conditions = newCombo("Conditions", frame);
    m_conditions->setEditable(false);
    grid->addWidget(new QLabel(QStringLiteral("Conditions:"), frame), 0, 0);
    grid->addWidget(m_conditions, 0, 1, 1, 2);
    static const char *const labels[3] = {"Primary Weapon:", "Secondary Weapon:", "Tertiary Weapon:"};
    static const char *const combos[3] = {"PWeapon", "SWeapon", "TWeapon"};
    static const char *const buttons[3] = {"PWeaponEdit", "SWeaponEdit", "TWeaponEdit"};
    for (int i = 0; i < 3; ++i) {
        m_weapons[i] = newCombo(combos[i], frame);
        auto *edit = new QPushButton(QStringLiteral("Edit "), frame);
        edit->setObjectName(QLatin1String(buttons[i]));
        grid->addWidget(new QLabel(QLatin1String(labels[i]), frame), i + 1, 0);
        grid->addWidget(m_weapons[i], i + 1, 1);
        grid->addWidget(edit, i + 1, 2);
        connect(m_weapons[i], &QComboBox::activated, this, [this] { UpdateLV(); });
        if (i == 0)
            connect(edit, &QPushButton::clicked, this, &FrmEdit::onPWeaponEdit);
    }
    grid->setColumnStretch(1, 1);
    layout->addWidget(frame);
    layout->addStretch(1);
    connect(m_conditions, &QComboBox::activated, this, &FrmEdit::onConditionsActivated);
    return page;
}

QWidget *FrmEdit::buildAdvancedTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    QGroupBox *frame = newFrame(QStringLiteral("Advanced Options"), page);
    auto *buttons = new QVBoxLayout(frame);
    auto *object = new QPushButton(QStringLiteral("Manual Edit Appearance, Cost, Weapons And Strength"), frame);
    object->setObjectName(QStringLiteral("Btn_FEdit"));
    auto *locomotors = new QPushButton(QStringLiteral("Manual Edit Handling And Speed"), frame);
    locomotors->setObjectName(QStringLiteral("Btn_LEdit"));
    m_advancedFile = new QPushButton(QStringLiteral("Manual Edit "), frame);
    m_advancedFile->setObjectName(QStringLiteral("CmdME_FINI"));
    for (QPushButton *b : {object, locomotors, m_advancedFile})
        buttons->addWidget(b);
    layout->addWidget(frame);
    layout->addStretch(1);
    connect(object, &QPushButton::clicked, this, [this] { openBlock(false); });
    connect(locomotors, &QPushButton::clicked, this, [this] { openBlock(true); });
    connect(m_advancedFile, &QPushButton::clicked, this, [this] {
        openWholeFile(1, tagOf(currentNode()), false);
        unsetCursor();
    });
    return page;
}

QWidget *FrmEdit::buildCostTab()
{
    return buildFieldPage(QStringLiteral("Cost And Build Speed"),
                          {{"Cost:", "TxtCost", &m_cost}, {"Build Speed:", "TxtBS", &m_buildSpeed}});
}

QWidget *FrmEdit::buildInformationTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    QGroupBox *frame = newFrame(QStringLiteral("Options"), page);
    auto *grid = new QGridLayout(frame);
    m_cboLoco = newCombo("CboLoco", frame);
    m_cboLoco->setEditable(false);
    m_condCombo = newCombo("CondCombo", frame);
    m_condCombo->setEditable(false);
    grid->addWidget(new QLabel(QStringLiteral("Locomotor:"), frame), 0, 0);
    grid->addWidget(m_cboLoco, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Weapon Conditions:"), frame), 1, 0);
    grid->addWidget(m_condCombo, 1, 1);
    QWidget *list = ControlHost::create(QStringLiteral("TabuletCtl.Tabulet"), frame);
    if (!list) {
        // Without the list control the window still works; the summary shows why it is missing.
        auto *missing = new QLabel(ControlHost::errorString(), frame);
        missing->setWordWrap(true);
        list = missing;
    }
    list->setObjectName(QStringLiteral("LstInfo"));
    m_summary = new TabuletProxy(list->inherits("QLabel") ? nullptr : list);
    grid->addWidget(list, 2, 0, 1, 2);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(1, 1);
    layout->addWidget(frame, 1);
    connect(m_cboLoco, &QComboBox::activated, this, &FrmEdit::onCboLocoActivated);
    connect(m_condCombo, &QComboBox::activated, this, &FrmEdit::onCondComboActivated);
    return page;
}

QWidget *FrmEdit::buildOtherTab()
{
    return buildFieldPage(QStringLiteral("Other Settings"),
                          {{"Vision Range:", "TxtVisRange", &m_visionRange},
                           {"Shroud Clearing Range:", "TxtSCR", &m_shroudRange}});
}

QWidget *FrmEdit::buildFieldPage(const QString &title, std::initializer_list<Field> fields)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    QGroupBox *frame = newFrame(title, page);
    auto *form = new QFormLayout(frame);
    for (const Field &field : fields) {
        *field.edit = newEdit(field.name, frame);
        form->addRow(QLatin1String(field.label), *field.edit);
        connect(*field.edit, &QLineEdit::textChanged, this, [this] { UpdateLV(); });
    }
    layout->addWidget(frame);
    layout->addStretch(1);
    return page;
}

void FrmEdit::buildMenus()
{
    const auto action = [this](QMenu *menu, const char *name, const QString &text) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    const auto separator = [](QMenu *menu, const char *name) { menu->addSeparator()->setObjectName(QLatin1String(name)); };

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("MnuFile"));
    QMenu *newMenu = file->addMenu(QStringLiteral("New"));
    newMenu->menuAction()->setObjectName(QStringLiteral("MnuNew"));
    newMenu->setEnabled(false);
    action(newMenu, "MnuNewUnit", QStringLiteral("Unit..."))->setEnabled(false);
    action(newMenu, "MnuNewBuilding", QStringLiteral("Building..."))->setEnabled(false);
    separator(file, "MnuSep7");
    action(file, "MnuBackup", QStringLiteral("Backup Settings..."))->setEnabled(false);
    action(file, "MnuRestore", QStringLiteral("Restore Settings..."))->setEnabled(false);
    connect(action(file, "MnuExport", QStringLiteral("Export Objects...")), &QAction::triggered, this,
            [this] { emit showWindowRequested(QStringLiteral("ExportObjects")); });
    separator(file, "MnuSep5");
    QAction *reload = action(file, "MnuReload", QStringLiteral("Reload Data"));
    reload->setShortcut(Qt::Key_F5);
    connect(reload, &QAction::triggered, this, &FrmEdit::reloadData);
    connect(action(file, "MnuRun", QStringLiteral("Run 'Torvane'")), &QAction::triggered, this,
            [this] { GameRun::start(this, GamePath); });
    separator(file, "MnuSep6");
    QAction *exit = action(file, "MnuExit", QStringLiteral("Exit"));
    exit->setShortcut(Qt::Key_F12);
    connect(exit, &QAction::triggered, this, &FrmEdit::exitCommand);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("MnuEdit"));
    QAction *options = action(edit, "MnuOpt", QStringLiteral("Options"));
    options->setShortcut(Qt::Key_F9);
    connect(options, &QAction::triggered, this, [this] { emit showWindowRequested(QStringLiteral("FrmOpt")); });
    QAction *check = action(edit, "MnuCheckData", QStringLiteral("Check Data..."));
    connect(check, &QAction::triggered, this, [this] { emit showWindowRequested(QStringLiteral("FrmCheckData")); });
    QAction *refs = action(edit, "MnuFindRefs", QStringLiteral("Find References..."));
    refs->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F12));
    connect(refs, &QAction::triggered, this, [this] {
        emit showWindowRequested(QStringLiteral("FrmRefs"), currentNode().data(Qt::DisplayRole).toString());
    });
    connect(action(edit, "MnuCompareStock", QStringLiteral("Compare with Stock...")), &QAction::triggered, this,
            [this] { emit showWindowRequested(QStringLiteral("FrmCompare")); });
    QAction *inFiles = action(edit, "MnuFindInFiles", QStringLiteral("Find in Files..."));
    inFiles->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(inFiles, &QAction::triggered, this, [this] { emit showWindowRequested(QStringLiteral("FrmFindInFiles")); });
    QAction *matchups = action(edit, "MnuMatchups", QStringLiteral("Matchups..."));
    matchups->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
    connect(matchups, &QAction::triggered, this, [this] {
        emit showWindowRequested(QStringLiteral("FrmMatchups"), currentNode().data(Qt::DisplayRole).toString());
    });
    separator(edit, "MnuSep4");
    QMenu *files = edit->addMenu(QStringLiteral("Files"));
    files->menuAction()->setObjectName(QStringLiteral("MnuFiles"));
    for (int i = 0; i < 17; ++i) {
        const QString name = QLatin1String(kFiles[i]);
        QAction *a = name == QLatin1String("-") ? files->addSeparator() : files->addAction(name);
        a->setObjectName(QStringLiteral("MnuFileEdit_%1").arg(i));
        if (!a->isSeparator())
            connect(a, &QAction::triggered, this, [this, i, name] { openWholeFile(i > 9 ? 0 : 1, name, true); });
    }
    QMenu *editors = edit->addMenu(QStringLiteral("Editors"));
    editors->menuAction()->setObjectName(QStringLiteral("MnuEditors"));
    const auto editor = [&](const char *name, const QString &text, const char *window) {
        connect(action(editors, name, text), &QAction::triggered, this,
                [this, window] { emit showWindowRequested(QLatin1String(window)); });
    };
    editor("MnuWe", QStringLiteral("Weapons Editor"), "FrmWE");
    editor("MnuArmour", QStringLiteral("Armour Editor"), "FrmArmour");
    separator(editors, "MnuSep9");
    editor("MnuCmdSetEditor", QStringLiteral("Command Set Editor"), "FrmCmdSet");
    editor("MnuCmdBtnEditor", QStringLiteral("Command Button Editor"), "FrmCmdBtn");

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MnuHelp"));
    QAction *helpItem = action(help, "MnuHelp_Help", QStringLiteral("Help"));
    helpItem->setShortcut(Qt::Key_F1);
    connect(helpItem, &QAction::triggered, this, [] { HelpViewer::showContents(); });
    QAction *contents = action(help, "MnuHelp_HelpCont", QStringLiteral("Help Contents"));
    contents->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    connect(contents, &QAction::triggered, this, [] { HelpViewer::showContents(); });
    QMenu *shortcuts = help->addMenu(QStringLiteral("Shortcuts"));
    shortcuts->menuAction()->setObjectName(QStringLiteral("MnuShortcuts"));
    connect(action(shortcuts, "MnuOpenTorFol", QStringLiteral("Open the 'Torvane' Folder")), &QAction::triggered, this,
            [] { Shell::RunFile(GamePath, GamePath); });
    connect(action(shortcuts, "MnuOpenZarFol", QStringLiteral("Open the 'Torvane Zarnith' Folder")), &QAction::triggered,
            this, [] { Shell::RunFile(Shell::programFolder(), Shell::programFolder()); });
    separator(shortcuts, "MnuSep999");
    connect(action(shortcuts, "MnuPLM", QStringLiteral("Go to 'Pellmire Software'")), &QAction::triggered, this,
            [] { Shell::RunFile(QLatin1String(kMakerPage), QLatin1String(kMakerPage)); });
    connect(action(shortcuts, "MnuHalvo", QStringLiteral("Go to Zarnith Development Page (zarnith.example.org)")),
            &QAction::triggered, this,
            [] { Shell::RunFile(QLatin1String(kDevelopmentPage), QLatin1String(kDevelopmentPage)); });
    connect(action(help, "MnuHelp_About", QStringLiteral("About")), &QAction::triggered, this,
            [this] { emit showWindowRequested(QStringLiteral("About")); });
}

void FrmEdit::buildToolbar()
{
    QToolBar *bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setMovable(false);
    const auto button = [&](const char *key, const QString &tip, QStyle::StandardPixmap icon) {
        auto *b = new QToolButton(bar);
        b->setObjectName(QLatin1String(key));
        b->setToolTip(tip);
        b->setIcon(style()->standardIcon(icon));
        bar->addWidget(b);
        return b;
    };
    const auto dropDown = [this](QToolButton *b, const QList<QPair<QString, QString>> &items) {
        auto *menu = new QMenu(b);
        for (const auto &[text, key] : items) {
            QAction *a = text.isEmpty() ? menu->addSeparator() : menu->addAction(text);
            a->setObjectName(key);
            if (!text.isEmpty())
                connect(a, &QAction::triggered, this, [this, text] { runDropDownItem(text); });
        }
        b->setMenu(menu);
        b->setPopupMode(QToolButton::MenuButtonPopup);
    };

    QToolButton *run = button("MISC01", QStringLiteral("Run Torvane"), QStyle::SP_MediaPlay);
    run->setStatusTip(QStringLiteral("Runs the game"));
    connect(run, &QToolButton::clicked, this, [this] { GameRun::start(this, GamePath); });
    QToolButton *newButton = button("New", QStringLiteral("New"), QStyle::SP_FileIcon);
    dropDown(newButton, {{QStringLiteral("Unit"), QStringLiteral("MnuTBUnit")},
                         {QStringLiteral("Building"), QStringLiteral("MnuTBBuilding")}});
    button("Save", QStringLiteral("Save"), QStyle::SP_DialogSaveButton);
    connect(button("Properties", QStringLiteral("Properties"), QStyle::SP_FileDialogDetailedView), &QToolButton::clicked,
            this, [this] { emit showWindowRequested(QStringLiteral("FrmOpt")); });
    connect(button("Help", QStringLiteral("Help"), QStyle::SP_DialogHelpButton), &QToolButton::clicked, this,
            [] { HelpViewer::showContents(); });

    const auto faceMessage = [this] {
        Messages::inform(this, QStringLiteral("Click on the 'Down Arrow' next to this button!"),
                         QStringLiteral("For your information,"), QMessageBox::Information);
    };
    QToolButton *files = button("DISK12", QStringLiteral("Files"), QStyle::SP_DirOpenIcon);
    // Items are keyed MnuFileList1 to MnuFileList16 in order; the fourth
    // separator alone is SepThingy and takes no number.
    QList<QPair<QString, QString>> fileItems;
    int separators = 0;
    int number = 0;
    for (int i = 0; i < 17; ++i) {
        const QString name = QLatin1String(kFiles[i]);
        const bool separator = name == QLatin1String("-");
        if (separator && ++separators == 4) {
            fileItems.append({QString(), QStringLiteral("SepThingy")});
            continue;
        }
        fileItems.append({separator ? QString() : name, QStringLiteral("MnuFileList%1").arg(++number)});
    }
    dropDown(files, fileItems);
    connect(files, &QToolButton::clicked, this, faceMessage);
    QToolButton *editors = button("WRENCH", QStringLiteral("Editors"), QStyle::SP_FileDialogContentsView);
    dropDown(editors, {{QStringLiteral("Weapons Editor"), QStringLiteral("MnuWeapons")},
                       {QStringLiteral("Armour Editor"), QStringLiteral("MnuArmour")},
                       {QString(), QStringLiteral("MnuSep873")},
                       {QStringLiteral("Command Button Editor"), QStringLiteral("MnuCmdBtn")},
                       {QStringLiteral("Command Set Editor"), QStringLiteral("MnuCmdSet")}});
    connect(editors, &QToolButton::clicked, this, faceMessage);
    connect(button("W95MBX01", QStringLiteral("Exit"), QStyle::SP_DialogCloseButton), &QToolButton::clicked, this,
            &FrmEdit::exitCommand);
}

void FrmEdit::runDropDownItem(const QString &text)
{
    const QString item = text.toLower();
    static const QStringList objectFiles{"factionunit.ini", "factionbuilding.ini", "factionprop.ini",
                                         "civilianunit.ini", "civilianbuilding.ini", "civilianprop.ini",
                                         "natureunit.ini", "natureprop.ini"};
    static const QStringList dataFiles{"armor.ini", "locomotor.ini", "weapon.ini", "commandbutton.ini",
                                       "commandset.ini"};
    if (objectFiles.contains(item))
        LF(item);
    else if (dataFiles.contains(item))
        SF(item);
    else if (item == QLatin1String("weapons editor"))
        emit showWindowRequested(QStringLiteral("FrmWE"));
    else if (item == QLatin1String("armour editor"))
        emit showWindowRequested(QStringLiteral("FrmArmour"));
    else if (item == QLatin1String("command button editor"))
        emit showWindowRequested(QStringLiteral("FrmCmdBtn"));
    else if (item == QLatin1String("command set editor"))
        emit showWindowRequested(QStringLiteral("FrmCmdSet"));
}

void FrmEdit::showStoredTab()
{
    bool ok = false;
    const int page = Settings::GetSetMain(QStringLiteral("InfoTab")).toInt(&ok);
    if (ok && page >= 0 && page < m_tabs->count())
        m_tabs->setCurrentIndex(page);
}

void FrmEdit::applyTreeFont()
{
    QFont font = m_tree->font();
    font.setBold(Settings::textIsTrue(Settings::GetSetMain(QStringLiteral("MenuiBold"))));
    font.setFamily(Settings::GetSetMain(QStringLiteral("MenuiFont")));
    bool ok = false;
    const double size = Settings::GetSetMain(QStringLiteral("MenuiFontSize")).toDouble(&ok);
    if (ok && size > 0)
        font.setPointSizeF(size);
    font.setItalic(Settings::textIsTrue(Settings::GetSetMain(QStringLiteral("MenuiItalic"))));
    font.setStrikeOut(Settings::textIsTrue(Settings::GetSetMain(QStringLiteral("MenuiStrikeout"))));
    font.setUnderline(Settings::textIsTrue(Settings::GetSetMain(QStringLiteral("MenuiUnderline"))));
    m_tree->setFont(font);
}

void FrmEdit::fillCatalogue(const QList<CatalogueNode> &nodes)
{
    m_catalogue->setNodes(nodes);
}

QModelIndex FrmEdit::nodeByKey(const QString &key) const
{
    return m_catalogue->indexOfKey(key);
}

QModelIndex FrmEdit::toCatalogue(const QModelIndex &index) const
{
    return index.model() == m_filter ? m_filter->mapToSource(index) : index;
}

QModelIndex FrmEdit::currentNode() const
{
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? toCatalogue(current) : QModelIndex(m_chosen);
}

void FrmEdit::setFilterText(const QString &text)
{
    const QModelIndex chosen = m_chosen.isValid() ? QModelIndex(m_chosen) : currentNode();
    m_filter->setText(text);
    // Open the categories and groups so the matches show; the objects are
    // leaves, so there is no need to walk them all.
    if (!text.isEmpty()) {
        for (int r = 0; r < m_filter->rowCount(); ++r) {
            const QModelIndex category = m_filter->index(r, 0);
            m_tree->expand(category);
            for (int g = 0; g < m_filter->rowCount(category); ++g) {
                const QModelIndex group = m_filter->index(g, 0, category);
                if (m_filter->hasChildren(group))
                    m_tree->expand(group);
            }
        }
    }
    const QModelIndex shown = m_filter->mapFromSource(chosen);
    if (shown.isValid()) {
        const QScopedValueRollback placing(m_placingChoice, true);
        m_tree->setCurrentIndex(shown);
        m_tree->scrollTo(shown);
    }
}

void FrmEdit::prepareAfterStartup()
{
    if (m_summary->isValid()) {
        QFont f = m_summary->widget()->font();
        f.setPointSize(11);
        // The label column takes its longest label, drawn bold (UpdateLV),
        // with the cell's margins; separator rows run past it by design.
        QFont bold = f;
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        int widest = 0;
        for (const SummaryRow &row : Summary::build(SummaryInput()))
            widest = row.label == Summary::separator() ? widest : std::max(widest, metrics.horizontalAdvance(row.label));
        const int labelTwips = Twips::fromPixels(widest + 3 * metrics.averageCharWidth() + 8, logicalDpiX());
        m_summary->AddColumn(QStringLiteral("Name"), std::max(3440, labelTwips));
        m_summary->AddColumn(QStringLiteral("Value"), 7440);
        m_summary->widget()->setFont(f);
        if (QAbstractItemView *view = m_summary->listView())
            view->setFont(f);
    }
    for (QComboBox *w : m_weapons)
        w->clear();
    fillWeaponNames();
    updateMissingFiles();
}

void FrmEdit::updateMissingFiles()
{
    m_missingFiles = StockRestore::missingDataFiles(GamePath);
    m_missingBar->setVisible(!m_missingFiles.isEmpty());
    m_missingLabel->setText(QStringLiteral("Missing data files: %1").arg(m_missingFiles.join(QStringLiteral(", "))));
}

void FrmEdit::restoreMissingFiles()
{
    StockRestore::Report report;
    if (!StockRestore::restoreDataFiles(GamePath, m_stockFolder, m_missingFiles, &report)) {
        Messages::show(this, {QStringLiteral("The stock files could not be restored:\r\n") + report.error,
                              QString::fromLatin1(Settings::AppName), QMessageBox::Critical, QMessageBox::Ok, -1});
    } else if (!report.refused.isEmpty()) {
        Messages::show(this, {QStringLiteral("These stored files were not restored, because their paths lead outside "
                                             "the game folder or through a symbolic link:\r\n")
                                  + report.refused.join(QStringLiteral("\r\n")),
                              QString::fromLatin1(Settings::AppName), QMessageBox::Warning, QMessageBox::Ok, -1});
    }
    reloadData();
}

void FrmEdit::reloadData()
{
    if (m_reloading)
        return;
    const QScopedValueRollback reloading(m_reloading, true);
    // Object keys are numbered afresh by each build: the choice is found
    // again by the texts on its way down the tree.
    QStringList way;
    for (QModelIndex n = m_chosen; n.isValid(); n = n.parent())
        way.prepend(textOf(n));
    Catalogue catalogue;
    fillCatalogue(catalogue.BuildCatalogue(GamePath));
    QModelIndex node;
    for (const QString &text : std::as_const(way)) {
        QModelIndex found;
        for (int r = 0; r < m_catalogue->rowCount(node) && !found.isValid(); ++r) {
            if (textOf(m_catalogue->index(r, 0, node)) == text)
                found = m_catalogue->index(r, 0, node);
        }
        node = found;
        if (!node.isValid())
            break;
    }
    m_chosen = node;
    setFilterText(m_filterBox->text());
    for (QComboBox *w : m_weapons)
        w->clear();
    fillWeaponNames();
    if (node.isValid())
        loadNode(node);
    updateMissingFiles();
}

void FrmEdit::fillNames(TVItem *loader, const QString &file, const QList<QComboBox *> &boxes)
{
    m_names.clear();
    loader->OpenFile(GamePath + QStringLiteral("\\Data\\INI\\") + file);
    for (QComboBox *box : boxes)
        appendEntries(box, m_names);
    m_names.clear();
}

void FrmEdit::fillWeaponNames()
{
    fillNames(m_weaponNames, QStringLiteral("Weapon.ini"), {m_weapons[0], m_weapons[1], m_weapons[2]});
}

bool FrmEdit::selectObject(const QString &name)
{
    const QModelIndexList found =
        m_catalogue->match(m_catalogue->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty())
        return false;
    const QModelIndex shown = m_filter->mapFromSource(found.first());
    if (shown.isValid()) {
        const QScopedValueRollback placing(m_placingChoice, true);
        m_tree->setCurrentIndex(shown);
        m_tree->scrollTo(shown);
    }
    loadNode(found.first());
    return true;
}

bool FrmEdit::IsObjectNode(const QModelIndex &node)
{
    const QModelIndex parent = node.parent();
    return !parent.isValid() || !keyOf(parent).endsWith(QLatin1String("ini"));
}

QString FrmEdit::fullPath(const QModelIndex &node)
{
    QStringList parts;
    for (QModelIndex n = node; n.isValid(); n = n.parent())
        parts.prepend(textOf(n));
    return parts.join(QLatin1Char('\\'));
}

void FrmEdit::loadNode(const QModelIndex &shownNode)
{
    const QModelIndex node = toCatalogue(shownNode);
    m_chosen = node;
    // Disabling the window takes the keyboard focus away; the control that
    // had it (the tree, when the choice came from there) gets it back.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    const bool active = isActiveWindow();
    setEnabled(false);
    m_tabs->setEnabled(false);
    const QString tag = tagOf(node);
    const int children = m_catalogue->rowCount(node);
    m_status[1]->setText(tag);
    m_ready = false;
    m_armourValue.clear();
    EventYield::yield();
    m_status[0]->setText(fullPath(node));
    m_status[2]->setText(QStringLiteral("There are %1 items in this catagory.").arg(children));

    bool filePresent = true;
    const bool objectNode = IsObjectNode(node) && children == 0;
    if (!GamePaths::FileExists(GamePath + QStringLiteral("\\Data\\INI\\Object\\") + tag) && objectNode) {
        filePresent = false;
        m_status[1]->setText(tag + QStringLiteral("  (Error: File does not exist)"));
        EventYield::yield();
    }

    if (objectNode && !textOf(node).isEmpty() && filePresent) {
        m_tabs->setEnabled(true);
        FrmColData progress(this);
        progress.setMaximum(25);
        progress.show();
        showStoredTab();

        const QString name = textOf(node);
        // The category node above the side or letter group names the file;
        // a node with no grandparent reads nothing.
        const QString file = Catalogue::objectFile(m_catalogue->nodes(), m_catalogue->node(node));
        m_parser->ObjectName = name;
        const ObjectValues values = file.isEmpty() ? ObjectValues() : ObjectValues::load(*m_parser, name, file);
        progress.step();

        m_maxHealth->setText(values.maxHealth);
        m_initialHealth->setText(values.initialHealth);
        m_cost->setText(values.cost);
        m_buildSpeed->setText(values.buildTime);
        m_visionRange->setText(values.visionRange);
        m_shroudRange->setText(values.shroudClearingRange);
        m_armourValue = values.armour;
        for (int i = 0; i < 6; ++i)
            progress.step();

        for (QComboBox *w : m_weapons) {
            w->clear();
            w->setEditText(QString());
        }
        fillWeaponNames();
        progress.step();
        WeaponSets = values.weaponSets.isEmpty() ? QStringList{QString()} : values.weaponSets;

        m_conditions->clear();
        m_condCombo->clear();
        m_cboLoco->clear();
        m_conditions->addItems(values.conditions);
        m_condCombo->addItems(values.conditions);
        m_condCombo->setCurrentIndex(values.conditions.isEmpty() ? -1 : 0);
        m_conditions->setCurrentIndex(values.conditions.isEmpty() ? -1 : 0);
        refillWeapons(0);
        progress.step();

        while (m_locoTab->count() > 0)
            m_locoTab->removeTab(0);
        for (const QString &loco : values.locomotors) {
            const int index = m_locoTab->addTab(loco);
            m_locoTab->setTabData(index, QStringLiteral("PvKey%1").arg(index + 1));
            m_cboLoco->addItem(loco);
        }
        // A tab bar changed while its page is hidden does not tell the page's
        // layout that it needs room: without this it stays squeezed to nothing.
        m_locoTab->updateGeometry();
        onLocoTabClicked();
        m_cboLoco->setCurrentIndex(values.locomotors.isEmpty() ? -1 : 0);
        for (int i = 0; i < 8; ++i)
            progress.step();

        m_armour->clear();
        m_locomotor->clear();
        fillNames(m_locomotorNames, QStringLiteral("Locomotor.ini"), {m_locomotor});
        fillNames(m_armourNames, QStringLiteral("Armor.ini"), {m_armour});
        setComboText(m_locomotor, m_locoTab->currentIndex() >= 0 ? m_locoTab->tabText(m_locoTab->currentIndex()) : QString());
        while (progress.value() < 25)
            progress.step();
    }

    setComboText(m_armour, m_armourValue);
    if (filePresent)
        UpdateLV();
    m_tree->viewport()->update();
    m_ready = true;
    EventYield::yield();
    setEnabled(true);
    // The progress window may have taken the activation with it.
    if (active && !isActiveWindow())
        activateWindow();
    if (focused && focused->window() == this)
        focused->setFocus();
    // The matchups window, when open, follows the choice; last, since it
    // works for a while with the event loop turning.
    if (objectNode && filePresent && !textOf(node).isEmpty())
        emit showWindowRequested(QStringLiteral("FrmMatchups"), textOf(node), false);
}

bool FrmEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_tree->currentIndex().isValid()) {
            loadNode(m_tree->currentIndex());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmEdit::refillWeapons(int set)
{
    const std::array<QString, 3> weapons = ObjectValues::weaponsOfSet(WeaponSets.value(set));
    for (int i = 0; i < 3; ++i)
        setComboText(m_weapons[i], weapons[i]);
}

void FrmEdit::onLocoTabClicked()
{
    const QModelIndex node = currentNode();
    if (!node.isValid())
        return;
    const int position = m_locoTab->currentIndex();
    const SParse::LocomotorHandling handling = m_parser->GetLocomotorData(textOf(node), tagOf(node), position);
    for (int i = 0; i < 9; ++i)
        m_handling[i]->setValue(handling.values[i].value_or(QString()));
    setComboText(m_locomotor, position >= 0 ? m_locoTab->tabText(position) : QString());
    UpdateLV();
}

void FrmEdit::onCboLocomotorChanged()
{
    const int tab = m_locoTab->currentIndex();
    if (tab >= 0)
        m_locoTab->setTabText(tab, m_locomotor->currentText());
}

void FrmEdit::onCboLocoActivated(int index)
{
    if (m_ready && index >= 0 && index < m_locoTab->count()) {
        if (m_locoTab->currentIndex() == index)
            onLocoTabClicked();
        else
            m_locoTab->setCurrentIndex(index);
    }
}

void FrmEdit::onConditionsActivated(int index)
{
    UpdateLV();
    if (!m_ready)
        return;
    refillWeapons(index);
    m_condCombo->setCurrentIndex(index);
    UpdateLV();
}

void FrmEdit::onCondComboActivated(int index)
{
    if (m_ready) {
        m_conditions->setCurrentIndex(index);
        onConditionsActivated(index);
    }
    UpdateLV();
}

void FrmEdit::onCboArmourChanged()
{
    const QString entry = m_armour->currentIndex() >= 0 ? m_armour->itemText(m_armour->currentIndex()) : QString();
    if (!entry.isEmpty())
        emit showWindowRequested(QStringLiteral("FrmArmour"), entry, false);
}

void FrmEdit::onShowArmourEditor()
{
    const QString entry = m_armour->currentIndex() >= 0 ? m_armour->itemText(m_armour->currentIndex()) : QString();
    emit showWindowRequested(QStringLiteral("FrmArmour"), entry, true);
}

void FrmEdit::onPWeaponEdit()
{
    const QComboBox *primary = m_weapons[0];
    const QString entry = primary->currentIndex() >= 0 ? primary->itemText(primary->currentIndex()) : QString();
    emit showWindowRequested(QStringLiteral("FrmWE"), entry, true);
}

void FrmEdit::UpdateLV()
{
    if (!m_summary || !m_summary->isValid())
        return;
    QAbstractItemView *view = m_summary->listView();
    if (!view || !view->model())
        return;
    SummaryInput in;
    in.name = textOf(currentNode());
    in.initialHealth = m_initialHealth->text();
    in.maxHealth = m_maxHealth->text();
    in.cost = m_cost->text();
    in.buildTime = m_buildSpeed->text();
    in.shroudClearingRange = m_shroudRange->text();
    in.visionRange = m_visionRange->text();
    in.primaryWeapon = m_weapons[0]->currentText();
    in.secondaryWeapon = m_weapons[1]->currentText();
    in.tertiaryWeapon = m_weapons[2]->currentText();
    for (int i = 0; i < m_locoTab->count(); ++i)
        in.locomotorTabs << m_locoTab->tabText(i);
    in.locomotorComboText = m_locomotor->currentText();
    for (int i = 0; i < 9; ++i)
        in.handling[i] = m_handling[i]->fullText();

    QAbstractItemModel *model = view->model();
    view->setUpdatesEnabled(false);
    model->removeRows(0, model->rowCount());
    for (const SummaryRow &row : Summary::build(in)) {
        m_summary->AddItem(row.label, 0);
        if (row.value)
            m_summary->AddItem(*row.value, 1);
    }
    QFont bold = view->font();
    bold.setBold(true);
    for (int r = 0; r < model->rowCount(); ++r) {
        const QModelIndex label = model->index(r, 0);
        model->setData(label, bold, Qt::FontRole);
        model->setData(label, QColor(Qt::red), Qt::ForegroundRole);
    }
    view->setUpdatesEnabled(true);
}

void FrmEdit::onCaptionTimer()
{
    // Only a node two levels below a category has a file above it.
    const QModelIndex category = currentNode().parent().parent();
    if (category.isValid())
        m_advancedFile->setText(QStringLiteral("Manual Edit ") + keyOf(category));
}

void FrmEdit::SF(const QString &Filename)
{
    openWholeFile(0, Filename, true);
}

void FrmEdit::LF(const QString &Filename)
{
    openWholeFile(1, Filename, true);
}

void FrmEdit::openWholeFile(int folderKind, const QString &name, bool checkExists)
{
    const QString folder = GamePath + (folderKind == 0 ? QStringLiteral("\\Data\\INI\\") : QStringLiteral("\\Data\\INI\\Object\\"));
    if (checkExists && !GamePaths::FileExists(folder + name)) {
        Messages::inform(this, QStringLiteral("The following files do not exist: ") + kCrLf + GamePaths::nativePath(folder + name));
        return;
    }
    emit manualEditRequested(0, folderKind, name, QString());
}

void FrmEdit::openBlock(bool locomotors)
{
    const QModelIndex node = currentNode();
    if (!node.isValid())
        return;
    const QString tag = tagOf(node);
    if (locomotors) {
        emit manualEditRequested(1, 0, QStringLiteral("Locomotor.ini"), m_parser->GetLocomotors(textOf(node), tag));
    } else {
        m_parser->ObjectName = textOf(node);
        emit manualEditRequested(1, 1, tag,
                                 m_parser->GetObjectText(QStringLiteral("Object"), QStringLiteral("Object\\") + tag));
    }
    unsetCursor();
}

void FrmEdit::exitCommand()
{
    if (m_exitCheck && !m_exitCheck())
        return;
    AskOnClose = false;
    WindowPlacement::SaveWindowPos(this);
    close();
    ProgramExit::endOrderly(0);
}

void FrmEdit::closeEvent(QCloseEvent *event)
{
    if (!AskOnClose) {
        event->accept();
        return;
    }
    if (Settings::ExitMain.read() == QLatin1String("1")) {
        const auto answer = Messages::show(this, {QStringLiteral("Are you sure that you want to quit?"),
                                                  QStringLiteral("Do you want to quit?"), QMessageBox::Question,
                                                  QMessageBox::Yes | QMessageBox::No, -1});
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    // Unsaved edits in the manual editor are asked about before the process ends.
    if (m_exitCheck && !m_exitCheck()) {
        event->ignore();
        return;
    }
    WindowPlacement::SaveWindowPos(this);
    event->accept();
    ProgramExit::endNow(0);
}
