#include "controlproxy.h"
#include "tabulet/controlfactory.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>
#include <QTest>
#include <QWidget>

#include <memory>

class tst_Tabulox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void factoryCreatesTabuletOnlyByItsExactClassName();
    void pluginDescribesItselfWithoutBeingLoaded();
    void controlOffersEveryEventByName();

private:
    ControlFactory *m_factory = nullptr;
};

void tst_Tabulox::initTestCase()
{
    QString error;
    m_factory = ControlProxy::factory(&error);
    QVERIFY2(m_factory, qPrintable(error));
}

void tst_Tabulox::factoryCreatesTabuletOnlyByItsExactClassName()
{
    QCOMPARE(m_factory->classNames(), QStringList{"TabuletCtl.Tabulet"});
    QWidget parent;
    QWidget *control = m_factory->create("TabuletCtl.Tabulet", &parent);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), &parent);
    for (const char *other : {"tabuletctl.tabulet", "Tabulet", ""})
        QVERIFY2(!m_factory->create(other, &parent), other);
}

void tst_Tabulox::pluginDescribesItselfWithoutBeingLoaded()
{
    const QJsonObject meta = QPluginLoader(ControlProxy::pluginPath()).metaData();
    QCOMPARE(meta.value("IID").toString(), QString(ControlFactory_iid));
    const QJsonObject own = meta.value("MetaData").toObject();
    QCOMPARE(own.value("Description").toString(), QString("Tabulet Control"));
    QCOMPARE(own.value("ClassNames").toArray(), QJsonArray{"TabuletCtl.Tabulet"});
}

void tst_Tabulox::controlOffersEveryEventByName()
{
    // Hosts connect by exact signature: a change here breaks them silently.
    std::unique_ptr<QWidget> control(m_factory->create("TabuletCtl.Tabulet", nullptr));
    const ControlProxy tabulet(control.get());
    for (const char *event : {"ItemClick(int)", "ItemCheck(int)", "MouseMove(short&,short&,float&,float&)",
                              "MouseDown(short&,short&,float&,float&)", "MouseUp(short&,short&,float&,float&)",
                              "KeyDown(short&,short&)", "KeyUp(short&,short&)", "KeyPress(short&)", "Click()",
                              "ColumnClick(int)", "DblClick()"})
        QVERIFY2(tabulet.signal(event).isValid(), event);
    QCOMPARE(tabulet.enumValue("TxtBoxType", "eCboBox"), 2);
    QCOMPARE(tabulet.enumValue("ItemPos", "Last"), 2);
    QCOMPARE(tabulet.part("LVObject")->objectName(), QString("LV1"));
}

QTEST_MAIN(tst_Tabulox)
#include "tst_tabulox.moc"
