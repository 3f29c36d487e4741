#include "startup/catalogue.h"

#include "../common/testgame.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const CatalogueNode *byText(const QList<CatalogueNode> &nodes, const QString &text)
{
    for (const CatalogueNode &n : nodes) {
        if (n.text == text)
            return &n;
    }
    return nullptr;
}

int countText(const QList<CatalogueNode> &nodes, const QString &text)
{
    return int(std::count_if(nodes.begin(), nodes.end(), [&](const CatalogueNode &n) { return n.text == text; }));
}

} // namespace

class tst_Catalogue : public QObject
{
    Q_OBJECT

private slots:
    void fixedNodesComeInTheirOrderWithKeysAndTags()
    {
        TestGame game;
        Catalogue catalogue;
        const auto nodes = Catalogue::treeOrder(catalogue.BuildCatalogue(game.path()));
        QStringList top;
        for (const auto &[depth, node] : nodes) {
            if (depth == 0)
                top << node.key + QLatin1Char('=') + node.text;
        }
        QCOMPARE(top, (QStringList{"FactionBuilding.ini=Player Buildings", "FactionUnit.ini=Player Units",
                                   "FactionProp.ini=Player Props", "Sep1=", "CivilianBuilding.ini=Civilian Buildings",
                                   "CivilianUnit.ini=Civilian Units", "CivilianProp.ini=Civilian Props", "Sep2=",
                                   "NatureProp.ini=Nature Props", "NatureUnit.ini=Nature Units"}));
        QCOMPARE(nodes[1].second.key, QStringLiteral("FBAmerica"));
        QCOMPARE(nodes[4].second.text, QStringLiteral("Cinematic"));
        QCOMPARE(nodes[4].second.key, QStringLiteral("FBCINE"));
        QCOMPARE(nodes[4].second.tag, QStringLiteral("FactionBuilding.ini"));
        // Civilian Buildings: "0 - 9" then A to Z.
        const int cb = int(std::find_if(nodes.begin(), nodes.end(), [](const auto &e) { return e.second.key == "CivilianBuilding.ini"; }) - nodes.begin());
        QCOMPARE(nodes[cb + 1].second.key, QStringLiteral("CB09"));
        QCOMPARE(nodes[cb + 1].second.text, QStringLiteral("0 - 9"));
        QCOMPARE(nodes[cb + 27].second.key, QStringLiteral("CBZ"));
        QCOMPARE(nodes[cb + 27].first, 1);
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
        const QList<CatalogueNode> nodes = catalogue.BuildCatalogue(game.path());

        const auto parentOf = [&](const char *name) { return byText(nodes, QLatin1String(name))->parentKey; };
        QCOMPARE(parentOf("GLATechnical"), QStringLiteral("FUGLA"));
        QCOMPARE(byText(nodes, QStringLiteral("GLATechnical"))->tag, QStringLiteral("FactionUnit.ini"));
        QCOMPARE(parentOf("AmericaRanger"), QStringLiteral("FUAmerica"));
        QCOMPARE(parentOf("cineExtra"), QStringLiteral("FUOther"));
        QCOMPARE(parentOf("Bolt"), QStringLiteral("FUOther"));
        QCOMPARE(parentOf("CINEBridge"), QStringLiteral("FBCINE"));
        QCOMPARE(parentOf("Crate"), QStringLiteral("FactionProp.ini"));
        QCOMPARE(parentOf("7Eleven"), QStringLiteral("CB09"));
        QCOMPARE(parentOf("barn"), QStringLiteral("CBB"));
        QCOMPARE(parentOf("Tree"), QStringLiteral("NPT"));
        QCOMPARE(parentOf("Deer"), QStringLiteral("NatureUnit.ini"));
        QVERIFY(!byText(nodes, QStringLiteral("_Hidden")));
        QVERIFY(!byText(nodes, QStringLiteral("Commented")));
        QVERIFY(!byText(nodes, QStringLiteral("Indented")));

        // Keys continue the program-wide counter: Key<n+1> first, never repeated,
        // and an object left out still uses up its number.
        QCOMPARE(byText(nodes, QStringLiteral("GLATechnical"))->key, QStringLiteral("Key%1").arg(before + 1));
        QCOMPARE(byText(nodes, QStringLiteral("Tree"))->key, QStringLiteral("Key%1").arg(before + 10));
        QCOMPARE(Catalogue::objectCounter(), before + 11);
        // Six files present: 12.5 per file read.
        QCOMPARE(progress.count(), 6);
        QCOMPARE(progress.last().first().toDouble(), 75.0);
        const QList<CatalogueNode> again = catalogue.BuildCatalogue(game.path());
        QCOMPARE(byText(again, QStringLiteral("GLATechnical"))->key, QStringLiteral("Key%1").arg(before + 12));

        QVERIFY(!Catalogue::isLoadable(nodes, *byText(nodes, QStringLiteral("Crate"))));
        QVERIFY(Catalogue::isLoadable(nodes, *byText(nodes, QStringLiteral("GLATechnical"))));
        QVERIFY(!Catalogue::isLoadable(nodes, *byText(nodes, QStringLiteral("GLA"))));
    }

    void missingFactionPropKeepsFilingUnderPlayerBuildings()
    {
        TestGame game;
        QVERIFY(game.writeIni(QStringLiteral("Object/FactionBuilding.ini"), crlf({"Object ChinaBunker", "End"})));
        QVERIFY(game.writeIni(QStringLiteral("Object/CivilianUnit.ini"), crlf({"Object Bus", "End"})));
        Catalogue catalogue;
        const QList<CatalogueNode> nodes = catalogue.BuildCatalogue(game.path());
        QCOMPARE(countText(nodes, QStringLiteral("Bus")), 2);
        QStringList parents;
        for (const CatalogueNode &n : nodes) {
            if (n.text == QLatin1String("Bus"))
                parents << n.parentKey;
        }
        QCOMPARE(parents, (QStringList{"FBOther", "CUB"}));
        // Each copy is read from the file of the category it is filed under.
        QCOMPARE(Catalogue::objectFile(nodes, *byText(nodes, QStringLiteral("Bus"))), QStringLiteral("FactionBuilding.ini"));
        QCOMPARE(catalogue.loader()->Pass, 2);
    }
};

QTEST_GUILESS_MAIN(tst_Catalogue)
#include "tst_catalogue.moc"
