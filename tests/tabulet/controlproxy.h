#pragma once

#include "tabulet/controlfactory.h"

#include <QMetaMethod>
#include <QPluginLoader>
#include <QVariant>

// Tests reach the control the way the program does: through the built plugin,
// calling members and connecting signals by name only.
inline ControlFactory *tabuloxFactory(QString *error)
{
    // Kept loaded for the whole run: controls it made live in tests' windows.
    static QPluginLoader loader(QStringLiteral(TABULOX_PLUGIN_PATH));
    *error = loader.errorString();
    return qobject_cast<ControlFactory *>(loader.instance());
}

// Calls the member that takes as many arguments, each converted to its
// parameter's type; the member's result, invalid when it has none.
inline QVariant callMember(QObject *control, const char *member, QVariantList args = {})
{
    const QMetaObject *meta = control->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.name() != member || method.parameterCount() != args.size())
            continue;
        QVariant result(method.returnMetaType());
        void *argv[5] = {result.data()};
        for (int p = 0; p < int(args.size()); ++p) {
            const bool any = method.parameterType(p) == QMetaType::QVariant;
            if (!any && !args[p].convert(method.parameterMetaType(p)))
                qFatal("%s: argument %d does not convert to %s", member, p, method.parameterMetaType(p).name());
            argv[p + 1] = any ? &args[p] : args[p].data();
        }
        control->qt_metacall(QMetaObject::InvokeMetaMethod, i, argv);
        return result.value<QVariant>();
    }
    qFatal("%s with %d arguments is not a member", member, int(args.size()));
}
