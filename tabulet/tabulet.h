#pragma once

#include <QVariant>
#include <QWidget>

class QComboBox;
class QEvent;
class QItemSelection;
class QKeyEvent;
class QLineEdit;
class QMouseEvent;
class QTableWidget;
class QTableWidgetItem;
class CellDelegate;

/*
 * A list of labels and values whose value cells are edited in place: a text
 * box or a combo box is laid over the edited cell of the row the user picks.
 *
 * Rows, cells and column headers live only in the inner list view (LVObject),
 * which hosts use directly to empty, count and read the list. Row r of its
 * model holds the row's label in column 0 and value cell c in column c. Each
 * row label, cell and header carries a key and a tag text in the roles of
 * ItemRole (controlfactory.h). A cell's tag names its editor: "TxtBox|", or
 * "CboBox|" followed by its choices, each ended by ",".
 *
 * Members that can fail return false and leave the reason in LastError; the
 * steps that ran before the failure stay done. Hosts call everything by name,
 * so the signatures below are the interface: change none of them.
 */
class Tabulet : public QWidget
{
    Q_OBJECT
    Q_CLASSINFO("ClassName", "TabuletCtl.Tabulet")
    Q_PROPERTY(QWidget *LVObject READ LVObject CONSTANT)
    Q_PROPERTY(QWidget *CboObject READ CboObject CONSTANT)
    Q_PROPERTY(QWidget *TxtObject READ TxtObject CONSTANT)
    Q_PROPERTY(bool Sorted READ Sorted WRITE setSorted NOTIFY sortedChanged)
    Q_PROPERTY(bool FullRowSelect READ FullRowSelect WRITE setFullRowSelect NOTIFY fullRowSelectChanged)
    Q_PROPERTY(bool GridLines READ GridLines WRITE setGridLines NOTIFY gridLinesChanged)
    Q_PROPERTY(bool HideColumnHeaders READ HideColumnHeaders WRITE setHideColumnHeaders NOTIFY hideColumnHeadersChanged)
    Q_PROPERTY(short SortKey READ SortKey WRITE setSortKey NOTIFY sortKeyChanged)
    Q_PROPERTY(int SortOrder READ SortOrder WRITE setSortOrder NOTIFY sortOrderChanged)
    Q_PROPERTY(QString LastError READ LastError)

public:
    enum TxtBoxType { eTxtBox = 1, eCboBox = 2 };
    Q_ENUM(TxtBoxType)
    enum ItemPos { SelItem = 1, Last = 2 };
    Q_ENUM(ItemPos)

    explicit Tabulet(QWidget *parent = nullptr);

    QWidget *LVObject() const;
    QWidget *CboObject() const;
    QWidget *TxtObject() const;

    // ColIndex 0 appends a row labelled Strtext (key "Key" + its number).
    // Otherwise Strtext becomes cell ColIndex of the last row, which must be
    // the next free cell; eTBType (a TxtBoxType) picks the cell's editor.
    Q_INVOKABLE bool AddItem(const QVariant &Strtext, const QVariant &ColIndex, int eTBType = 0);
    // ColWidth in twips; without a usable width the column keeps the default.
    Q_INVOKABLE void AddColumn(const QVariant &Strtext, const QVariant &ColWidth = QVariant());
    // Shows the selected row's edited cell again in both editors.
    Q_INVOKABLE bool UpdateLV();
    // Edits cell ColIndex from the next row click on.
    Q_INVOKABLE bool EnableTextBox(const QVariant &ColIndex);
    Q_INVOKABLE bool DisableTextBox();
    // Adds a choice to the combo box's own list (at Index from 0 when given)
    // and to the tag of the edited cell in the row ItemPosition (an ItemPos)
    // names. The combo keeps the entry even when the row or cell is missing.
    Q_INVOKABLE bool CboAddItem(const QVariant &Text, int ItemPosition, const QVariant &Index = QVariant());
    Q_INVOKABLE bool CboClear();
    // True when Text is empty or all "-": such a value marks a separator row.
    Q_INVOKABLE bool CheckSep(const QVariant &Text);
    // The first row from Index (from 0) whose label (Where 0 or omitted) or
    // any value cell (Where 1) equals sz, ignoring letter case; with fPartial
    // true a row that starts with sz counts when none is equal. The row
    // number from 0, or an invalid QVariant when none matches.
    Q_INVOKABLE QVariant FindItem(const QString &sz, const QVariant &Where = QVariant(),
                                  const QVariant &Index = QVariant(), const QVariant &fPartial = QVariant());

