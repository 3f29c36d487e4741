#include "controlproxy.h"
#include "tabulet/controlfactory.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// Stands in for a host window's event handlers.
class HostEvents : public QObject
{
    Q_OBJECT

public:
    QWidget *textBox = nullptr;
    QList<bool> textBoxShownAtClick;
    QList<short> keyCodes, shifts, buttons;
    QList<QPointF> points;
    short swallowKeyCode = -1;
    bool swallowKeyAscii = false;

public slots:
    void onItemClick(int) { textBoxShownAtClick << !textBox->isHidden(); }
    void onKeyDown(short &KeyCode, short &)
    {
        keyCodes << KeyCode;
        if (KeyCode == swallowKeyCode)
            KeyCode = 0;
    }
    void onKeyPress(short &KeyAscii) { KeyAscii = swallowKeyAscii ? 0 : KeyAscii; }
    void onMouseDown(short &Button, short &Shift, float &x, float &y)
    {
        buttons << Button;
        shifts << Shift;
        points << QPointF(x, y);
    }
};

class tst_Tabulet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rowsAndCellsGetKeysAndEditorTags();
    void addItemRaisesWhenTheCellCannotBeAdded_data();
    void addItemRaisesWhenTheCellCannotBeAdded();
    void cboAddItemKeepsTheComboEntryWhenItRaises_data();
    void cboAddItemKeepsTheComboEntryWhenItRaises();
    void smallMembersTakeAnyValue();

    void clickShowsTheEditorNamedByTheCellTag_data();
    void clickShowsTheEditorNamedByTheCellTag();
    void comboOffersNonBlankChoicesAndKeepsTheCellValue_data();
    void comboOffersNonBlankChoicesAndKeepsTheCellValue();
    void editorSitsInsideTheEditedCell();
    void editorsWriteEveryChangeIntoTheCellAfterItemClick();
    void disableTextBoxStopsEditingButLeavesTheComboShowing();
    void emptyingTheListHidesTheEditor();
    void keyHandlersCanSwallowTheKey_data();
    void keyHandlersCanSwallowTheKey();
    void mouseDownReportsButtonsAndTwips();
    void tabLeavesTheControl_data();
    void tabLeavesTheControl();

    void optionsAreSavedOnlyWhenChangedAndReadBack();
    void readPropertiesStopsAtAValueThatDoesNotConvert();
    void gridLinesAndFullRowSelectShowOnScreen();
    void sortingFollowsSortKeyAndOrderAndKeepsRowsWhole();

private:
    bool add(const QString &label, const QVariant &value = QVariant(), int kind = 0, const QStringList &choices = {});
    bool fillSample();
    QVariant data(int row, int column, int role = Qt::DisplayRole) const;
    QStringList labels() const;
    void clickRow(int row);
    int twipsToPixels(double twips) const;

    ControlFactory *m_factory = nullptr;
    std::unique_ptr<QWidget> m_window;
    QWidget *m_control = nullptr;
    ControlProxy m_tabulet;
    QAbstractItemView *m_view = nullptr;
    QAbstractItemModel *m_model = nullptr;
    QLineEdit *m_textBox = nullptr;
    QComboBox *m_comboBox = nullptr;
    QLineEdit *m_before = nullptr, *m_after = nullptr;
};

void tst_Tabulet::initTestCase()
{
    QString error;
    m_factory = ControlProxy::factory(&error);
    QVERIFY2(m_factory, qPrintable(error));
}

void tst_Tabulet::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(720, 460);
    // Created in this order, so the window's tab order runs before, control, after.
    m_before = new QLineEdit(m_window.get());
    m_control = m_factory->create("TabuletCtl.Tabulet", m_window.get());
    m_control->setGeometry(0, 0, 720, 420);
    m_after = new QLineEdit(m_window.get());
    m_before->setObjectName("before");
    m_after->setObjectName("after");
    m_before->setGeometry(0, 430, 300, 24);
    m_after->setGeometry(360, 430, 300, 24);
    m_tabulet = ControlProxy(m_control);
    m_view = qobject_cast<QAbstractItemView *>(m_tabulet.part("LVObject"));
    m_textBox = qobject_cast<QLineEdit *>(m_tabulet.part("TxtObject"));
    m_comboBox = qobject_cast<QComboBox *>(m_tabulet.part("CboObject"));
    QVERIFY(m_view && m_textBox && m_comboBox);
    m_model = m_view->model();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_Tabulet::cleanup()
{
    m_window.reset();
}

