#include "frmmatchups.h"

#include "tableexport.h"

#include "engine/globals.h"
#include "platform/busywindow.h"
#include "platform/eventyield.h"
#include "platform/messages.h"
#include "platform/windowplacement.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

QPointer<FrmMatchups> g_window;

// A matrix larger than this is refused: it would take minutes and a file
// no spreadsheet opens.
constexpr qint64 kMaxCells = 1000000;

enum AttackerColumn { TargetName, TargetArmour, TargetHealth, APercent, AEffective, AShots, ASeconds, ANote };
enum TargetColumn { AttackerName, AWeapon, ADamageType, ADamage, TPercent, TEffective, TShots, TSeconds, TNote };

// Sorts numbers as numbers: the sort key is kept in Qt::UserRole; text columns have none.
class MatchupItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(column, Qt::UserRole);
        const QVariant b = other.data(column, Qt::UserRole);
        if (a.isValid() && b.isValid())
            return a.toDouble() < b.toDouble();
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

// "never" after every number, empty cells after "never".
double sortKey(const QString &text)
{
    if (const auto n = MatchupNumber::parse(text, true))
        return double(n->units) / 10000.0;
    return text == QLatin1String("never") ? 1e300 : 1e301;
}

MatchupItem *makeItem(const QStringList &texts, std::initializer_list<int> numeric)
{
    auto *item = new MatchupItem(texts);
    for (int c : numeric) {
        item->setData(c, Qt::UserRole, sortKey(texts[c]));
        item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

// Shots and seconds from green (the fewest shots in the list) to red (the
// most), on a log scale so that 1 against 2 shots shows as much as 10 against
// 20; "never" in a deeper red.
void colourShots(const QList<QTreeWidgetItem *> &items, int shots, int seconds)
{
    double low = 1e300;
    double high = 0;
    for (const QTreeWidgetItem *item : items) {
        bool ok = false;
        const double n = item->text(shots).toDouble(&ok);
        if (ok && n > 0) {
            low = std::min(low, n);
            high = std::max(high, n);
        }
    }
    for (QTreeWidgetItem *item : items) {
        const QString text = item->text(shots);
        bool ok = false;
        const double n = text.toDouble(&ok);
        QColor colour;
        if (ok && n > 0) {
            const double t = high > low ? (std::log(n) - std::log(low)) / (std::log(high) - std::log(low)) : 0.0;
            colour = QColor::fromHsv(int(120 * (1 - t)), 120, 245);
        } else if (text == QLatin1String("never")) {
            colour = QColor::fromHsv(0, 200, 200);
        } else {
            continue;
        }
        for (int c : {shots, seconds}) {
            item->setBackground(c, colour);
            item->setForeground(c, QColor(Qt::black));
        }
    }
}

} // namespace

FrmMatchups *FrmMatchups::open(const QString &name)
{
    if (!g_window)
        g_window = new FrmMatchups;
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    g_window->choose(name);
    return g_window;
}

FrmMatchups *FrmMatchups::existing()
{
    return g_window;
}

FrmMatchups::FrmMatchups(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FrmMatchups"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Matchups - Torvane Zarnith"));
    resize(900, 520);
    auto *layout = new QVBoxLayout(this);
    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("LblHeading"));
    m_heading->setWordWrap(true);
    m_heading->setTextFormat(Qt::PlainText);
    auto *filterRow = new QHBoxLayout;
    auto *filterLabel = new QLabel(QStringLiteral("&Filter:"), this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("TxtFilter"));
    m_filter->setPlaceholderText(QStringLiteral("Part of an object's name"));
    m_filter->setClearButtonEnabled(true);
    filterLabel->setBuddy(m_filter);
    m_sort = new QComboBox(this);
    m_sort->setObjectName(QStringLiteral("CboSort"));
    m_sort->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto *sortLabel = new QLabel(QStringLiteral("&Sort by:"), this);
    sortLabel->setBuddy(m_sort);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    filterRow->addWidget(sortLabel);
    filterRow->addWidget(m_sort);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("PrgMatchups"));
    m_progress->hide();
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("TabMatchups"));
    m_asAttacker = makeList("LstAsAttacker", {QStringLiteral("Target"), QStringLiteral("Armour"), QStringLiteral("Health"),
                                              QStringLiteral("Percent"), QStringLiteral("Effective"),
                                              QStringLiteral("Shots"), QStringLiteral("Seconds"), QStringLiteral("Note")});
    m_asTarget = makeList("LstAsTarget", {QStringLiteral("Attacker"), QStringLiteral("Weapon"),
                                          QStringLiteral("Damage type"), QStringLiteral("Damage"),
                                          QStringLiteral("Percent"), QStringLiteral("Effective"), QStringLiteral("Shots"),
                                          QStringLiteral("Seconds"), QStringLiteral("Note")});
    m_tabs->addTab(m_asAttacker, QStringLiteral("As &attacker"));
    m_tabs->addTab(m_asTarget, QStringLiteral("As &target"));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("LblSummary"));
    auto *buttons = new QHBoxLayout;
    m_export = new QPushButton(QStringLiteral("&Export..."), this);
    m_export->setObjectName(QStringLiteral("BtnExport"));
    m_export->setToolTip(QStringLiteral("Save the shots of every object the filter shows against every other as CSV"));
    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("BtnClose"));
    buttons->addWidget(m_summary, 1);
    buttons->addWidget(m_export);
    buttons->addWidget(close);
    layout->addWidget(m_heading);
    layout->addLayout(filterRow);
    layout->addWidget(m_progress);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
    setTabOrder(m_filter, m_sort);
    setTabOrder(m_sort, m_tabs);
    setTabOrder(m_tabs, m_export);
    setTabOrder(m_export, close);

    connect(m_filter, &QLineEdit::textChanged, this, &FrmMatchups::applyFilter);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        fillSortBox();
        applyFilter();
    });
    connect(m_sort, &QComboBox::activated, this, &FrmMatchups::onSortChosen);
    for (QTreeWidget *list : {m_asAttacker, m_asTarget})
        connect(list->header(), &QHeaderView::sortIndicatorChanged, this, &FrmMatchups::fillSortBox);
    fillSortBox();
    connect(m_export, &QPushButton::clicked, this, &FrmMatchups::exportMatrix);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    WindowPlacement::LoadWindowPos(this);
}