    // The six display options, kept by the list view itself.
    bool Sorted() const;
    void setSorted(bool sorted);
    bool FullRowSelect() const;
    void setFullRowSelect(bool fullRowSelect);
    bool GridLines() const;
    void setGridLines(bool gridLines);
    bool HideColumnHeaders() const;
    void setHideColumnHeaders(bool hide);
    short SortKey() const;
    void setSortKey(short column);
    int SortOrder() const;
    void setSortOrder(int order);

    QString LastError() const;

    // The host's stored layout: reads the six options in a fixed order, each
    // absent one at its default. On a value that does not convert it stops,
    // returns false and keeps what it already set.
    Q_INVOKABLE bool readProperties(const QVariantMap &bag);
    // Only the options that differ from their defaults.
    Q_INVOKABLE QVariantMap writeProperties() const;

signals:
    void ItemClick(int row);
    void ItemCheck(int row);
    // Button: 1 left, 2 right, 4 middle, added up; Shift: 1 Shift, 2 Ctrl,
    // 4 Alt; x and y in twips from the list's top left corner.
    void MouseMove(short &Button, short &Shift, float &x, float &y);
    void MouseDown(short &Button, short &Shift, float &x, float &y);
    void MouseUp(short &Button, short &Shift, float &x, float &y);
    // A handler that changes KeyCode, Shift or KeyAscii changes the key the
    // list gets; 0 swallows it.
    void KeyDown(short &KeyCode, short &Shift);
    void KeyUp(short &KeyCode, short &Shift);
    void KeyPress(short &KeyAscii);
    // Declared for hosts written against the full event set; never raised.
    void Click();
    void ColumnClick(int column);
    void DblClick();

    void sortedChanged(bool sorted);
    void fullRowSelectChanged(bool fullRowSelect);
    void gridLinesChanged(bool gridLines);
    void hideColumnHeadersChanged(bool hide);
    void sortKeyChanged(short column);
    void sortOrderChanged(int order);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void onSelectionChanged();
    void onClicked(const QModelIndex &index);
    void onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles);
    void onChoiceActivated();
    void writeBack(const QString &text);

    void rowClicked(int row);
    void showEditor();
    void placeEditor(QWidget *editor, int row);
    void hideEditors();

    bool addRow(const QString &text);
    bool addCell(const QString &text, int cellIndex, int kind);
    void ensureColumns(int count);
    void setColumnCount(int count);
    int headerCount() const;
    int selectedRow() const;
    int cellCount(int row) const;
    QTableWidgetItem *cell(int row, int cellIndex) const;

    void relayMouse(void (Tabulet::*signal)(short &, short &, float &, float &), QMouseEvent *event);
    bool relayKey(QKeyEvent *event);

    int twipsToPixelsX(double twips) const;
    int twipsToPixelsY(double twips) const;
    void clearError();
    bool fail(const QString &reason);

    QTableWidget *m_list;
    QLineEdit *m_textBox;
    QComboBox *m_comboBox;
    CellDelegate *m_delegate;

    bool m_editEnabled = false;
    short m_editColumn = 0; // list column from 1 of the edited cell; 0 when off
    int m_lastEditorKind = 0;

    QString m_lastError;
    bool m_filling = false;     // the control itself is setting editor texts
    bool m_forwarding = false;  // a key changed by the host is on its way to the list
    bool m_selectedByPress = false; // the mouse press under way already handled its row
};