bool tst_Tabulet::add(const QString &label, const QVariant &value, int kind, const QStringList &choices)
{
    bool ok = m_tabulet.call("AddItem", {label, 0}).toBool();
    if (value.isValid())
        ok = ok && m_tabulet.call("AddItem", {value, 1, kind}).toBool();
    for (const QString &choice : choices)
        ok = ok && m_tabulet.call("CboAddItem", {choice, 2}).toBool();
    return ok;
}

// Rows as a viewer fills them: a text row, a combo row, a separator row and a
// row whose value could not be looked up.
bool tst_Tabulet::fillSample()
{
    m_tabulet.call("AddColumn", {"Name", 4440});
    m_tabulet.call("AddColumn", {"Value", 5440});
    return m_tabulet.call("EnableTextBox", {1}).toBool() && add("Damage", "25", 1)
        && add("DamageType", "ARMOR_PIERCING", 2, {"EXPLOSION", "ARMOR_PIERCING"})
        && add(QString(40, u'-'), QString(20, u'-')) && add("Missing");
}

QVariant tst_Tabulet::data(int row, int column, int role) const
{
    return m_model->index(row, column).data(role);
}

QStringList tst_Tabulet::labels() const
{
    QStringList result;
    for (int row = 0; row < m_model->rowCount(); ++row)
        result << data(row, 0).toString();
    return result;
}

void tst_Tabulet::clickRow(int row)
{
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, m_view->visualRect(m_model->index(row, 0)).center());
}

int tst_Tabulet::twipsToPixels(double twips) const
{
    return qRound(twips * m_view->logicalDpiX() / 1440.0);
}

void tst_Tabulet::rowsAndCellsGetKeysAndEditorTags()
{
    QVERIFY(fillSample());
    QVERIFY(add("number", 12, 7));
    // Numbers given as text count; cell 2 follows cell 1.
    QVERIFY(m_tabulet.call("AddItem", {"w", "2", 1}).toBool());

    const QStringList tags{"TxtBox|", "CboBox|EXPLOSION,ARMOR_PIERCING,", "", "", ""};
    for (int row = 0; row < 5; ++row) {
        QCOMPARE(data(row, 0, ItemRole::Key).toString(), QString("Key%1").arg(row + 1));
        QCOMPARE(data(row, 0, ItemRole::Tag).toString(), QString());
        QCOMPARE(data(row, 1, ItemRole::Tag).toString(), tags.at(row));
    }
    QCOMPARE(data(1, 1, ItemRole::Key).toString(), QString("Col12"));
    QVERIFY(!data(3, 1).isValid());
    QCOMPARE(data(4, 1).toString(), QString("12"));
    QCOMPARE(data(4, 2, ItemRole::Key).toString(), QString("Col25"));
    QCOMPARE(m_model->headerData(1, Qt::Horizontal, ItemRole::Key).toString(), QString("Col2"));
    QCOMPARE(m_view->visualRect(m_model->index(0, 0)).width() + 1, twipsToPixels(4440));
}

void tst_Tabulet::addItemRaisesWhenTheCellCannotBeAdded_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("withCell");
    QTest::addColumn<int>("removedRows");
    QTest::addColumn<QVariant>("colIndex");
    QTest::newRow("cell on an empty list") << 0 << false << 0 << QVariant(1);
    QTest::newRow("cell 2 before cell 1") << 1 << false << 0 << QVariant(2);
    QTest::newRow("cell 1 twice") << 1 << true << 0 << QVariant(1);
    QTest::newRow("negative cell") << 1 << false << 0 << QVariant(-1);
    QTest::newRow("index not a number") << 1 << false << 0 << QVariant("one");
    QTest::newRow("index past 16 bits") << 1 << false << 0 << QVariant(40000);
    // Two rows left after removing one: the next key, Key3, is still taken.
    QTest::newRow("row key taken after a removal") << 3 << false << 1 << QVariant(0);
}

