#include "subeditor.h"

#include "engine/sparse.h"
#include "engine/tables.h"
#include "mainwindow/frmedit.h"
#include "platform/controlhost.h"
#include "platform/eventyield.h"
#include "platform/windowplacement.h"
#include "startup/programwindows.h"
#include "wholedata/tableexport.h"
#include "tabulet/controlfactory.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>

#include <cmath>

namespace {

constexpr int kMargin = 120; // twips: the lists' design left and top
constexpr int kLast = 2;      // the list control's ItemPos Last: choices go to the row just added

SubEditor::HandOff g_handOffHook;

// Entries sort as the user reads them, without regard to letter case.
class EntryItem : public QTableWidgetItem
{
public:
    using QTableWidgetItem::QTableWidgetItem;

    bool operator<(const QTableWidgetItem &other) const override
    {
        const int folded = text().compare(other.text(), Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : text() < other.text();
    }
};

// The mouse button value the viewers test: 1 left, 2 right, added up.
int buttonValue(const QMouseEvent *event)
{
    int value = 0;
    if (event->button() == Qt::RightButton)
        value = 2;
    else if (event->button() == Qt::LeftButton)
        value = 1;
    else
        return 0;
    if (value == 2 && (event->buttons() & Qt::LeftButton))
        value += 1;
    return value;
}

} // namespace

void SubEditor::setHandOffHook(HandOff hook)
{
    g_handOffHook = std::move(hook);
}

SubEditor::Layout SubEditor::layoutFor(int innerWidth, int innerHeight)
{
    const auto allowed = [](int twips) { return twips >= 0 ? std::optional<int>(twips) : std::nullopt; };
    Layout layout;
    const int valueLeft = int(std::lround(innerWidth * 0.3));
    layout.valueLeft = allowed(valueLeft);
    layout.listWidth = allowed(valueLeft - 175);
    layout.valueWidth = allowed(innerWidth - valueLeft - 100);
    layout.valueHeight = allowed(innerHeight - 2 * kMargin);
    return layout;
}

SubEditor::SubEditor(const Kind &kind, QWidget *parent)
    : QMainWindow(parent)
    , m_kind(kind)
{
    setObjectName(QLatin1String(kind.windowName));
    setWindowTitle(kind.baseTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    // The viewers have no icon of their own.
    if (const FrmEdit *main = FrmEdit::existing())
        setWindowIcon(main->windowIcon());

    // Each viewer reads through a parser of its own, so a lookup that another
    // window starts while this one yields cannot swap the block it is reading.
    m_parser = new SParse(this);
    m_parser->setObjectName(QStringLiteral("SParse1"));

    m_central = new QWidget(this);
    setCentralWidget(m_central);

    m_entries = new QTableWidget(0, 1, m_central);
    m_entries->setObjectName(QStringLiteral("LstWPN"));
    m_entries->horizontalHeader()->hide();
    m_entries->verticalHeader()->hide();
    m_entries->horizontalHeader()->setStretchLastSection(true);
    m_entries->setShowGrid(false);
    m_entries->setWordWrap(false);
    m_entries->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_entries->setSelectionMode(QAbstractItemView::SingleSelection);
    m_entries->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_entries->verticalHeader()->setDefaultSectionSize(m_entries->fontMetrics().height() + 4);
    m_entries->viewport()->installEventFilter(this);
    connect(m_entries, &QTableWidget::currentCellChanged, this, &SubEditor::onEntryRowChanged);
    connect(m_entries, &QTableWidget::cellClicked, this, &SubEditor::onEntryClicked);

    m_valueWidget = ControlHost::create(QStringLiteral("TabuletCtl.Tabulet"), m_central);
    if (!m_valueWidget) {
        // Without the list control the window still lists its entries and says why the values are missing.
        auto *missing = new QLabel(ControlHost::errorString(), m_central);
        missing->setWordWrap(true);
        missing->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        m_valueWidget = missing;
        m_values = new TabuletProxy(nullptr);
    } else {
        m_values = new TabuletProxy(m_valueWidget);
        const QMetaObject *meta = m_valueWidget->metaObject();
        const int signal = meta->indexOfSignal("MouseDown(short&,short&,float&,float&)");
        const int slot = metaObject()->indexOfSlot("onValueListMouseDown(short&,short&,float&,float&)");
        if (signal >= 0 && slot >= 0)
            QMetaObject::connect(m_valueWidget, signal, this, slot, Qt::DirectConnection);
    }
    m_valueWidget->setObjectName(QStringLiteral("ValueList"));

    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("MnuFile"));
    QAction *manEd = m_fileMenu->addAction(kind.manualEditCaption);
    manEd->setObjectName(QStringLiteral("MnuManEd"));
    connect(manEd, &QAction::triggered, this, &SubEditor::editInManualEditor);
    // Every entry of the viewer's kind as a table for spreadsheets.
    QAction *exportAction = m_fileMenu->addAction(QStringLiteral("Export..."));
    exportAction->setObjectName(QStringLiteral("MnuExport"));
    connect(exportAction, &QAction::triggered, this, [this] {
        for (const QString &table : Tables::kinds()) {
            if (Tables::keywordOf(table) == m_kind.blockKeyword)
                TableExport::exportKind(this, table);
        }
    });
    QAction *exit = m_fileMenu->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("MnuExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    // The context menu is a menu of its own that the menu bar never shows.
    m_popup = new QMenu(QStringLiteral("PopupMenu"), this);
    m_popup->setObjectName(QStringLiteral("MnuPop"));
    QAction *popManEd = m_popup->addAction(kind.manualEditCaption);
    popManEd->setObjectName(QStringLiteral("PopManEd"));
    connect(popManEd, &QAction::triggered, this, &SubEditor::editInManualEditor);
    QAction *popRefs = m_popup->addAction(QStringLiteral("Find References..."));
    popRefs->setObjectName(QStringLiteral("PopFindRefs"));
    connect(popRefs, &QAction::triggered, this, [this] {
        if (const QTableWidgetItem *item = m_entries->currentItem())
            ProgramWindows::showWindow(QStringLiteral("FrmRefs"), item->text(), true);
    });

    // The design size is the inner size; placement memory starts from it.
    const int menuHeight = menuBar()->sizeHint().height();
    resize(px(kind.designInnerSize.width()), px(kind.designInnerSize.height()) + menuHeight);
    m_entries->setGeometry(px(kMargin), px(kMargin), px(3000), px(kind.designInnerSize.height() - 2 * kMargin));
    m_valueWidget->move(px(3200), px(kMargin));
    applyLayout();
    m_central->installEventFilter(this);
}

SubEditor::~SubEditor()
{
    delete m_values;
}

void SubEditor::load()
{
    m_loading = true;
    WindowPlacement::LoadWindowPos(this);
    fillEntries();
    if (m_closing) {
        m_loading = false;
        finishBusy();
        return;
    }
    if (selectsFirstRow() && m_entries->rowCount() > 0) {
        const QScopedValueRollback quiet(m_quietSelection, true);
        m_entries->setCurrentCell(0, 0);
    }
    m_entries->setSortingEnabled(true);
    m_entries->sortByColumn(0, Qt::AscendingOrder);
    if (m_entries->currentItem())
        m_entries->scrollToItem(m_entries->currentItem(), QAbstractItemView::PositionAtCenter);
    m_entries->setColumnWidth(0, m_entries->width() - px(100));

    m_values->AddColumn(m_kind.firstColumn, m_kind.firstColumnWidth);
    m_values->AddColumn(m_kind.secondColumn, m_kind.secondColumnWidth);
    m_values->EnableTextBox(1);
    if (auto *view = qobject_cast<QTableView *>(m_values->listView())) {
        // Rows just tall enough for the combo box laid over a cell, so that a
        // weapon's eighteen rows fit the design size.
        view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 10);
        // The two columns are wider than the list at the design size. A click
        // on a value must not scroll the labels away (and the editor the list
        // control has just laid over the cell with them), so only a change of
        // row scrolls, and only as far as the row's label.
        view->setAutoScroll(false);
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, view,
                [view](const QModelIndex &current) {
                    if (current.isValid())
                        view->scrollTo(current.siblingAtColumn(0));
                });
    }
    m_loading = false;
}

