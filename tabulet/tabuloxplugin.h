#pragma once

#include "controlfactory.h"

#include <QObject>

// The library's root object: creates its one control, the editable list.
class TabuloxPlugin : public QObject, public ControlFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ControlFactory_iid FILE "tabulox.json")
    Q_INTERFACES(ControlFactory)

public:
    explicit TabuloxPlugin(QObject *parent = nullptr);

    QStringList classNames() const override;
    QWidget *create(const QString &className, QWidget *parent) override;
};