void tst_Tabulet::addItemRaisesWhenTheCellCannotBeAdded()
{
    QFETCH(int, rows);
    QFETCH(bool, withCell);
    QFETCH(int, removedRows);
    QFETCH(QVariant, colIndex);
    for (int row = 0; row < rows; ++row)
        QVERIFY(add(QString::number(row), withCell ? QVariant("x") : QVariant(), 1));
    m_model->removeRows(0, removedRows);

    QCOMPARE(m_tabulet.call("AddItem", {"v", colIndex, 1}), QVariant(false));
    QVERIFY(!m_tabulet.property("LastError").toString().isEmpty());
    QCOMPARE(m_model->rowCount(), rows - removedRows);
    QCOMPARE(data(0, 1).toString(), withCell ? QString("x") : QString());
    QVERIFY(!data(0, 2).isValid());
}

void tst_Tabulet::cboAddItemKeepsTheComboEntryWhenItRaises_data()
{
    QTest::addColumn<bool>("enable");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<int>("comboEntries");
    QTest::newRow("no rows") << true << 0 << QVariantList{"A", 2} << 1;
    QTest::newRow("no selected row") << true << 1 << QVariantList{"A", 1} << 1;
    QTest::newRow("editing never enabled") << false << 1 << QVariantList{"A", 2} << 1;
    QTest::newRow("place past the end") << true << 1 << QVariantList{"A", 2, 3} << 0;
    // A comma would split the choice in two inside the cell tag.
    QTest::newRow("choice with a comma") << true << 1 << QVariantList{"A,B", 2} << 1;
}

void tst_Tabulet::cboAddItemKeepsTheComboEntryWhenItRaises()
{
    QFETCH(bool, enable);
    QFETCH(int, rows);
    QFETCH(QVariantList, args);
    QFETCH(int, comboEntries);
    if (enable)
        QVERIFY(m_tabulet.call("EnableTextBox", {1}).toBool());
    if (rows)
        QVERIFY(add("a", "v", 2));
    QCOMPARE(m_tabulet.call("CboAddItem", args), QVariant(false));
    QVERIFY(!m_tabulet.property("LastError").toString().isEmpty());
    QCOMPARE(m_comboBox->count(), comboEntries);
    if (rows)
        QCOMPARE(data(0, 1, ItemRole::Tag).toString(), QString("CboBox|"));
}

void tst_Tabulet::smallMembersTakeAnyValue()
{
    QCOMPARE(m_tabulet.call("CheckSep", {""}), QVariant(true));
    QCOMPARE(m_tabulet.call("CheckSep", {QString(40, u'-')}), QVariant(true));
    QCOMPARE(m_tabulet.call("CheckSep", {"-a"}), QVariant(false));
    QCOMPARE(m_tabulet.call("CheckSep", {-1}), QVariant(false));
    QCOMPARE(m_tabulet.call("EnableTextBox", {"32766"}), QVariant(true));
    QCOMPARE(m_tabulet.call("EnableTextBox", {32767}), QVariant(false));

    QVERIFY(add("Alpha") && add("alphabet", "y") && add("Beta", "X"));
    QCOMPARE(m_tabulet.call("FindItem", {"ALPHABET"}), QVariant(1));
    QCOMPARE(m_tabulet.call("FindItem", {"alp"}), QVariant());
    QCOMPARE(m_tabulet.call("FindItem", {"alp", 0, 1, true}), QVariant(1));
    QCOMPARE(m_tabulet.call("FindItem", {"x", 1}), QVariant(2));
}