void SubEditor::addEntry(const QString &text, const QString &key)
{
    const int row = m_entries->rowCount();
    auto *item = new EntryItem(text);
    item->setData(ItemRole::Key, key);
    m_entries->insertRow(row);
    m_entries->setItem(row, 0, item);
}

bool SubEditor::selectEntry(const QString &entry)
{
    const QList<QTableWidgetItem *> found = m_entries->findItems(entry, Qt::MatchFixedString);
    if (found.isEmpty())
        return false;
    QTableWidgetItem *item = found.first();
    for (QTableWidgetItem *candidate : found) {
        if (candidate->text() == entry) {
            item = candidate;
            break;
        }
    }
    const QScopedValueRollback quiet(m_quietSelection, true);
    m_entries->setCurrentItem(item);
    m_entries->scrollToItem(item, QAbstractItemView::PositionAtCenter);
    return true;
}

void SubEditor::bringForward()
{
    show();
    raise();
    activateWindow();
}

void SubEditor::onEntryRowChanged()
{
    if (!m_quietSelection)
        queueSelection();
}

void SubEditor::onEntryClicked()
{
    // A click on the row already chosen shows it again, as any click does.
    queueSelection();
}

void SubEditor::queueSelection()
{
    // The values are filled from the event loop, not from inside the list's
    // own signal: the fill yields, and the window may be closed meanwhile.
    if (m_selectionQueued)
        return;
    m_selectionQueued = true;
    QMetaObject::invokeMethod(this, &SubEditor::runQueuedSelection, Qt::QueuedConnection);
}

void SubEditor::runQueuedSelection()
{
    m_selectionQueued = false;
    if (m_closing)
        return;
    if (isBusy()) {
        m_selectionPending = true;
        return;
    }
    showSelection();
}

