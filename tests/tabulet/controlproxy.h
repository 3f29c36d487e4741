#pragma once

#include <QMetaMethod>
#include <QVariant>

class ControlFactory;
class QWidget;

// Reaches a control the way the program does: the plugin is loaded from the
// build's program folder, and members, properties and signals are found by
// name. Nothing here knows the control's class.
class ControlProxy
{
public:
    explicit ControlProxy(QObject *control = nullptr);

    // The built plugin's factory, or nullptr with the loader's reason.
    static ControlFactory *factory(QString *error = nullptr);
    static QString pluginPath();

    QObject *control() const;

    // Converts each argument to the member's parameter type; the member's
    // result, or an invalid QVariant for a member without one or not found.
    QVariant call(const char *member, const QVariantList &args = {}) const;
    QVariant property(const char *name) const;
    bool setProperty(const char *name, const QVariant &value) const;
    QWidget *part(const char *name) const;
    QMetaMethod signal(const char *signature) const;
    // Direct, as the control's by-reference signals need.
    bool connectSignal(const char *signature, QObject *receiver, const char *slot) const;
    int enumValue(const char *enumName, const char *key) const;

private:
    QObject *m_control;
};