void tst_Tabulet::clickShowsTheEditorNamedByTheCellTag_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("shown");
    QTest::newRow("text cell") << QVariant("25") << 1 << QString() << "TxtBox";
    QTest::newRow("combo cell") << QVariant("X") << 2 << QString() << "CboBox";
    QTest::newRow("separator") << QVariant(QString(20, u'-')) << 0 << QString() << "";
    QTest::newRow("one dash with an editor kind") << QVariant("-") << 1 << QString() << "";
    QTest::newRow("empty value") << QVariant("") << 2 << QString() << "";
    QTest::newRow("label without cells") << QVariant() << 0 << QString() << "";
    QTest::newRow("value without an editor kind") << QVariant("abc") << 0 << QString() << "";
    // A kind the control does not know leaves both editors where they were.
    QTest::newRow("unknown kind") << QVariant("abc") << 0 << "Memo|" << "kept";
}

void tst_Tabulet::clickShowsTheEditorNamedByTheCellTag()
{
    QFETCH(QVariant, value);
    QFETCH(int, kind);
    QFETCH(QString, tag);
    QFETCH(QString, shown);
    QVERIFY(fillSample());
    QVERIFY(add("Target", value, kind));
    if (!tag.isEmpty())
        m_model->setData(m_model->index(4, 1), tag, ItemRole::Tag);

    // Start from a showing editor: the click must put away what it does not use.
    clickRow(1);
    QVERIFY(!m_comboBox->isHidden());
    const QRect comboAt = m_comboBox->geometry();
    clickRow(4);
    QCOMPARE(!m_textBox->isHidden(), shown == "TxtBox");
    QCOMPARE(!m_comboBox->isHidden(), shown == "CboBox" || shown == "kept");
    if (shown == "kept")
        QCOMPARE(m_comboBox->geometry(), comboAt);
    else if (!shown.isEmpty())
        QCOMPARE(shown == "TxtBox" ? m_textBox->text() : m_comboBox->currentText(), value.toString());
}

void tst_Tabulet::comboOffersNonBlankChoicesAndKeepsTheCellValue_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("choices");
    QTest::newRow("two choices") << "CboBox|A,B," << "A" << QStringList{"A", "B"};
    QTest::newRow("blank piece skipped") << "CboBox|A, ,B," << "B" << QStringList{"A", "B"};
    QTest::newRow("leading space kept") << "CboBox| C," << " C" << QStringList{" C"};
    QTest::newRow("value not a choice") << "CboBox|A,B," << "X" << QStringList{"A", "B"};
}

void tst_Tabulet::comboOffersNonBlankChoicesAndKeepsTheCellValue()
{
    QFETCH(QString, tag);
    QFETCH(QString, value);
    QFETCH(QStringList, choices);
    QVERIFY(fillSample());
    QVERIFY(add("Target", value, 2));
    m_model->setData(m_model->index(4, 1), tag, ItemRole::Tag);

    clickRow(4);
    QStringList offered;
    for (int i = 0; i < m_comboBox->count(); ++i)
        offered << m_comboBox->itemText(i);
    QCOMPARE(offered, choices);
    QCOMPARE(m_comboBox->currentText(), value);
    QCOMPARE(data(4, 1).toString(), value);
}

void tst_Tabulet::editorSitsInsideTheEditedCell()
{
    QVERIFY(fillSample());
    for (const int row : {0, 1}) {
        clickRow(row);
        const QWidget *editor = row == 0 ? static_cast<QWidget *>(m_textBox) : m_comboBox;
        const QRect visual = m_view->visualRect(m_model->index(row, 1));
        const QRect cell(m_view->viewport()->mapTo(m_control, visual.topLeft()), visual.size());
        // Within the grid lines, indented from the column's left edge, and
        // filling most of the cell.
        QVERIFY(cell.contains(editor->geometry()));
        QVERIFY(qAbs(editor->x() - (cell.left() + twipsToPixels(140))) <= 1);
        QVERIFY(editor->width() > cell.width() * 3 / 4);
        QVERIFY(editor->height() >= cell.height() - twipsToPixels(50) - 1);
    }
}