void SubEditor::showSelection()
{
    const QTableWidgetItem *item = m_entries->currentItem();
    if (!item)
        return;
    m_busy = true;
    const QString name = item->text();
    setWindowTitle(name + QStringLiteral(" - ") + m_kind.baseTitle);
    const QList<ViewerRow> rows = rowsFor(name);
    if (!m_closing)
        fillValueList(rows);
    finishBusy();
}

void SubEditor::fillValueList(const QList<ViewerRow> &rows)
{
    QAbstractItemView *view = m_values->listView();
    if (!view)
        return;
    QAbstractItemModel *model = view->model();
    model->removeRows(0, model->rowCount());
    // The combo box's own list would otherwise grow by every choice of every fill.
    m_values->CboClear();
    for (const ViewerRow &row : rows) {
        m_values->AddItem(row.label, 0);
        if (row.value) {
            m_values->AddItem(*row.value, 1, row.editor);
            for (const QString &choice : row.choices) {
                m_values->CboAddItem(choice, kLast);
                EventYield::yield();
            }
        }
        EventYield::yield();
        if (m_closing)
            return;
    }

    QFont bold = view->font();
    bold.setBold(true);
    for (int r = 0; r < model->rowCount(); ++r) {
        const QModelIndex label = model->index(r, 0);
        model->setData(label, bold, Qt::FontRole);
        model->setData(label, QColor(255, 0, 0), Qt::ForegroundRole);
    }
    m_values->UpdateLV();
}

void SubEditor::editInManualEditor()
{
    if (isBusy()) {
        m_handOffPending = true;
        return;
    }
    handOffSelection();
}

void SubEditor::handOffSelection()
{
    const QTableWidgetItem *item = m_entries->currentItem();
    if (!item)
        return;
    m_busy = true;
    m_parser->ObjectName = item->text();
    const QString text = m_parser->GetObjectText(m_kind.blockKeyword, m_kind.iniFile);
    if (!m_closing) {
        // A block of the viewer's own file: the editor shows it and never
        // saves it over the whole file.
        if (g_handOffHook)
            g_handOffHook(1, 0, m_kind.iniFile, text);
        else
            ProgramWindows::openManualEditor(1, 0, m_kind.iniFile, text);
    }
    finishBusy();
}

void SubEditor::finishBusy()
{
    m_busy = false;
    if (m_closing) {
        deleteLater();
        return;
    }
    if (m_handOffPending) {
        m_handOffPending = false;
        QMetaObject::invokeMethod(this, &SubEditor::editInManualEditor, Qt::QueuedConnection);
    }
    if (m_selectionPending) {
        m_selectionPending = false;
        queueSelection();
    }
}

void SubEditor::closeEvent(QCloseEvent *event)
{
    WindowPlacement::SaveWindowPos(this);
    m_closing = true;
    // A fill under way still runs on this window; it is deleted once the fill is done.
    if (isBusy())
        setAttribute(Qt::WA_DeleteOnClose, false);
    event->accept();
}

bool SubEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_central && event->type() == QEvent::Resize) {
        applyLayout();
    } else if (watched == m_entries->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const int button = buttonValue(mouse);
        if (button == 2 || button == 3) {
            // Let the list select the row under the mouse first, as a right click does.
            QTimer::singleShot(0, this, [this, at = mouse->globalPosition().toPoint()] { popUpMenu(at); });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void SubEditor::onValueListMouseDown(short &Button, short &, float &x, float &y)
{
    if (Button != 2 && Button != 3)
        return;
    const QAbstractItemView *view = m_values->listView();
    if (!view)
        return;
    const QPoint at = view->mapToGlobal(QPoint(px(int(x)), px(int(y))));
    QTimer::singleShot(0, this, [this, at] { popUpMenu(at); });
}

void SubEditor::popUpMenu(const QPoint &globalPos)
{
    if (!m_closing)
        m_popup->popup(globalPos);
}

void SubEditor::applyLayout()
{
    const int innerWidth = WindowPlacement::toTwips(this, m_central->width());
    const int innerHeight = WindowPlacement::toTwips(this, m_central->height());
    const Layout layout = layoutFor(innerWidth, innerHeight);

    QRect list = m_entries->geometry();
    QRect values = m_valueWidget->geometry();
    list.moveTopLeft(QPoint(px(kMargin), px(kMargin)));
    values.moveTop(px(kMargin));
    if (layout.valueLeft)
        values.moveLeft(px(*layout.valueLeft));
    if (layout.listWidth)
        list.setWidth(px(*layout.listWidth));
    if (layout.valueWidth)
        values.setWidth(px(*layout.valueWidth));
    if (layout.valueHeight)
        values.setHeight(px(*layout.valueHeight));
    list.setHeight(values.height());
    m_entries->setGeometry(list);
    m_valueWidget->setGeometry(values);
}

int SubEditor::px(int twips) const
{
    return WindowPlacement::toPixels(this, twips);
}
