#include "tabulet.h"

#include "celldelegate.h"
#include "controlfactory.h"
#include "keycodes.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QScopedValueRollback>
#include <QTableWidget>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const QString textBoxKind = QStringLiteral("TxtBox");
const QString comboBoxKind = QStringLiteral("CboBox");
constexpr double twipsPerInch = 1440.0;
// Wider than any screen; a width past it is refused like any unusable one.
constexpr double maxColumnTwips = 1440.0 * 1000;

// Arguments arrive from hosts as any kind of value: numbers in text count as
// numbers, and whole values round half to even as the original platform did.
std::optional<double> numberOf(const QVariant &value)
{
    bool ok = false;
    double number = 0;
    if (value.typeId() == QMetaType::QString)
        number = QLocale::c().toDouble(value.toString().trimmed(), &ok);
    else if (value.isValid() && value.canConvert<double>())
        number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

std::optional<short> shortOf(std::optional<double> number)
{
    if (!number)
        return std::nullopt;
    const double whole = std::nearbyint(*number);
    if (whole < -32768 || whole > 32767)
        return std::nullopt;
    return short(whole);
}

std::optional<QString> textOf(const QVariant &value)
{
    if (!value.isValid())
        return QString();
    if (!value.canConvert<QString>())
        return std::nullopt;
    return value.toString();
}

std::optional<bool> boolOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    if (const std::optional<double> number = numberOf(value))
        return *number != 0;
    return std::nullopt;
}

QString numberFailure(const QVariant &value, const char *what)
{
    if (numberOf(value))
        return QStringLiteral("%1 %2 is outside -32768 to 32767.").arg(QLatin1String(what), value.toString());
    return QStringLiteral("%1 \"%2\" is not a number.").arg(QLatin1String(what), value.toString());
}

bool isSeparator(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == u'-'; });
}

// Choices are trimmed of spaces only to decide whether they are blank.
bool isBlankChoice(const QString &choice)
{
    return std::all_of(choice.cbegin(), choice.cend(), [](QChar c) { return c == u' '; });
}

struct StoredProperty
{
    const char *name;
    QMetaType::Type type;
    int defaultValue;
};

// Load and save run in this order. SortOrder is read as a 16-bit number like
// SortKey and kept as a 32-bit one.
constexpr StoredProperty storedProperties[] = {
    {"Sorted", QMetaType::Bool, 0},
    {"FullRowSelect", QMetaType::Bool, 0},
    {"GridLines", QMetaType::Bool, 1},
    {"HideColumnHeaders", QMetaType::Bool, 0},
    {"SortKey", QMetaType::Short, 0},
    {"SortOrder", QMetaType::Int, 0},
};

}

Tabulet::Tabulet(QWidget *parent)
    : QWidget(parent)
    , m_list(new QTableWidget(this))
    , m_textBox(new QLineEdit(this))
    , m_comboBox(new QComboBox(this))
    , m_delegate(new CellDelegate(m_list))
{
    m_list->setObjectName(QStringLiteral("LV1"));
    m_textBox->setObjectName(QStringLiteral("TxtBox"));
    m_comboBox->setObjectName(QStringLiteral("CboBox"));

    // A list view in report view: whole rows are picked, cells are only ever
    // changed through the two editors.
    m_list->setItemDelegate(m_delegate);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->viewport()->setMouseTracking(true);
    QHeaderView *header = m_list->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    // Clicking a header neither sorts nor selects: sorting follows SortKey
    // and SortOrder alone.
    header->setSectionsClickable(false);
    header->setSortIndicator(0, Qt::AscendingOrder);
    header->setSortIndicatorShown(false);

    // No completion and no inserting on Enter: the box shows exactly what the
    // user typed or picked, and only the cell keeps it.
    m_comboBox->setEditable(true);
    m_comboBox->setInsertPolicy(QComboBox::NoInsert);
    m_comboBox->setCompleter(nullptr);
    m_textBox->hide();
    m_comboBox->hide();
    // The list and its editors are one stop in the window's tab order: Tab
    // leaves the control rather than moving between cells, and the editors
    // are reached by a row click, never by Tab.
    m_list->setTabKeyNavigation(false);
    m_textBox->setFocusPolicy(Qt::ClickFocus);
    m_comboBox->setFocusPolicy(Qt::ClickFocus);

    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    m_textBox->installEventFilter(this);

    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &Tabulet::onSelectionChanged);
    connect(m_list, &QAbstractItemView::clicked, this, &Tabulet::onClicked);
    connect(m_list->model(), &QAbstractItemModel::dataChanged, this, &Tabulet::onDataChanged);
    connect(m_textBox, &QLineEdit::textChanged, this, &Tabulet::writeBack);
    connect(m_comboBox, &QComboBox::editTextChanged, this, &Tabulet::writeBack);
    connect(m_comboBox, &QComboBox::activated, this, &Tabulet::onChoiceActivated);
}