QTreeWidget *FrmMatchups::makeList(const char *name, const QStringList &headers)
{
    auto *list = new QTreeWidget(this);
    list->setObjectName(QLatin1String(name));
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    list->header()->setStretchLastSection(true);
    // Catalogue order until the user sorts by a column.
    list->header()->setSortIndicator(-1, Qt::AscendingOrder);
    list->setSortingEnabled(true);
    return list;
}

void FrmMatchups::choose(const QString &name)
{
    if (name.isEmpty() || m_closing)
        return;
    // The work below gives the event loop turns, in which the main window's
    // choice may move on: the latest choice is shown once the work is done.
    if (m_busy) {
        m_pending = name;
        return;
    }
    m_busy = true;
    m_export->setEnabled(false);
    for (QString next = name; !next.isEmpty() && !m_closing; next = std::exchange(m_pending, QString())) {
        if (!ensureData())
            break;
        fill(next);
    }
    m_busy = false;
    m_progress->hide();
    m_export->setEnabled(true);
    // Closed while the work ran: the window waited for it.
    if (m_closing)
        deleteLater();
}

bool FrmMatchups::ensureData()
{
    if (m_read)
        return true;
    m_heading->setText(QStringLiteral("Reading the data files..."));
    m_progress->setRange(0, 13);
    m_progress->setValue(0);
    m_progress->show();
    const bool done = m_data.build(GamePath, [this] { return m_closing; },
                                   [this](int read, int total) {
                                       m_progress->setRange(0, total);
                                       m_progress->setValue(read);
                                   });
    m_read = done;
    return done;
}