void tst_Tabulet::editorsWriteEveryChangeIntoTheCellAfterItemClick()
{
    QVERIFY(fillSample());
    HostEvents host;
    host.textBox = m_textBox;
    QVERIFY(m_tabulet.connectSignal("ItemClick(int)", &host, "onItemClick(int)"));
    clickRow(0);
    QCOMPARE(host.textBoxShownAtClick, QList<bool>{false});
    QCOMPARE(m_textBox->text(), QString("25"));

    QSignalSpy changes(m_model, &QAbstractItemModel::dataChanged);
    QTest::keyClick(m_textBox, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(m_textBox, Qt::Key_1);
    QCOMPARE(data(0, 1).toString(), QString("1"));
    QTest::keyClick(m_textBox, Qt::Key_2);
    QCOMPARE(data(0, 1).toString(), QString("12"));
    QCOMPARE(changes.size(), 2);

    clickRow(1);
    QTest::keyClick(m_comboBox, Qt::Key_Up);
    QCOMPARE(data(1, 1).toString(), QString("EXPLOSION"));
    // A value that is none of the choices can be typed as well.
    QTest::keyClick(m_comboBox, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(m_comboBox, "FLAME");
    QCOMPARE(data(1, 1).toString(), QString("FLAME"));
    QCOMPARE(data(0, 1).toString(), QString("12"));
}

void tst_Tabulet::disableTextBoxStopsEditingButLeavesTheComboShowing()
{
    QVERIFY(fillSample());
    QSignalSpy clicks(m_control, m_tabulet.signal("ItemClick(int)"));
    clickRow(1);
    QCOMPARE(m_tabulet.call("DisableTextBox"), QVariant(true));
    clickRow(0);
    clickRow(0);
    QCOMPARE(clicks.size(), 3);
    QVERIFY(m_textBox->isHidden());
    QVERIFY(!m_comboBox->isHidden());
    // The leftover combo edits nothing: no column is edited any more.
    QTest::keyClicks(m_comboBox, "Z");
    QCOMPARE(data(0, 1).toString(), QString("25"));
    QCOMPARE(data(1, 1).toString(), QString("ARMOR_PIERCING"));
    QCOMPARE(m_tabulet.call("UpdateLV"), QVariant(false));
    QCOMPARE(m_tabulet.call("CboClear"), QVariant(true));
    QCOMPARE(m_comboBox->count(), 0);
}

void tst_Tabulet::emptyingTheListHidesTheEditor()
{
    QVERIFY(fillSample());
    clickRow(0);
    QVERIFY(!m_textBox->isHidden());
    // Hosts empty the list through LVObject before filling it again.
    m_model->removeRows(0, m_model->rowCount());
    QVERIFY(m_textBox->isHidden());
    QVERIFY(fillSample());
    QTest::keyClicks(m_textBox, "9");
    QCOMPARE(data(0, 1).toString(), QString("25"));
}

void tst_Tabulet::keyHandlersCanSwallowTheKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<short>("keyCode");
    QTest::addColumn<short>("swallowKeyCode");
    QTest::addColumn<bool>("swallowKeyAscii");
    QTest::addColumn<int>("selectedRow");
    QTest::newRow("letter reaches the list") << int(Qt::Key_B) << short(66) << short(-1) << false << 1;
    QTest::newRow("KeyAscii 0 swallows a letter") << int(Qt::Key_B) << short(66) << short(-1) << true << 0;
    QTest::newRow("arrow reaches the list") << int(Qt::Key_Down) << short(40) << short(-1) << false << 1;
    QTest::newRow("KeyCode 0 swallows an arrow") << int(Qt::Key_Down) << short(40) << short(40) << false << 0;
    QTest::newRow("escape") << int(Qt::Key_Escape) << short(27) << short(-1) << false << 0;
}

void tst_Tabulet::keyHandlersCanSwallowTheKey()
{
    QFETCH(int, key);
    QFETCH(short, keyCode);
    QFETCH(short, swallowKeyCode);
    QFETCH(bool, swallowKeyAscii);
    QFETCH(int, selectedRow);
    QVERIFY(add("alpha") && add("bravo") && add("charlie"));
    clickRow(0);
    HostEvents host;
    host.swallowKeyCode = swallowKeyCode;
    host.swallowKeyAscii = swallowKeyAscii;
    QVERIFY(m_tabulet.connectSignal("KeyDown(short&,short&)", &host, "onKeyDown(short&,short&)"));
    QVERIFY(m_tabulet.connectSignal("KeyPress(short&)", &host, "onKeyPress(short&)"));

    QTest::keyClick(m_view, Qt::Key(key));
    QCOMPARE(host.keyCodes, QList<short>{keyCode});
    QCOMPARE(m_view->selectionModel()->selectedRows().value(0).row(), selectedRow);
}

void tst_Tabulet::mouseDownReportsButtonsAndTwips()
{
    QVERIFY(fillSample());
    HostEvents host;
    QVERIFY(m_tabulet.connectSignal("MouseDown(short&,short&,float&,float&)", &host,
                                    "onMouseDown(short&,short&,float&,float&)"));
    const QPoint at = m_view->visualRect(m_model->index(1, 0)).center();
    QTest::mouseClick(m_view->viewport(), Qt::RightButton, {}, at);
    QTest::mouseClick(m_view->viewport(), Qt::MiddleButton, Qt::ShiftModifier | Qt::ControlModifier, at);
    QCOMPARE(host.buttons, (QList<short>{2, 4}));
    QCOMPARE(host.shifts, (QList<short>{0, 3}));
    const QPoint inList = m_view->viewport()->mapTo(m_view, at);
    QCOMPARE(qRound(host.points.value(0).x()), qRound(inList.x() * 1440.0 / m_view->logicalDpiX()));
    QCOMPARE(qRound(host.points.value(0).y()), qRound(inList.y() * 1440.0 / m_view->logicalDpiY()));
}

void tst_Tabulet::tabLeavesTheControl_data()
{
    // The list and its editors are one stop in the window's tab order.
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("back");
    QTest::addColumn<QString>("to");
    QTest::newRow("list, text box showing") << 0 << "LV1" << false << "after";
    QTest::newRow("list, combo showing") << 1 << "LV1" << false << "after";
    QTest::newRow("list back") << 0 << "LV1" << true << "before";
    QTest::newRow("text box") << 0 << "TxtBox" << false << "after";
    QTest::newRow("text box back") << 0 << "TxtBox" << true << "before";
    QTest::newRow("combo") << 1 << "CboBox" << false << "after";
    QTest::newRow("combo back") << 1 << "CboBox" << true << "before";
    QTest::newRow("into the list") << 0 << "before" << false << "LV1";
    QTest::newRow("back into the list") << 1 << "after" << true << "LV1";
}

void tst_Tabulet::tabLeavesTheControl()
{
    QFETCH(int, row);
    QFETCH(QString, from);
    QFETCH(bool, back);
    QFETCH(QString, to);
    QVERIFY(fillSample());
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    clickRow(row);
    m_window->findChild<QWidget *>(from)->setFocus();
    QCOMPARE(QApplication::focusWidget()->objectName(), from);
    QTest::keyClick(QApplication::focusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), to);
}

