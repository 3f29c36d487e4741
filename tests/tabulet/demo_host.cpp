// A host window for looking at the control: a text row, a combo row with its
// choices dropped down and a separator row, as the viewers fill them.
// Run it under a display and take a screenshot; it quits after a few seconds.

#include "controlproxy.h"
#include "tabulet/controlfactory.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QString error;
    ControlFactory *factory = ControlProxy::factory(&error);
    if (!factory) {
        qCritical("%s", qPrintable(error));
        return 1;
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("Weapons Editor"));
    window.resize(700, 360);
    QWidget *control = factory->create(QStringLiteral("TabuletCtl.Tabulet"), &window);
    control->setObjectName(QStringLiteral("ValueList"));
    control->setGeometry(12, 12, 676, 336);
    const ControlProxy list(control);

    list.call("AddColumn", {"Name", 4440});
    list.call("AddColumn", {"Value", 5440});
    list.call("EnableTextBox", {1});
    const auto addRow = [&](const QString &label, const QString &value, int kind, const QStringList &choices = {}) {
        list.call("AddItem", {label, 0});
        list.call("AddItem", {value, 1, kind});
        for (const QString &choice : choices)
            list.call("CboAddItem", {choice, 2});
    };
    addRow("PrimaryDamage", "25.0", 1);
    addRow(QString(40, u'-'), QString(20, u'-'), 0);
    addRow("DamageType", "ARMOR_PIERCING", 2, {"ARMOR_PIERCING", "EXPLOSION", "SMALL_ARMS", "FLAME", "LASER"});
    addRow("AttackRange", "150.0", 1);
    addRow("DeathType", "NORMAL", 2, {"NORMAL", "EXPLODED", "BURNED"});

    auto *view = qobject_cast<QAbstractItemView *>(list.part("LVObject"));
    auto *combo = qobject_cast<QComboBox *>(list.part("CboObject"));
    window.show();
    // Arguments: milliseconds to stay open, and the row to pick (2, the combo row).
    const int row = argc > 2 ? QString(argv[2]).toInt() : 2;
    QTimer::singleShot(300, [&] {
        view->setCurrentIndex(view->model()->index(row, 0));
        if (!combo->isHidden())
            combo->showPopup();
    });
    QTimer::singleShot(argc > 1 ? QString(argv[1]).toInt() : 4000, &app, &QApplication::quit);
    return app.exec();
}