void FrmMatchups::fill(const QString &name)
{
    m_name = name;
    for (QTreeWidget *list : {m_asAttacker, m_asTarget})
        list->clear();
    const int chosen = m_data.findObject(name);
    if (chosen < 0) {
        m_heading->setText(QStringLiteral("No object named %1 in the data files.").arg(name));
        applyFilter();
        return;
    }
    const int count = m_data.objectCount();
    m_heading->setText(QStringLiteral("Working out %1 against %2 objects...").arg(name).arg(count));
    m_progress->setRange(0, 2 * count);
    m_progress->setValue(0);
    m_progress->show();

    const std::optional<MatchupSlot> weapon = m_data.primaryWeapon(chosen);
    const MatchupTarget &self = m_data.target(chosen);
    QList<QTreeWidgetItem *> asAttacker;
    QList<QTreeWidgetItem *> asTarget;
    for (int i = 0; i < count; ++i) {
        EventYield::yield();
        if (m_closing) {
            qDeleteAll(asAttacker);
            return;
        }
        if ((i & 255) == 0)
            m_progress->setValue(i);
        if (!weapon)
            break;
        const MatchupRow r = m_data.row(*weapon, i);
        asAttacker << makeItem({m_data.objectName(i), r.armour, r.health, r.result.percent, r.result.effective,
                                r.result.shots, r.result.seconds, r.result.note},
                               {TargetHealth, APercent, AEffective, AShots, ASeconds});
    }
    for (int i = 0; i < count; ++i) {
        EventYield::yield();
        if (m_closing) {
            qDeleteAll(asAttacker);
            return;
        }
        if ((i & 255) == 0)
            m_progress->setValue(count + i);
        const std::optional<MatchupSlot> theirs = m_data.primaryWeapon(i);
        if (!theirs)
            continue;
        const MatchupRow r = m_data.row(*theirs, chosen);
        asTarget << makeItem({m_data.objectName(i), theirs->weapon, r.damageType, r.damage, r.result.percent,
                              r.result.effective, r.result.shots, r.result.seconds, r.result.note},
                             {ADamage, TPercent, TEffective, TShots, TSeconds});
    }
    colourShots(asAttacker, AShots, ASeconds);
    colourShots(asTarget, TShots, TSeconds);
    for (QTreeWidget *list : {m_asAttacker, m_asTarget}) {
        // Filled unsorted, then sorted once, by the column the user chose.
        list->setSortingEnabled(false);
        list->addTopLevelItems(list == m_asAttacker ? asAttacker : asTarget);
        list->setSortingEnabled(true);
        for (int c = 0; c + 1 < list->columnCount(); ++c)
            list->resizeColumnToContents(c);
    }

    QString heading;
    if (weapon) {
        const MatchupWeapon w = m_data.weapon(weapon->weapon);
        heading = w.found ? QStringLiteral("%1 fires %2: %3 %4 damage per shot")
                                .arg(name, weapon->weapon, w.damage.isEmpty() ? QStringLiteral("no") : w.damage,
                                     w.damageType)
                          : QStringLiteral("%1 fires %2, which no weapon block defines").arg(name, weapon->weapon);
        if (!w.reloadDelay.isEmpty())
            heading += QStringLiteral(", %1 ms between shots").arg(w.reloadDelay);
        heading += QLatin1Char('.');
    } else {
        heading = QStringLiteral("%1 has no primary weapon in its first weapon set.").arg(name);
    }
    heading += self.hasArmourSet ? QStringLiteral(" It wears %1").arg(self.armour)
                                 : QStringLiteral(" It has no armour set");
    heading += QStringLiteral(" and has %1 health.").arg(self.health.isEmpty() ? QStringLiteral("no") : self.health);
    m_heading->setText(heading);
    applyFilter();
}

