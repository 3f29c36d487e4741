#pragma once

#include <QtPlugin>
#include <QString>
#include <QStringList>

class QWidget;

// Item data roles under which a list view keeps the key and the tag text of a
// row (in its label, column 0), of a value cell and of a column header.
namespace ItemRole {
inline constexpr int Key = Qt::UserRole;
inline constexpr int Tag = Qt::UserRole + 1;
}

/*
 * The one interface a control library's plugin root object implements. The
 * program creates controls by class name and then talks to them only through
 * their meta-object (members, properties and signals called by name), so it
 * never links a control library.
 *
 * "TabuletCtl.Tabulet" (library libtabulox.so) gives an editable two-column
 * list. Its members return false when they fail, with the reason in the
 * property LastError; its by-reference signals (KeyPress(short&), ...) only
 * reach receivers connected directly.
 */
class ControlFactory
{
public:
    virtual ~ControlFactory() = default;

    // The class names that create() accepts.
    virtual QStringList classNames() const = 0;

    // A new control of that class owned by parent, or nullptr for a name this
    // library does not know.
    virtual QWidget *create(const QString &className, QWidget *parent) = 0;
};

#define ControlFactory_iid "Tabulox.ControlFactory/1.0"

Q_DECLARE_INTERFACE(ControlFactory, ControlFactory_iid)