void tst_Tabulet::optionsAreSavedOnlyWhenChangedAndReadBack()
{
    QCOMPARE(m_tabulet.call("writeProperties").toMap(), QVariantMap());
    const QVariantMap changed{{"Sorted", true}, {"FullRowSelect", true}, {"GridLines", false},
                              {"HideColumnHeaders", true}, {"SortKey", 1}, {"SortOrder", 1}};
    for (auto option = changed.cbegin(); option != changed.cend(); ++option) {
        const QMetaObject *meta = m_control->metaObject();
        QSignalSpy notify(m_control, meta->property(meta->indexOfProperty(qPrintable(option.key()))).notifySignal());
        QVERIFY(m_tabulet.setProperty(qPrintable(option.key()), option.value()));
        QCOMPARE(notify.size(), 1);
    }
    // The options live in the list view itself.
    QCOMPARE(m_view->property("sortingEnabled"), QVariant(true));
    QCOMPARE(m_view->property("showGrid"), QVariant(false));
    for (const QHeaderView *header : m_view->findChildren<QHeaderView *>())
        QVERIFY(header->isHidden());
    QCOMPARE(m_tabulet.call("writeProperties").toMap(), changed);

    // Load into a fresh control, and back to the defaults from an empty store.
    std::unique_ptr<QWidget> other(m_factory->create("TabuletCtl.Tabulet", nullptr));
    const ControlProxy restored(other.get());
    QCOMPARE(restored.call("readProperties", {changed}), QVariant(true));
    QCOMPARE(restored.call("writeProperties").toMap(), changed);
    QCOMPARE(restored.call("readProperties", {QVariantMap()}), QVariant(true));
    QCOMPARE(restored.property("GridLines"), QVariant(true));
    QCOMPARE(restored.call("writeProperties").toMap(), QVariantMap());
    // A settings file gives back text.
    QCOMPARE(restored.call("readProperties", {QVariantMap{{"Sorted", "true"}, {"SortKey", "1"}}}), QVariant(true));
    QCOMPARE(restored.call("writeProperties").toMap(), (QVariantMap{{"Sorted", true}, {"SortKey", 1}}));
}

