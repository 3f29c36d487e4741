#include "controlproxy.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <memory>

// A member called on the sample list less its first rows, and its answer as
// text, "!" added when it leaves a reason in LastError.
struct MemberCall { int removed; const char *member; QVariantList args; QString answer; int comboEntries; };
// A row's cell, the tag put in place of the one AddItem gave it, the editor a
// click shows ("kept": both stay as they were) and the combo's choices.
struct CellTag { QVariant value; int kind; QString tag; QString shown; QStringList choices; };
Q_DECLARE_METATYPE(MemberCall)
Q_DECLARE_METATYPE(CellTag)

class tst_Tabulet : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    QWidget *m_control = nullptr;
    QTableView *m_view = nullptr;
    QAbstractItemModel *m_model = nullptr;
    QLineEdit *m_textBox = nullptr;
    QComboBox *m_comboBox = nullptr;
    // What the host's handlers saw, and how they answer.
    struct {
        QList<bool> textBoxShownAtClick;
        QList<short> keyCodes, mouse;
        QList<QPointF> points;
        int swallowBy = 0; // 1 KeyCode, 2 KeyAscii
    } m_host;

    QVariant call(const char *member, const QVariantList &args = {}) { return callMember(m_control, member, args); }
    QVariant data(int row, int column, int role = Qt::DisplayRole) const { return m_model->index(row, column).data(role); }
    // Every cell's data in role, row by row, of the list or of another model.
    QStringList cells(int role = Qt::DisplayRole, const QAbstractItemModel *model = nullptr) const
    {
        model = model ? model : m_model;
        QStringList all;
        for (int i = 0; i < model->rowCount() * model->columnCount(); ++i)
            all << model->index(i / model->columnCount(), i % model->columnCount()).data(role).toString();
        return all;
    }
    int twips(double twips) const { return qRound(twips * m_view->logicalDpiX() / 1440.0); }
    void clickRow(int row)
    {
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, m_view->visualRect(m_model->index(row, 0)).center());
    }
    bool add(const QString &label, const QVariant &value = QVariant(), int kind = 0)
    {
        return call("AddItem", {label, 0}).toBool() && (!value.isValid() || call("AddItem", {value, 1, kind}).toBool());
    }
    // Rows as a viewer fills them: a text row, a combo row, a row whose value
    // could not be looked up and a separator row.
    bool fillSample()
    {
        call("AddColumn", {"Name", 4440});
        call("AddColumn", {"Value", 5440});
        return call("EnableTextBox", {1}).toBool() && add("Damage", "25", 1) && add("DamageType", "ARMOR_PIERCING", 2)
            && call("CboAddItem", {"EXPLOSION", 2}).toBool() && call("CboAddItem", {"ARMOR_PIERCING", 2}).toBool()
            && add("Missing") && add(QString(40, u'-'), QString(20, u'-'));
    }

public slots:
    // The host window's event handlers.
    void onItemClick() { m_host.textBoxShownAtClick << m_textBox->isVisible(); }
    void onKeyDown(short &KeyCode, short &) { m_host.keyCodes << KeyCode; KeyCode = m_host.swallowBy == 1 ? 0 : KeyCode; }
    void onKeyPress(short &KeyAscii) { KeyAscii = m_host.swallowBy == 2 ? 0 : KeyAscii; }
    void onMouseDown(short &Button, short &Shift, float &x, float &y) { m_host.mouse << Button << Shift; m_host.points << QPointF(x, y); }