QWidget *Tabulet::LVObject() const
{
    return m_list;
}

QWidget *Tabulet::CboObject() const
{
    return m_comboBox;
}

QWidget *Tabulet::TxtObject() const
{
    return m_textBox;
}

bool Tabulet::AddItem(const QVariant &Strtext, const QVariant &ColIndex, int eTBType)
{
    // Remembered even when the add fails: the row click's pre-fill reads it.
    m_lastEditorKind = eTBType;
    clearError();
    const std::optional<QString> text = textOf(Strtext);
    if (!text)
        return fail(QStringLiteral("The item text is not a text or a number."));
    const std::optional<short> index = shortOf(numberOf(ColIndex));
    if (!index)
        return fail(numberFailure(ColIndex, "Column index"));
    if (*index == 0)
        return addRow(*text);
    return addCell(*text, *index, eTBType);
}

bool Tabulet::addRow(const QString &text)
{
    const int count = m_list->rowCount();
    // Keys come from the row count, so rows removed by the host can leave
    // the next key already taken.
    const QString key = QStringLiteral("Key%1").arg(count + 1);
    for (int row = 0; row < count; ++row) {
        const QTableWidgetItem *label = m_list->item(row, 0);
        if (label && label->data(ItemRole::Key).toString() == key)
            return fail(QStringLiteral("The key %1 is already used by another row.").arg(key));
    }
    ensureColumns(1);
    auto *label = new QTableWidgetItem(text);
    label->setData(ItemRole::Key, key);
    label->setData(ItemRole::Tag, QString());
    m_list->insertRow(count);
    m_list->setItem(count, 0, label);
    return true;
}

bool Tabulet::addCell(const QString &text, int cellIndex, int kind)
{
    const int count = m_list->rowCount();
    if (count == 0)
        return fail(QStringLiteral("The list has no row to add cell %1 to.").arg(cellIndex));
    if (cellIndex < 0)
        return fail(QStringLiteral("There is no cell %1.").arg(cellIndex));
    const int row = count - 1;
    const int cells = cellCount(row);
    if (cellIndex <= cells)
        return fail(QStringLiteral("Row %1 already has a cell %2.").arg(count).arg(cellIndex));
    if (cellIndex > cells + 1)
        return fail(QStringLiteral("Row %1 has no cell %2 to add cell %3 after.").arg(count).arg(cellIndex - 1).arg(cellIndex));

    ensureColumns(cellIndex + 1);
    auto *item = new QTableWidgetItem(text);
    item->setData(ItemRole::Key, QStringLiteral("Col%1%2").arg(cellIndex).arg(count));
    QString tag;
    if (kind == eCboBox)
        tag = comboBoxKind + u'|';
    else if (kind == eTxtBox)
        tag = textBoxKind + u'|';
    item->setData(ItemRole::Tag, tag);
    m_list->setItem(row, cellIndex, item);
    return true;
}

