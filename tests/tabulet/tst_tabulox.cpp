#include "controlproxy.h"

#include <QTest>
#include <QWidget>

class tst_Tabulox : public QObject
{
    Q_OBJECT

private slots:
    void factoryCreatesTabuletOnlyByItsExactClassName()
    {
        QString error;
        ControlFactory *factory = tabuloxFactory(&error);
        QVERIFY2(factory, qPrintable(error));
        QCOMPARE(factory->classNames(), QStringList{"TabuletCtl.Tabulet"});
        QWidget parent;
        const QWidget *control = factory->create("TabuletCtl.Tabulet", &parent);
        QVERIFY(control && control->parentWidget() == &parent);
        for (const char *other : {"tabuletctl.tabulet", "Tabulet", ""})
            QVERIFY2(!factory->create(other, &parent), other);

        // Hosts connect to these by name: a change breaks them silently.
        const QMetaObject *meta = control->metaObject();
        for (const char *event : {"ItemClick(int)", "ItemCheck(int)", "MouseMove(short&,short&,float&,float&)",
                                  "MouseDown(short&,short&,float&,float&)", "MouseUp(short&,short&,float&,float&)",
                                  "KeyDown(short&,short&)", "KeyUp(short&,short&)", "KeyPress(short&)", "Click()",
                                  "ColumnClick(int)", "DblClick()"})
            QVERIFY2(meta->indexOfSignal(event) >= 0, event);
    }
};

QTEST_MAIN(tst_Tabulox)
#include "tst_tabulox.moc"
