#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

// Creates controls of the list control library by class name. The library is
// a plugin in the program folder, loaded once; the program never links it and
// reaches the controls only through their meta-object by member name.
namespace ControlHost {

// The control, or null (with errorString) when the plugin or the class is missing.
QWidget *create(const QString &className, QWidget *parent);
QString errorString();

// Where the plugin is looked for: the program folder unless set (tests set it).
void setPluginPath(const QString &path);

} // namespace ControlHost

// A thin proxy over one "TabuletCtl.Tabulet" control: calls its members and
// reads its properties by name.
class TabuletProxy
{
public:
    explicit TabuletProxy(QWidget *control = nullptr) : m_control(control) {}

    QWidget *widget() const { return m_control; }
    bool isValid() const { return m_control != nullptr; }

    bool AddItem(const QString &text, int colIndex, int editorKind = 0);
    void AddColumn(const QString &text, const QVariant &width = QVariant());
    bool UpdateLV();
    bool EnableTextBox(int colIndex);
    bool DisableTextBox();
    bool CboAddItem(const QString &text, int itemPosition, const QVariant &index = QVariant());
    bool CboClear();
    bool CheckSep(const QString &text);
    QVariant FindItem(const QString &text, const QVariant &where = QVariant(), const QVariant &index = QVariant(),
                      const QVariant &partial = QVariant());

    class QAbstractItemView *listView() const;
    QWidget *comboBox() const;
    QWidget *textBox() const;
    QVariant property(const char *name) const;
    void setProperty(const char *name, const QVariant &value);

private:
    QWidget *m_control;
};