void tst_Tabulet::readPropertiesStopsAtAValueThatDoesNotConvert()
{
    const QVariantMap bag{{"Sorted", true}, {"HideColumnHeaders", true}, {"SortKey", "first"}, {"SortOrder", 1}};
    QCOMPARE(m_tabulet.call("readProperties", {bag}), QVariant(false));
    QVERIFY(m_tabulet.property("LastError").toString().contains("SortKey"));
    QCOMPARE(m_tabulet.property("HideColumnHeaders"), QVariant(true));
    QCOMPARE(m_tabulet.property("SortOrder").toInt(), 0);
    for (const QVariantMap &bad : {QVariantMap{{"SortKey", 70000}}, QVariantMap{{"GridLines", "maybe"}},
                                   QVariantMap{{"SortOrder", 2}}})
        QCOMPARE(m_tabulet.call("readProperties", {bad}), QVariant(false));
}

void tst_Tabulet::gridLinesAndFullRowSelectShowOnScreen()
{
    QVERIFY(fillSample());
    const QRect label = m_view->visualRect(m_model->index(0, 0));
    const QRect value = m_view->visualRect(m_model->index(0, 1));
    // Points clear of the cell texts: the grid line right of the label cell,
    // and the right end of the value cell.
    const QPoint onGridLine(label.right() + 1, label.center().y());
    const QPoint inValue(value.right() - 3, value.center().y());
    const auto colourAt = [this](QPoint at) { return m_view->viewport()->grab().toImage().pixelColor(at); };

    const QColor base = colourAt(inValue);
    QVERIFY(colourAt(onGridLine) != base);
    m_tabulet.setProperty("GridLines", false);
    QCOMPARE(colourAt(onGridLine), base);

    m_view->selectionModel()->select(m_model->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCOMPARE(colourAt(inValue), base);
    m_tabulet.setProperty("FullRowSelect", true);
    QVERIFY(colourAt(inValue) != base);
}

void tst_Tabulet::sortingFollowsSortKeyAndOrderAndKeepsRowsWhole()
{
    QVERIFY(m_tabulet.call("EnableTextBox", {1}).toBool());
    QVERIFY(add("b", "3", 1) && add("a", "2", 2, {"P"}) && add("c", "1", 1) && add("d"));
    m_tabulet.setProperty("SortKey", 1);
    QCOMPARE(labels(), (QStringList{"b", "a", "c", "d"}));
    m_tabulet.setProperty("Sorted", true);
    QCOMPARE(labels(), (QStringList{"c", "a", "b", "d"}));
    m_tabulet.setProperty("SortKey", 0);
    m_tabulet.setProperty("SortOrder", 1);
    QCOMPARE(labels(), (QStringList{"d", "c", "b", "a"}));
    // Each row moves with its cells, their keys and tags.
    QCOMPARE(data(3, 1).toString(), QString("2"));
    QCOMPARE(data(3, 1, ItemRole::Tag).toString(), QString("CboBox|P,"));
    QCOMPARE(data(3, 1, ItemRole::Key).toString(), QString("Col12"));
    QCOMPARE(data(3, 0, ItemRole::Key).toString(), QString("Key2"));
    QVERIFY(!data(0, 1).isValid());
}

QTEST_MAIN(tst_Tabulet)
#include "tst_tabulet.moc"