private slots:
    void init()
    {
        QString error;
        ControlFactory *factory = tabuloxFactory(&error);
        QVERIFY2(factory, qPrintable(error));
        // The control between two line edits, in tab order too.
        m_window = std::make_unique<QWidget>();
        m_window->resize(720, 460);
        (new QLineEdit(m_window.get()))->setObjectName("before");
        m_control = factory->create("TabuletCtl.Tabulet", m_window.get());
        m_control->setGeometry(0, 0, 720, 420);
        auto *after = new QLineEdit(m_window.get());
        after->setObjectName("after");
        after->move(0, 430);
        m_view = qobject_cast<QTableView *>(m_control->property("LVObject").value<QWidget *>());
        m_textBox = qobject_cast<QLineEdit *>(m_control->property("TxtObject").value<QWidget *>());
        m_comboBox = qobject_cast<QComboBox *>(m_control->property("CboObject").value<QWidget *>());
        QVERIFY(m_view && m_textBox && m_comboBox);
        m_model = m_view->model();
        m_host = {};
        for (const auto &[signal, slot] : {std::pair(SIGNAL(ItemClick(int)), SLOT(onItemClick())),
                                           std::pair(SIGNAL(KeyDown(short&,short&)), SLOT(onKeyDown(short&,short&))),
                                           std::pair(SIGNAL(KeyPress(short&)), SLOT(onKeyPress(short&))),
                                           std::pair(SIGNAL(MouseDown(short&,short&,float&,float&)), SLOT(onMouseDown(short&,short&,float&,float&)))})
            QVERIFY(connect(m_control, signal, this, slot));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QCOMPARE(m_view->geometry(), m_control->rect());
    }

    void cleanup() { m_window.reset(); }

    void rowsAndCellsGetKeysAndEditorTags()
    {
        // Numbers count, as text too; cell 2 follows cell 1.
        QVERIFY(fillSample() && add("number", 12, 7) && call("AddItem", {"w", "2", 1}).toBool());
        QCOMPARE(cells(ItemRole::Key), (QStringList{"Key1", "Col11", "", "Key2", "Col12", "", "Key3", "", "",
                                                    "Key4", "Col14", "", "Key5", "Col15", "Col25"}));
        QCOMPARE(cells(ItemRole::Tag), (QStringList{"", "TxtBox|", "", "", "CboBox|EXPLOSION,ARMOR_PIERCING,", "",
                                                    "", "", "", "", "", "", "", "", "TxtBox|"}));
        QCOMPARE(cells().mid(12), (QStringList{"number", "12", "w"}));
        QCOMPARE(m_model->headerData(1, Qt::Horizontal, ItemRole::Key).toString(), QString("Col2"));
        QCOMPARE(m_view->columnWidth(0), twips(4440));
    }

    void membersAnswerOrRaise_data()
    {
        QTest::addColumn<MemberCall>("call");
        QTest::newRow("cell on an empty list") << MemberCall{4, "AddItem", {"v", 1, 1}, "false!", 2};
        QTest::newRow("cell 1 twice") << MemberCall{0, "AddItem", {"v", 1, 1}, "false!", 2};
        QTest::newRow("cell 3 before cell 2") << MemberCall{0, "AddItem", {"v", 3, 1}, "false!", 2};
        QTest::newRow("negative cell") << MemberCall{0, "AddItem", {"v", -1, 1}, "false!", 2};
        QTest::newRow("index not a number") << MemberCall{0, "AddItem", {"v", "one", 1}, "false!", 2};
        // Three rows left after removing one: the next key, Key4, is still taken.
        QTest::newRow("row key taken") << MemberCall{1, "AddItem", {"v", 0}, "false!", 2};
        // The combo box keeps a choice that finds no cell to go to.
        QTest::newRow("choice, no selected row") << MemberCall{0, "CboAddItem", {"A", 1}, "false!", 3};
        QTest::newRow("choice with a comma") << MemberCall{0, "CboAddItem", {"A,B", 2}, "false!", 3};
        QTest::newRow("choice at the end") << MemberCall{0, "CboAddItem", {"A", 2, 2}, "true", 3};
        QTest::newRow("empty separator") << MemberCall{0, "CheckSep", {""}, "true", 2};
        QTest::newRow("not a separator") << MemberCall{0, "CheckSep", {"-a"}, "false", 2};
        QTest::newRow("last column") << MemberCall{0, "EnableTextBox", {"32766"}, "true", 2};
        QTest::newRow("label start, partial, from 1") << MemberCall{0, "FindItem", {"dam", 0, 1, true}, "1", 2};
        QTest::newRow("value in any case") << MemberCall{0, "FindItem", {"armor_piercing", 1}, "1", 2};
        QTest::newRow("values, not labels") << MemberCall{0, "FindItem", {"missing", 1}, "", 2};
    }

    void membersAnswerOrRaise()
    {
        QFETCH(MemberCall, call);
        QVERIFY(fillSample());
        m_model->removeRows(0, call.removed); // as hosts empty the list, through LVObject
        const QStringList before = cells() + cells(ItemRole::Key) + cells(ItemRole::Tag);
        const QString answer = this->call(call.member, call.args).toString();
        QCOMPARE(answer + (m_control->property("LastError").toString().isEmpty() ? "" : "!"), call.answer);
        // A member that fails leaves the list as it was.
        if (call.answer.endsWith('!'))
            QCOMPARE(cells() + cells(ItemRole::Key) + cells(ItemRole::Tag), before);
        QCOMPARE(m_comboBox->count(), call.comboEntries);
    }

    void clickShowsTheEditorNamedByTheCellTag_data()
    {
        QTest::addColumn<CellTag>("cell");
        QTest::newRow("text cell") << CellTag{"25", 1, {}, "TxtBox", {}};
        QTest::newRow("combo cell") << CellTag{"X", 2, {}, "CboBox", {}};
        QTest::newRow("blank choice skipped, space kept") << CellTag{" B", 2, "CboBox|A, , B,", "CboBox", {"A", " B"}};
        QTest::newRow("one dash with an editor kind") << CellTag{"-", 1, {}, "", {}};
        QTest::newRow("label without cells") << CellTag{{}, 0, {}, "", {}};
        QTest::newRow("value without an editor kind") << CellTag{"abc", 0, {}, "", {}};
        QTest::newRow("unknown kind") << CellTag{"abc", 0, "Memo|", "kept", {}};
    }

    void clickShowsTheEditorNamedByTheCellTag()
    {
        QFETCH(CellTag, cell);
        QVERIFY(fillSample() && add("Target", cell.value, cell.kind));
        if (!cell.tag.isEmpty())
            m_model->setData(m_model->index(4, 1), cell.tag, ItemRole::Tag);
        // Start from a showing combo: the click must put away what it does not use.
        clickRow(1);
        const QRect comboAt = m_comboBox->geometry();
        clickRow(4);
        QCOMPARE(m_textBox->isVisible(), cell.shown == "TxtBox");
        QCOMPARE(m_comboBox->isVisible(), cell.shown == "CboBox" || cell.shown == "kept");
        QCOMPARE(data(4, 1), cell.value);
        if (cell.shown == "kept")
            QCOMPARE(m_comboBox->geometry(), comboAt);
        if (cell.shown != "TxtBox" && cell.shown != "CboBox")
            return;
        const bool text = cell.shown == "TxtBox";
        QCOMPARE(text ? m_textBox->text() : m_comboBox->currentText(), cell.value.toString());
        if (!text)
            QCOMPARE(cells(Qt::DisplayRole, m_comboBox->model()), cell.choices);
        // Inside the grid lines, indented from the column's left edge, filling most of the cell.
        const QRect visual = m_view->visualRect(m_model->index(4, 1));
        const QRect area(m_view->viewport()->mapTo(m_control, visual.topLeft()), visual.size());
        const QRect editor = text ? m_textBox->geometry() : m_comboBox->geometry();
        QVERIFY(area.contains(editor) && qAbs(editor.x() - area.left() - twips(140)) <= 1);
        QVERIFY(editor.width() > area.width() * 3 / 4 && editor.height() >= area.height() - twips(50) - 1);
    }

    // A value column wider than the list: the combo box's arrow stays in sight.
    void comboEditorEndsInsideTheVisibleList()
    {
        QVERIFY(fillSample());
        m_view->setColumnWidth(1, m_view->viewport()->width() * 2);
        clickRow(1);
        QVERIFY(m_comboBox->isVisible());
        const QRect visible(m_view->viewport()->mapTo(m_control, QPoint(0, 0)), m_view->viewport()->size());
        QVERIFY(visible.contains(m_comboBox->geometry()));
        QVERIFY(m_comboBox->width() > visible.width() / 2);
    }

    void editorsWriteEveryChangeIntoTheCellUntilDisabled()
    {
        QVERIFY(fillSample());
        clickRow(0);
        QSignalSpy changes(m_model, &QAbstractItemModel::dataChanged);
        QTest::keyClick(m_textBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(m_textBox, "12");
        QCOMPARE(data(0, 1).toString(), QString("12"));
        QCOMPARE(changes.size(), 2);
        // The host changed the cell itself: UpdateLV shows the new value.
        m_model->setData(m_model->index(0, 1), "7");
        QVERIFY(call("UpdateLV").toBool());
        QCOMPARE(m_textBox->text(), QString("7"));
        clickRow(1);
        QTest::keyClick(m_comboBox, Qt::Key_Up);
        QCOMPARE(data(1, 1).toString(), QString("EXPLOSION"));
        // A value that is none of the choices can be typed as well.
        QTest::keyClick(m_comboBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(m_comboBox, "FLAME");
        QCOMPARE(cells().mid(0, 4), (QStringList{"Damage", "7", "DamageType", "FLAME"}));

        // Disabled, a click on a row (the selected one too) still reaches the
        // host, always before the row's editor shows, and the combo left
        // showing edits nothing.
        QVERIFY(call("DisableTextBox").toBool());
        clickRow(0);
        clickRow(0);
        QCOMPARE(m_host.textBoxShownAtClick, (QList<bool>{false, true, false, false}));
        QVERIFY(m_textBox->isHidden() && m_comboBox->isVisible());
        QTest::keyClicks(m_comboBox, "Z");
        QCOMPARE(cells().mid(0, 4), (QStringList{"Damage", "7", "DamageType", "FLAME"}));
        QCOMPARE(call("UpdateLV"), QVariant(false));
        QVERIFY(call("CboClear").toBool() && m_comboBox->count() == 0);

        // Emptied and filled again, the list has no row for the editor to write to.
        m_model->removeRows(0, m_model->rowCount());
        QVERIFY(m_comboBox->isHidden());
        QVERIFY(fillSample());
        QTest::keyClicks(m_comboBox, "9");
        QCOMPARE(data(1, 1).toString(), QString("ARMOR_PIERCING"));
    }

    void hostSeesKeysAndMouseAndCanSwallowKeys()
    {
        QVERIFY(add("alpha") && add("bravo") && add("charlie"));
        // Key, its code, how the host swallows it and the row selected after
        // it. A swallowed letter comes first: one the list saw would go on its
        // type-ahead search.
        const struct { Qt::Key key; short keyCode; int swallowBy; int row; } keys[] = {
            {Qt::Key_B, 66, 2, 0}, {Qt::Key_B, 66, 0, 1}, {Qt::Key_Down, 40, 0, 1}, {Qt::Key_Down, 40, 1, 0},
            {Qt::Key_Escape, 27, 0, 0}};
        for (const auto &key : keys) {
            clickRow(0);
            m_host.keyCodes.clear();
            m_host.swallowBy = key.swallowBy;
            QTest::keyClick(m_view, key.key);
            QCOMPARE(m_host.keyCodes, QList<short>{key.keyCode});
            QCOMPARE(m_view->selectionModel()->selectedRows().value(0).row(), key.row);
        }

        m_host.mouse.clear();
        const QPoint at = m_view->visualRect(m_model->index(1, 0)).center();
        QTest::mouseClick(m_view->viewport(), Qt::RightButton, {}, at);
        QTest::mouseClick(m_view->viewport(), Qt::MiddleButton, Qt::ShiftModifier | Qt::ControlModifier, at);
        QCOMPARE(m_host.mouse, (QList<short>{2, 0, 4, 3}));
        const QPointF inList = m_view->viewport()->mapTo(m_view, at) * 1440.0;
        QCOMPARE(m_host.points.constLast().toPoint(),
                 QPointF(inList.x() / m_view->logicalDpiX(), inList.y() / m_view->logicalDpiY()).toPoint());
    }

    void tabLeavesTheControl()
    {
        QVERIFY(fillSample());
        // The list and its editors are one stop in the tab order. The row
        // clicked, where Tab or Shift+Tab is pressed, and where focus lands.
        const struct { int row; const char *from; bool back; const char *to; } tabs[] = {
            {0, "LV1", false, "after"}, {1, "LV1", false, "after"}, {0, "TxtBox", false, "after"},
            {0, "TxtBox", true, "before"}, {1, "CboBox", true, "before"}, {1, "after", true, "LV1"}};
        for (const auto &tab : tabs) {
            clickRow(tab.row);
            QWidget *from = m_window->findChild<QWidget *>(tab.from);
            from->setFocus();
            QCOMPARE(m_window->focusWidget(), from);
            QTest::keyClick(from, tab.back ? Qt::Key_Backtab : Qt::Key_Tab);
            QCOMPARE(m_window->focusWidget()->objectName(), QString(tab.to));
        }
    }

    void optionsAreSavedOnlyWhenChangedAndReadBack()
    {
        QCOMPARE(call("writeProperties").toMap(), QVariantMap());
        const QVariantMap changed{{"Sorted", true}, {"FullRowSelect", true}, {"GridLines", false},
                                  {"HideColumnHeaders", true}, {"SortKey", 1}, {"SortOrder", 1}};
        const QMetaObject *meta = m_control->metaObject();
        for (auto option = changed.cbegin(); option != changed.cend(); ++option) {
            QSignalSpy notify(m_control, meta->property(meta->indexOfProperty(qPrintable(option.key()))).notifySignal());
            QVERIFY(m_control->setProperty(qPrintable(option.key()), option.value()));
            QCOMPARE(notify.size(), 1);
        }
        // The row numbers never show, and now the column headers do not either.
        for (const QHeaderView *header : m_view->findChildren<QHeaderView *>())
            QVERIFY(header->isHidden());
        QCOMPARE(call("writeProperties").toMap(), changed);
        // An empty store gives the defaults; a settings file gives text back.
        QVERIFY(call("readProperties", {QVariantMap()}).toBool() && call("writeProperties").toMap().isEmpty());
        QVERIFY(call("readProperties", {QVariantMap{{"Sorted", "TRUE"}, {"FullRowSelect", "1"}, {"GridLines", "false"},
                                                    {"HideColumnHeaders", "-1"}, {"SortKey", " 1"}, {"SortOrder", "1.0"}}}).toBool());
        QCOMPARE(call("writeProperties").toMap(), changed);

        // Reading stops at a value that does not convert, keeping what it set.
        QVERIFY(call("readProperties", {QVariantMap()}).toBool());
        const QVariantMap bag{{"Sorted", true}, {"HideColumnHeaders", true}, {"SortKey", "first"}, {"SortOrder", 1}};
        QCOMPARE(call("readProperties", {bag}), QVariant(false));
        QVERIFY(m_control->property("LastError").toString().contains("SortKey"));
        QCOMPARE(call("writeProperties").toMap(), (QVariantMap{{"Sorted", true}, {"HideColumnHeaders", true}}));
        for (const QVariantMap &bad : {QVariantMap{{"SortKey", 70000}}, QVariantMap{{"GridLines", "maybe"}},
                                       QVariantMap{{"SortOrder", 2}}})
            QCOMPARE(call("readProperties", {bad}), QVariant(false));
    }

    void fullRowSelectHighlightsTheWholeRow()
    {
        QVERIFY(fillSample());
        // The right end of a value cell, clear of its text.
        const QRect value = m_view->visualRect(m_model->index(0, 1));
        const auto colour = [&] { return m_view->viewport()->grab().toImage().pixelColor(value.right() - 3, value.center().y()); };
        const QColor base = colour();
        m_view->selectRow(0);
        QCOMPARE(colour(), base);
        m_control->setProperty("FullRowSelect", true);
        QVERIFY(colour() != base);
    }

    void factoryCreatesTabuletOnlyByItsExactClassName()
    {
        QString error;
        ControlFactory *factory = tabuloxFactory(&error);
        QVERIFY2(factory, qPrintable(error));
        QCOMPARE(factory->classNames(), QStringList{"TabuletCtl.Tabulet"});
        QWidget parent;
        const QWidget *control = factory->create("TabuletCtl.Tabulet", &parent);
        QVERIFY(control && control->parentWidget() == &parent);
        for (const char *other : {"tabuletctl.tabulet", "Tabulet", ""})
            QVERIFY2(!factory->create(other, &parent), other);

        // Hosts connect to these by name: a change breaks them silently.
        const QMetaObject *meta = control->metaObject();
        for (const char *event : {"ItemClick(int)", "ItemCheck(int)", "MouseMove(short&,short&,float&,float&)",
                                  "MouseDown(short&,short&,float&,float&)", "MouseUp(short&,short&,float&,float&)",
                                  "KeyDown(short&,short&)", "KeyUp(short&,short&)", "KeyPress(short&)", "Click()",
                                  "ColumnClick(int)", "DblClick()"})
            QVERIFY2(meta->indexOfSignal(event) >= 0, event);
    }
};

QTEST_MAIN(tst_Tabulet)
#include "tst_tabulet.moc"
