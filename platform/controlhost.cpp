#include "controlhost.h"

#include "platform/shell.h"
#include "tabulet/controlfactory.h"

#include <QAbstractItemView>
#include <QMetaObject>
#include <QPluginLoader>

namespace {

QString g_pluginPath;
QString g_error;

ControlFactory *factory()
{
    static ControlFactory *loaded = nullptr;
    if (loaded)
        return loaded;
    const QString path = g_pluginPath.isEmpty() ? Shell::programFolder() + QStringLiteral("/libtabulox.so") : g_pluginPath;
    static QPluginLoader loader;
    loader.setFileName(path);
    if (!loader.load()) {
        g_error = QStringLiteral("Cannot load the list control library %1: %2").arg(path, loader.errorString());
        return nullptr;
    }
    loaded = qobject_cast<ControlFactory *>(loader.instance());
    if (!loaded)
        g_error = QStringLiteral("%1 is not a control library.").arg(path);
    return loaded;
}

} // namespace

namespace ControlHost {

QWidget *create(const QString &className, QWidget *parent)
{
    ControlFactory *f = factory();
    if (!f)
        return nullptr;
    QWidget *w = f->create(className, parent);
    if (!w)
        g_error = QStringLiteral("The list control library has no control %1.").arg(className);
    return w;
}

QString errorString()
{
    return g_error;
}

void setPluginPath(const QString &path)
{
    g_pluginPath = path;
}

} // namespace ControlHost

bool TabuletProxy::AddItem(const QString &text, int colIndex, int editorKind)
{
    bool ok = false;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "AddItem", Qt::DirectConnection, Q_RETURN_ARG(bool, ok),
                                  Q_ARG(QVariant, text), Q_ARG(QVariant, colIndex), Q_ARG(int, editorKind));
    return ok;
}

void TabuletProxy::AddColumn(const QString &text, const QVariant &width)
{
    if (m_control)
        QMetaObject::invokeMethod(m_control, "AddColumn", Qt::DirectConnection, Q_ARG(QVariant, text),
                                  Q_ARG(QVariant, width));
}

bool TabuletProxy::UpdateLV()
{
    bool ok = false;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "UpdateLV", Qt::DirectConnection, Q_RETURN_ARG(bool, ok));
    return ok;
}

bool TabuletProxy::EnableTextBox(int colIndex)
{
    bool ok = false;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "EnableTextBox", Qt::DirectConnection, Q_RETURN_ARG(bool, ok),
                                  Q_ARG(QVariant, colIndex));
    return ok;
}

bool TabuletProxy::DisableTextBox()
{
    bool ok = false;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "DisableTextBox", Qt::DirectConnection, Q_RETURN_ARG(bool, ok));
    return ok;
}

bool TabuletProxy::CboAddItem(const QString &text, int itemPosition, const QVariant &index)
{
    bool ok = false;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "CboAddItem", Qt::DirectConnection, Q_RETURN_ARG(bool, ok),
                                  Q_ARG(QVariant, text), Q_ARG(int, itemPosition), Q_ARG(QVariant, index));
    return ok;
}

bool TabuletProxy::CboClear()
{
    bool ok = false;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "CboClear", Qt::DirectConnection, Q_RETURN_ARG(bool, ok));
    return ok;
}

bool TabuletProxy::CheckSep(const QString &text)
{
    bool result = false;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "CheckSep", Qt::DirectConnection, Q_RETURN_ARG(bool, result),
                                  Q_ARG(QVariant, text));
    return result;
}

QVariant TabuletProxy::FindItem(const QString &text, const QVariant &where, const QVariant &index, const QVariant &partial)
{
    QVariant row;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "FindItem", Qt::DirectConnection, Q_RETURN_ARG(QVariant, row),
                                  Q_ARG(QString, text), Q_ARG(QVariant, where), Q_ARG(QVariant, index),
                                  Q_ARG(QVariant, partial));
    return row;
}

QAbstractItemView *TabuletProxy::listView() const
{
    return qobject_cast<QAbstractItemView *>(property("LVObject").value<QWidget *>());
}

QWidget *TabuletProxy::comboBox() const
{
    return property("CboObject").value<QWidget *>();
}

QWidget *TabuletProxy::textBox() const
{
    return property("TxtObject").value<QWidget *>();
}

QVariant TabuletProxy::property(const char *name) const
{
    return m_control ? m_control->property(name) : QVariant();
}

void TabuletProxy::setProperty(const char *name, const QVariant &value)
{
    if (m_control)
        m_control->setProperty(name, value);
}
