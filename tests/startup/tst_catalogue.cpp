#include "startup/catalogue.h"

#include "../common/testgame.h"

#include <QSignalSpy>
#include <QTest>

class tst_Catalogue : public QObject
{
    Q_OBJECT

private slots:
    // The categories, the sides of Player Buildings and the first and last letter groups of Civilian Buildings.
    void fixedNodesComeInTheirOrderWithKeysAndTags()
    {
        TestGame game;
        Catalogue catalogue;
        QStringList shown;
        for (const auto &[depth, node] : Catalogue::treeOrder(catalogue.BuildCatalogue(game.path()))) {
            if (depth == 0 || node.parentKey == QLatin1String("FactionBuilding.ini") || node.key == QLatin1String("CB09")
                || node.key == QLatin1String("CBZ"))
                shown << QString(depth, u' ') + node.key + u'=' + node.text + u'=' + node.tag;
        }
        QCOMPARE(shown, (QStringList{
            "FactionBuilding.ini=Player Buildings=FactionBuilding.ini", " FBAmerica=America=FactionBuilding.ini",
            " FBChina=China=FactionBuilding.ini", " FBGLA=GLA=FactionBuilding.ini", " FBCINE=Cinematic=FactionBuilding.ini",
            " FBOther=Other=FactionBuilding.ini", "FactionUnit.ini=Player Units=FactionUnit.ini",
            "FactionProp.ini=Player Props=FactionProp.ini", "Sep1==", "CivilianBuilding.ini=Civilian Buildings=",
            " CB09=0 - 9=", " CBZ=Z=", "CivilianUnit.ini=Civilian Units=", "CivilianProp.ini=Civilian Props=", "Sep2==",
            "NatureProp.ini=Nature Props=", "NatureUnit.ini=Nature Units="}));
    }

    void objectsAreFiledBySideAndFirstCharacter()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionUnit.ini"),
                              crlf({"Object GLATechnical", "End", "Object AmericaRanger", "End", "Object cineExtra", "End",
                                    "ObjectCreationList Bolt", "; Object Commented", " Object Indented"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionBuilding.ini"), crlf({"Object CINEBridge", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionProp.ini"), crlf({"Object Crate", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/CivilianBuilding.ini"), crlf({"Object 7Eleven", "End", "Object barn", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/NatureProp.ini"), crlf({"Object _Hidden", "End", "Object Tree", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/NatureUnit.ini"), crlf({"Object Deer", "End"})));
        Catalogue catalogue;
        QSignalSpy progress(&catalogue, &Catalogue::progress);
        const qint32 before = Catalogue::objectCounter();
        // Object nodes as "key number past before, name, parent, tag", in the order read.
        const auto filed = [before](const QList<CatalogueNode> &nodes) {
            QStringList out;
            for (const CatalogueNode &n : nodes) {
                if (n.key.startsWith(QLatin1String("Key")))
                    out << QStringLiteral("%1 %2 %3 %4").arg(n.key.mid(3).toInt() - before).arg(n.text, n.parentKey, n.tag);
            }
            return out;
        };
        const QList<CatalogueNode> nodes = catalogue.BuildCatalogue(game.path());
        // Keys continue the program-wide counter, and an object left out
        // ("_Hidden", 9) still uses up its number.
        QCOMPARE(filed(nodes), (QStringList{"1 GLATechnical FUGLA FactionUnit.ini", "2 AmericaRanger FUAmerica FactionUnit.ini",
                                            "3 cineExtra FUOther FactionUnit.ini", "4 Bolt FUOther FactionUnit.ini",
                                            "5 CINEBridge FBCINE FactionBuilding.ini", "6 Crate FactionProp.ini FactionProp.ini",
                                            "7 7Eleven CB09 CivilianBuilding.ini", "8 barn CBB CivilianBuilding.ini",
                                            "10 Tree NPT NatureProp.ini", "11 Deer NatureUnit.ini NatureUnit.ini"}));
        QCOMPARE(Catalogue::objectCounter(), before + 11);
        // Six files present: 12.5 per file read.
        QCOMPARE(progress.count(), 6);
        QCOMPARE(progress.last().first().toDouble(), 75.0);
        QCOMPARE(filed(catalogue.BuildCatalogue(game.path())).first(), QStringLiteral("12 GLATechnical FUGLA FactionUnit.ini"));

        // Only nodes two levels below a category load an object (and top-level
        // nodes without children: the separators).
        QStringList loadable;
        for (const CatalogueNode &n : nodes) {
            if (Catalogue::isLoadable(nodes, n))
                loadable << n.text;
        }
        QCOMPARE(loadable, (QStringList{"", "", "GLATechnical", "AmericaRanger", "cineExtra", "Bolt", "CINEBridge",
                                        "7Eleven", "barn", "Tree"}));
    }

    void missingFactionPropKeepsFilingUnderPlayerBuildings()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionBuilding.ini"), crlf({"Object ChinaBunker", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/CivilianUnit.ini"), crlf({"Object Bus", "End"})));
        Catalogue catalogue;
        const QList<CatalogueNode> nodes = catalogue.BuildCatalogue(game.path());
        // Each copy is read from the file of the category it is filed under.
        QStringList buses;
        for (const CatalogueNode &n : nodes) {
            if (n.text == QLatin1String("Bus"))
                buses << n.parentKey + u' ' + Catalogue::objectFile(nodes, n);
        }
        QCOMPARE(buses, (QStringList{"FBOther FactionBuilding.ini", "CUB CivilianUnit.ini"}));
    }
};

QTEST_GUILESS_MAIN(tst_Catalogue)
#include "tst_catalogue.moc"