void Tabulet::AddColumn(const QVariant &Strtext, const QVariant &ColWidth)
{
    const std::optional<QString> text = textOf(Strtext);
    if (!text)
        return;
    const int column = headerCount();
    if (column >= m_list->columnCount())
        setColumnCount(column + 1);
    auto *header = new QTableWidgetItem(*text);
    header->setData(ItemRole::Key, QStringLiteral("Col%1").arg(column + 1));
    m_list->setHorizontalHeaderItem(column, header);

    const std::optional<double> width = numberOf(ColWidth);
    if (width && *width >= 0 && *width <= maxColumnTwips)
        m_list->setColumnWidth(column, twipsToPixelsX(float(*width)));
}

bool Tabulet::UpdateLV()
{
    clearError();
    const int row = selectedRow();
    if (row < 0)
        return fail(QStringLiteral("No row is selected."));
    const QTableWidgetItem *item = cell(row, m_editColumn - 1);
    if (!item)
        return fail(QStringLiteral("Row %1 has no cell %2.").arg(row + 1).arg(m_editColumn - 1));
    const QScopedValueRollback filling(m_filling, true);
    m_textBox->setText(item->text());
    m_comboBox->setEditText(item->text());
    return true;
}

bool Tabulet::EnableTextBox(const QVariant &ColIndex)
{
    clearError();
    m_editEnabled = true;
    const std::optional<double> index = numberOf(ColIndex);
    if (!index)
        return fail(numberFailure(ColIndex, "Column index"));
    const std::optional<short> column = shortOf(*index + 1);
    if (!column)
        return fail(QStringLiteral("Column index %1 + 1 is outside -32768 to 32767.").arg(ColIndex.toString()));
    m_editColumn = *column;
    return true;
}

bool Tabulet::DisableTextBox()
{
    clearError();
    m_editEnabled = false;
    m_editColumn = 0;
    m_textBox->hide();
    if (m_comboBox->isHidden())
        m_delegate->clearCoveredCell();
    m_list->viewport()->update();
    return true;
}

bool Tabulet::CboAddItem(const QVariant &Text, int ItemPosition, const QVariant &Index)
{
    clearError();
    const std::optional<QString> text = textOf(Text);
    if (!text)
        return fail(QStringLiteral("The choice is not a text or a number."));
    {
        // Adding the first choice makes it current in a Qt combo box; the
        // box keeps showing the value it had.
        const QScopedValueRollback filling(m_filling, true);
        const QString shown = m_comboBox->currentText();
        if (Index.isValid()) {
            const std::optional<short> at = shortOf(numberOf(Index));
            if (!at || *at < 0 || *at > m_comboBox->count())
                return fail(QStringLiteral("There is no place %1 in the combo box's list of %2 choices.")
                                .arg(Index.toString())
                                .arg(m_comboBox->count()));
            m_comboBox->insertItem(*at, *text);
        } else {
            m_comboBox->addItem(*text);
        }
        if (m_comboBox->currentText() != shown)
            m_comboBox->setEditText(shown);
    }

    const int row = ItemPosition == SelItem ? selectedRow() : m_list->rowCount() - 1;
    if (row < 0)
        return fail(ItemPosition == SelItem ? QStringLiteral("No row is selected.")
                                            : QStringLiteral("The list has no rows."));
    QTableWidgetItem *item = cell(row, m_editColumn - 1);
    if (!item)
        return fail(QStringLiteral("Row %1 has no cell %2 to take the choice.").arg(row + 1).arg(m_editColumn - 1));
    // The tag has no escaping: a comma would split the choice in two.
    if (text->contains(u','))
        return fail(QStringLiteral("The choice \"%1\" contains a comma.").arg(*text));
    item->setData(ItemRole::Tag, item->data(ItemRole::Tag).toString() + *text + u',');
    return true;
}

bool Tabulet::CboClear()
{
    clearError();
    const QScopedValueRollback filling(m_filling, true);
    m_comboBox->clear();
    m_comboBox->clearEditText();
    return true;
}

bool Tabulet::CheckSep(const QVariant &Text)
{
    clearError();
    const std::optional<QString> text = textOf(Text);
    if (!text)
        return fail(QStringLiteral("The value is not a text or a number."));
    return isSeparator(*text);
}

