#include "tabuloxplugin.h"

#include "tabulet.h"

namespace {
const QString tabuletClassName = QStringLiteral("TabuletCtl.Tabulet");
}

TabuloxPlugin::TabuloxPlugin(QObject *parent)
    : QObject(parent)
{
}

QStringList TabuloxPlugin::classNames() const
{
    return {tabuletClassName};
}

QWidget *TabuloxPlugin::create(const QString &className, QWidget *parent)
{
    if (className != tabuletClassName)
        return nullptr;
    return new Tabulet(parent);
}
