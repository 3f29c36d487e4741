#include "controlproxy.h"

#include "tabulet/controlfactory.h"

#include <QMetaEnum>
#include <QPluginLoader>
#include <QWidget>

#include <array>

ControlProxy::ControlProxy(QObject *control)
    : m_control(control)
{
}

QString ControlProxy::pluginPath()
{
    return QStringLiteral(TABULOX_PLUGIN_PATH);
}

ControlFactory *ControlProxy::factory(QString *error)
{
    // Kept loaded for the whole run: controls it made live in tests' windows.
    static QPluginLoader loader(pluginPath());
    auto *factory = qobject_cast<ControlFactory *>(loader.instance());
    if (!factory && error)
        *error = loader.errorString();
    return factory;
}

QObject *ControlProxy::control() const
{
    return m_control;
}

QVariant ControlProxy::call(const char *member, const QVariantList &args) const
{
    const QMetaObject *meta = m_control->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.name() != member || method.parameterCount() != args.size())
            continue;
        QVariantList values = args;
        std::array<QGenericArgument, 10> generic;
        for (int p = 0; p < int(values.size()); ++p) {
            const QMetaType type = method.parameterMetaType(p);
            if (type.id() == QMetaType::QVariant) {
                generic[p] = QGenericArgument("QVariant", &values[p]);
                continue;
            }
            if (!values[p].convert(type)) {
                qWarning("%s: argument %d does not convert to %s", member, p, type.name());
                return QVariant();
            }
            generic[p] = QGenericArgument(type.name(), values[p].data());
        }
        const QMetaType returnType = method.returnMetaType();
        QVariant result;
        QGenericReturnArgument returned;
        if (returnType.id() == QMetaType::QVariant) {
            returned = QGenericReturnArgument("QVariant", &result);
        } else if (returnType.id() != QMetaType::Void) {
            result = QVariant(returnType);
            returned = QGenericReturnArgument(returnType.name(), result.data());
        }
        if (!method.invoke(m_control, Qt::DirectConnection, returned, generic[0], generic[1], generic[2],
                           generic[3], generic[4], generic[5], generic[6], generic[7], generic[8], generic[9])) {
            qWarning("%s could not be called", member);
            return QVariant();
        }
        return result;
    }
    qWarning("%s with %d arguments is not a member of %s", member, int(args.size()), meta->className());
    return QVariant();
}

QVariant ControlProxy::property(const char *name) const
{
    return m_control->property(name);
}

bool ControlProxy::setProperty(const char *name, const QVariant &value) const
{
    return m_control->setProperty(name, value);
}

QWidget *ControlProxy::part(const char *name) const
{
    return property(name).value<QWidget *>();
}

QMetaMethod ControlProxy::signal(const char *signature) const
{
    const QMetaObject *meta = m_control->metaObject();
    const int index = meta->indexOfSignal(QMetaObject::normalizedSignature(signature).constData());
    return index < 0 ? QMetaMethod() : meta->method(index);
}

bool ControlProxy::connectSignal(const char *signature, QObject *receiver, const char *slot) const
{
    const QMetaMethod source = signal(signature);
    const QMetaObject *meta = receiver->metaObject();
    const int slotIndex = meta->indexOfSlot(QMetaObject::normalizedSignature(slot).constData());
    if (!source.isValid() || slotIndex < 0)
        return false;
    return QObject::connect(m_control, source, receiver, meta->method(slotIndex), Qt::DirectConnection);
}

int ControlProxy::enumValue(const char *enumName, const char *key) const
{
    const QMetaObject *meta = m_control->metaObject();
    const QMetaEnum values = meta->enumerator(meta->indexOfEnumerator(enumName));
    return values.isValid() ? values.keyToValue(key) : -1;
}