QVariant Tabulet::FindItem(const QString &sz, const QVariant &Where, const QVariant &Index, const QVariant &fPartial)
{
    const std::optional<short> where = Where.isValid() ? shortOf(numberOf(Where)) : short(0);
    const std::optional<short> start = Index.isValid() ? shortOf(numberOf(Index)) : short(0);
    const bool partial = fPartial.isValid() && boolOf(fPartial).value_or(false);
    if (!where || (*where != 0 && *where != 1) || !start || *start < 0)
        return QVariant();

    const auto matches = [&](int row, bool prefix) {
        const int first = *where == 0 ? 0 : 1;
        const int last = *where == 0 ? 0 : m_list->columnCount() - 1;
        for (int column = first; column <= last; ++column) {
            const QTableWidgetItem *item = m_list->item(row, column);
            if (!item)
                continue;
            if (prefix ? item->text().startsWith(sz, Qt::CaseInsensitive)
                       : item->text().compare(sz, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    for (const bool prefix : {false, true}) {
        if (prefix && !partial)
            break;
        for (int row = *start; row < m_list->rowCount(); ++row) {
            if (matches(row, prefix))
                return row;
        }
    }
    return QVariant();
}

bool Tabulet::Sorted() const
{
    return m_list->isSortingEnabled();
}

void Tabulet::setSorted(bool sorted)
{
    if (sorted == Sorted())
        return;
    m_list->setSortingEnabled(sorted);
    m_list->horizontalHeader()->setSortIndicatorShown(false);
    emit sortedChanged(sorted);
}

bool Tabulet::FullRowSelect() const
{
    return m_delegate->fullRowSelect();
}

void Tabulet::setFullRowSelect(bool fullRowSelect)
{
    if (fullRowSelect == FullRowSelect())
        return;
    m_delegate->setFullRowSelect(fullRowSelect);
    m_list->viewport()->update();
    emit fullRowSelectChanged(fullRowSelect);
}

bool Tabulet::GridLines() const
{
    return m_list->showGrid();
}

void Tabulet::setGridLines(bool gridLines)
{
    if (gridLines == GridLines())
        return;
    m_list->setShowGrid(gridLines);
    emit gridLinesChanged(gridLines);
}

bool Tabulet::HideColumnHeaders() const
{
    return m_list->horizontalHeader()->isHidden();
}

void Tabulet::setHideColumnHeaders(bool hide)
{
    if (hide == HideColumnHeaders())
        return;
    m_list->horizontalHeader()->setHidden(hide);
    emit hideColumnHeadersChanged(hide);
}

short Tabulet::SortKey() const
{
    return short(m_list->horizontalHeader()->sortIndicatorSection());
}

void Tabulet::setSortKey(short column)
{
    if (column < 0) {
        fail(QStringLiteral("SortKey %1 is not a column.").arg(column));
        return;
    }
    if (column == SortKey())
        return;
    QHeaderView *header = m_list->horizontalHeader();
    // A sorted list sorts again as soon as the indicator moves.
    header->setSortIndicator(column, header->sortIndicatorOrder());
    emit sortKeyChanged(column);
}

int Tabulet::SortOrder() const
{
    return m_list->horizontalHeader()->sortIndicatorOrder() == Qt::AscendingOrder ? 0 : 1;
}

void Tabulet::setSortOrder(int order)
{
    if (order != 0 && order != 1) {
        fail(QStringLiteral("SortOrder %1 is neither 0 (ascending) nor 1 (descending).").arg(order));
        return;
    }
    if (order == SortOrder())
        return;
    QHeaderView *header = m_list->horizontalHeader();
    header->setSortIndicator(header->sortIndicatorSection(), order == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    emit sortOrderChanged(order);
}

QString Tabulet::LastError() const
{
    return m_lastError;
}

bool Tabulet::readProperties(const QVariantMap &bag)
{
    clearError();
    for (const StoredProperty &stored : storedProperties) {
        const QString name = QLatin1String(stored.name);
        const QVariant value = bag.value(name, stored.defaultValue);
        QVariant converted;
        if (stored.type == QMetaType::Bool) {
            const std::optional<bool> on = boolOf(value);
            if (!on)
                return fail(QStringLiteral("The stored %1 \"%2\" is not true or false.").arg(name, value.toString()));
            converted = *on;
        } else {
            const std::optional<short> number = shortOf(numberOf(value));
            if (!number)
                return fail(QStringLiteral("The stored %1: %2").arg(name, numberFailure(value, "value")));
            converted = stored.type == QMetaType::Short ? QVariant::fromValue(*number) : QVariant(int(*number));
        }
        const QMetaProperty property = metaObject()->property(metaObject()->indexOfProperty(stored.name));
        property.write(this, converted);
        if (!m_lastError.isEmpty())
            return false;
    }
    return true;
}

QVariantMap Tabulet::writeProperties() const
{
    QVariantMap bag;
    for (const StoredProperty &stored : storedProperties) {
        const QMetaProperty property = metaObject()->property(metaObject()->indexOfProperty(stored.name));
        const QVariant value = property.read(this);
        if (stored.type == QMetaType::Bool) {
            if (value.toBool() != bool(stored.defaultValue))
                bag.insert(QLatin1String(stored.name), value.toBool());
        } else if (value.toInt() != stored.defaultValue) {
            bag.insert(QLatin1String(stored.name), value.toInt());
        }
    }
    return bag;
}

bool Tabulet::eventFilter(QObject *watched, QEvent *event)
{
    if (m_forwarding)
        return false;
    if (watched == m_list->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            m_selectedByPress = false;
            relayMouse(&Tabulet::MouseDown, static_cast<QMouseEvent *>(event));
            break;
        case QEvent::MouseButtonRelease:
            relayMouse(&Tabulet::MouseUp, static_cast<QMouseEvent *>(event));
            break;
        case QEvent::MouseMove:
            relayMouse(&Tabulet::MouseMove, static_cast<QMouseEvent *>(event));
            break;
        default:
            break;
        }
    } else if (watched == m_list) {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
            return relayKey(static_cast<QKeyEvent *>(event));
    } else if (watched == m_textBox && event->type() == QEvent::MouseButtonPress) {
        writeBack(m_textBox->text());
    }
    return QWidget::eventFilter(watched, event);
}

void Tabulet::relayMouse(void (Tabulet::*signal)(short &, short &, float &, float &), QMouseEvent *event)
{
    short button = KeyCodes::buttonMask(event->type() == QEvent::MouseMove ? event->buttons() : event->button());
    short shift = KeyCodes::shiftMask(event->modifiers());
    const QPointF at = m_list->viewport()->mapTo(m_list, event->position());
    float x = float(at.x() * twipsPerInch / m_list->logicalDpiX());
    float y = float(at.y() * twipsPerInch / m_list->logicalDpiY());
    // The host gets its own copies: what it does with them does not change
    // what the list sees of the mouse.
    (this->*signal)(button, shift, x, y);
}

bool Tabulet::relayKey(QKeyEvent *event)
{
    const bool press = event->type() == QEvent::KeyPress;
    const short keyCode = KeyCodes::fromQtKey(event->key(), event->modifiers());
    const short shift = KeyCodes::shiftMask(event->modifiers());
    short newKeyCode = keyCode;
    short newShift = shift;
    if (press)
        emit KeyDown(newKeyCode, newShift);
    else
        emit KeyUp(newKeyCode, newShift);
    if (newKeyCode == 0 && keyCode != 0)
        return true;

    // KeyAscii is 16-bit signed: a character past 0x7fff goes to the list
    // without a KeyPress.
    QString text = event->text();
    if (press && !text.isEmpty() && text.at(0).unicode() <= 0x7fff) {
        const short ascii = short(text.at(0).unicode());
        short newAscii = ascii;
        emit KeyPress(newAscii);
        if (newAscii == 0)
            return true;
        if (newAscii != ascii)
            text = QString(QChar(char16_t(newAscii)));
    }
    if (newKeyCode == keyCode && newShift == shift && text == event->text())
        return false;

    // Hand the list the key as the host left it.
    const int key = newKeyCode == keyCode ? event->key() : KeyCodes::toQtKey(newKeyCode);
    const Qt::KeyboardModifiers modifiers = KeyCodes::modifiers(newShift)
        | (event->modifiers() & ~(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    QKeyEvent changed(event->type(), key, modifiers, text, event->isAutoRepeat(), event->count());
    const QScopedValueRollback forwarding(m_forwarding, true);
    QCoreApplication::sendEvent(m_list, &changed);
    return true;
}

void Tabulet::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_list->setGeometry(contentsRect());
}

void Tabulet::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    m_textBox->show();
    m_comboBox->show();
}

void Tabulet::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    hideEditors();
}

bool Tabulet::focusNextPrevChild(bool next)
{
    // The editors come after the list in the focus chain: Shift+Tab in one of
    // them steps back from the list, so it leaves the control too.
    if (!next && (m_textBox->hasFocus() || m_comboBox->hasFocus()))
        m_list->setFocus(Qt::BacktabFocusReason);
    return QWidget::focusNextPrevChild(next);
}

void Tabulet::onSelectionChanged()
{
    const int row = selectedRow();
    if (row < 0) {
        // Emptied or deselected: an editor left standing would write nowhere.
        hideEditors();
        return;
    }
    m_selectedByPress = true;
    rowClicked(row);
}

void Tabulet::onClicked(const QModelIndex &index)
{
    // A press that changed the selection has been handled already; a click on
    // the row that was selected still counts as a row click.
    if (m_selectedByPress || !index.isValid() || index.row() != selectedRow())
        return;
    rowClicked(index.row());
}

void Tabulet::onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    if (topLeft.column() != 0 || !roles.contains(Qt::CheckStateRole))
        return;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
        emit ItemCheck(row);
}

void Tabulet::onChoiceActivated()
{
    writeBack(m_comboBox->currentText());
}

void Tabulet::writeBack(const QString &text)
{
    if (m_filling)
        return;
    QTableWidgetItem *item = cell(selectedRow(), m_editColumn - 1);
    if (item && item->text() != text)
        item->setText(text);
}

void Tabulet::rowClicked(int row)
{
    const QPersistentModelIndex clicked(m_list->model()->index(row, 0));
    emit ItemClick(row);
    // The handler may have emptied or refilled the list.
    if (!m_editEnabled)
        return;
    if (clicked.isValid()) {
        const QScopedValueRollback filling(m_filling, true);
        const QTableWidgetItem *label = m_list->item(clicked.row(), 0);
        const QTableWidgetItem *item = cell(clicked.row(), m_editColumn - 1);
        if (m_editColumn == 0 && m_lastEditorKind == eTxtBox) {
            if (label)
                m_textBox->setText(label->text());
        } else if (item) {
            m_textBox->setText(item->text());
        }
        if (m_editColumn == 0 && m_lastEditorKind == eCboBox) {
            if (label)
                m_comboBox->setEditText(label->text());
        } else if (item) {
            m_comboBox->setEditText(item->text());
        }
    }
    showEditor();
}

void Tabulet::showEditor()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const QTableWidgetItem *item = cell(row, m_editColumn - 1);
    // Separator rows (value empty or all "-") and rows without the edited
    // cell are not editable, whatever their tag says.
    if (!item || isSeparator(item->text())) {
        hideEditors();
        return;
    }
    const QString tag = item->data(ItemRole::Tag).toString();
    const qsizetype bar = tag.indexOf(u'|');
    const QString kind = bar < 0 ? QString() : tag.left(bar);

    if (kind == textBoxKind) {
        m_comboBox->hide();
        placeEditor(m_textBox, row);
        m_textBox->show();
    } else if (kind == comboBoxKind) {
        m_textBox->hide();
        placeEditor(m_comboBox, row);
        m_comboBox->show();
        const QScopedValueRollback filling(m_filling, true);
        const QString value = m_comboBox->currentText();
        m_comboBox->clear();
        const QStringList choices = tag.mid(bar + 1).split(u',');
        for (const QString &choice : choices) {
            if (!isBlankChoice(choice))
                m_comboBox->addItem(choice);
        }
        // The cell's value stays in the box even when it is none of the choices.
        m_comboBox->setCurrentIndex(m_comboBox->findText(value));
        m_comboBox->setEditText(value);
    } else if (kind.isEmpty()) {
        // A cell without an editor kind cannot be edited; an editor left
        // over another row would write into this one.
        hideEditors();
    }
    // A kind word this control does not know leaves both editors as they
    // stand, shown or hidden, where they are.
}

void Tabulet::placeEditor(QWidget *editor, int row)
{
    const int column = m_editColumn - 1;
    const QHeaderView *header = m_list->horizontalHeader();
    const QWidget *viewport = m_list->viewport();
    // The edited column's header and the row, in the control's coordinates.
    const int headerLeft = m_list->mapTo(this, QPoint(viewport->x() + header->sectionViewportPosition(column), 0)).x();
    const int rowTop = m_list->mapTo(this, QPoint(0, viewport->y() + m_list->rowViewportPosition(row))).y();
    QRect place(headerLeft + twipsToPixelsX(140), rowTop + twipsToPixelsY(50),
                header->sectionSize(column) - twipsToPixelsX(100), m_list->rowHeight(row) - twipsToPixelsY(50));
    // Keep the grid lines around the cell in sight.
    const QModelIndex index = m_list->model()->index(row, column);
    const QRect cellRect = m_list->visualRect(index);
    place &= QRect(viewport->mapTo(this, cellRect.topLeft()), cellRect.size());
    // A column wider than the visible part of the list still shows the
    // editor's right end, a combo box's arrow, inside it.
    place &= QRect(viewport->mapTo(this, QPoint(0, 0)), viewport->size());
    editor->setFont(m_list->font());
    editor->setGeometry(place);
    editor->raise();
    m_delegate->setCoveredCell(index, cellRect);
    m_list->viewport()->update();
}

void Tabulet::hideEditors()
{
    m_textBox->hide();
    m_comboBox->hide();
    m_delegate->clearCoveredCell();
    m_list->viewport()->update();
}

void Tabulet::ensureColumns(int count)
{
    for (int column = m_list->columnCount(); column < count; ++column) {
        // A column that a cell needs before AddColumn named it shows a blank
        // header, not Qt's column number; AddColumn names it later.
        setColumnCount(column + 1);
        m_list->setHorizontalHeaderItem(column, new QTableWidgetItem());
    }
}

void Tabulet::setColumnCount(int count)
{
    // The header moves its sort column along when columns are inserted at or
    // before it, even at the end; SortKey names a column and stays.
    QHeaderView *header = m_list->horizontalHeader();
    const int sortKey = header->sortIndicatorSection();
    m_list->setColumnCount(count);
    header->setSortIndicator(sortKey, header->sortIndicatorOrder());
}

int Tabulet::headerCount() const
{
    for (int column = 0; column < m_list->columnCount(); ++column) {
        const QTableWidgetItem *header = m_list->horizontalHeaderItem(column);
        if (!header || !header->data(ItemRole::Key).isValid())
            return column;
    }
    return m_list->columnCount();
}

int Tabulet::selectedRow() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

int Tabulet::cellCount(int row) const
{
    int cells = 0;
    while (cells + 1 < m_list->columnCount() && m_list->item(row, cells + 1))
        ++cells;
    return cells;
}

QTableWidgetItem *Tabulet::cell(int row, int cellIndex) const
{
    if (row < 0 || cellIndex < 1)
        return nullptr;
    return m_list->item(row, cellIndex);
}

int Tabulet::twipsToPixelsX(double twips) const
{
    return qRound(twips * m_list->logicalDpiX() / twipsPerInch);
}

int Tabulet::twipsToPixelsY(double twips) const
{
    return qRound(twips * m_list->logicalDpiY() / twipsPerInch);
}

void Tabulet::clearError()
{
    m_lastError.clear();
}

bool Tabulet::fail(const QString &reason)
{
    m_lastError = reason;
    return false;
}