void FrmMatchups::applyFilter()
{
    const QString text = m_filter->text().trimmed();
    for (QTreeWidget *list : {m_asAttacker, m_asTarget}) {
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem *item = list->topLevelItem(i);
            item->setHidden(!item->text(0).contains(text, Qt::CaseInsensitive));
        }
    }
    QTreeWidget *shown = m_tabs->currentIndex() == 0 ? m_asAttacker : m_asTarget;
    int visible = 0;
    for (int i = 0; i < shown->topLevelItemCount(); ++i)
        visible += shown->topLevelItem(i)->isHidden() ? 0 : 1;
    m_summary->setText(m_tabs->currentIndex() == 0 ? QStringLiteral("%1 target(s) shown").arg(visible)
                                                   : QStringLiteral("%1 attacker(s) shown").arg(visible));
}

QTreeWidget *FrmMatchups::shownList() const
{
    return m_tabs->currentIndex() == 1 ? m_asTarget : m_asAttacker;
}

void FrmMatchups::fillSortBox()
{
    const QTreeWidget *list = shownList();
    const QTreeWidgetItem *headings = list->headerItem();
    m_sort->clear();
    m_sort->addItem(QStringLiteral("Data file order"), -1);
    for (int c = 0; c < list->columnCount(); ++c) {
        m_sort->addItem(QStringLiteral("%1, ascending").arg(headings->text(c)), 2 * c);
        m_sort->addItem(QStringLiteral("%1, descending").arg(headings->text(c)), 2 * c + 1);
    }
    const int column = list->header()->sortIndicatorSection();
    const bool sorted = column >= 0 && column < list->columnCount();
    const int order = list->header()->sortIndicatorOrder() == Qt::AscendingOrder ? 0 : 1;
    m_sort->setCurrentIndex(sorted ? 1 + 2 * column + order : 0);
}

void FrmMatchups::onSortChosen(int index)
{
    QTreeWidget *list = shownList();
    const int key = m_sort->itemData(index).toInt();
    if (key >= 0) {
        list->sortByColumn(key / 2, key % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
        return;
    }
    // Back to the order the rows were made in, the catalogue's: made again.
    for (QTreeWidget *each : {m_asAttacker, m_asTarget})
        each->header()->setSortIndicator(-1, Qt::AscendingOrder);
    choose(m_name);
}

bool FrmMatchups::exportMatrix()
{
    if (m_busy || !m_read)
        return false;
    const QList<int> objects = m_data.objectsContaining(m_filter->text().trimmed());
    if (objects.isEmpty() || qint64(objects.size()) * objects.size() > kMaxCells) {
        Messages::show(this, {objects.isEmpty()
                                  ? QStringLiteral("No object's name contains the filter's text.")
                                  : QStringLiteral("The filter shows %1 objects: their matrix would have %2 cells. "
                                                   "Narrow the filter to at most %3 objects.")
                                        .arg(objects.size())
                                        .arg(qint64(objects.size()) * objects.size())
                                        .arg(qint64(std::sqrt(double(kMaxCells)))),
                              QStringLiteral("Export"), QMessageBox::Information});
        return false;
    }
    const QString path = TableExport::askPath(this, QStringLiteral("Export Matchups"),
                                              QDir::homePath() + QStringLiteral("/matchups.csv"));
    if (path.isEmpty())
        return false;
    m_busy = true;
    m_export->setEnabled(false);
    const MatchupMatrix matrix = m_data.matrix(objects, objects, [this] { return m_closing; });
    m_busy = false;
    m_export->setEnabled(true);
    if (m_closing) {
        deleteLater();
        return false;
    }
    return TableExport::writeFile(this, path, Matchup::writeMatrix(m_data, matrix, Matchup::Csv),
                                  QStringLiteral("matchups"));
}

void FrmMatchups::closeEvent(QCloseEvent *event)
{
    WindowPlacement::SaveWindowPos(this);
    // Work still running on this window stops at its next step and deletes
    // the window then.
    BusyWindow::closing(this, m_busy, m_closing, &g_window);
    event->accept();
}
