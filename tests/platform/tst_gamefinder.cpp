#include "platform/gamefinder.h"
#include "platform/vdf.h"

#include "../common/testgame.h"

#include <QTest>

namespace {

QByteArray libraryFile(const QStringList &paths)
{
    QByteArray text = "\"libraryfolders\"\n{\n";
    for (qsizetype i = 0; i < paths.size(); ++i) {
        QString escaped = paths[i];
        escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
        text += "\t\"" + QByteArray::number(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + escaped.toUtf8()
                + "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"2280\"\t\t\"1\"\n\t\t}\n\t}\n";
    }
    return text + "}\n";
}

QByteArray manifest(const char *appId, const char *installDir)
{
    return QByteArray("\"AppState\"\n{\n\t\"appid\"\t\t\"") + appId + "\"\n\t\"name\"\t\t\"Torvane\"\n\t\"installdir\"\t\t\""
           + installDir + "\"\n}\n";
}

} // namespace

class tst_GameFinder : public QObject
{
    Q_OBJECT

private:
    // The fake home and, beside it, what lies outside it: a second Steam
    // library, a Wine prefix named by WINEPREFIX, and a game that a link in
    // the home folder points at.
    TestGame m_root;
    QString home() const { return m_root.path() + QStringLiteral("/home"); }
    QString canonical(const QString &relative) const
    {
        return QFileInfo(m_root.path() + QLatin1Char('/') + relative).canonicalFilePath();
    }
    GameFinder::Result find() const
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("WINEPREFIX"), m_root.path() + QStringLiteral("/prefix"));
        return GameFinder::findGames(home(), environment);
    }

private slots:
    void initTestCase()
    {
        const QString steam = QStringLiteral("home/.local/share/Steam/");
        QVERIFY(m_root.write(steam + QStringLiteral("steamapps/libraryfolders.vdf"),
                             libraryFile({home() + QStringLiteral("/.local/share/Steam"),
                                          m_root.path() + QStringLiteral("/library2")})));
        QVERIFY(m_root.write(steam + QStringLiteral("steamapps/common/Torvane/TORVANE.EXE"), ""));
        QVERIFY(m_root.write(steam + QStringLiteral("steamapps/appmanifest_4410.acf"), manifest("4410", "torvane")));
        QVERIFY(m_root.write(steam + QStringLiteral("steamapps/common/Unrelated/game.exe"), ""));
        // As Steam sets it up: ~/.steam/steam is a link to the real folder.
        QDir().mkpath(home() + QStringLiteral("/.steam"));
        QVERIFY(QFile::link(home() + QStringLiteral("/.local/share/Steam"), home() + QStringLiteral("/.steam/steam")));
        QVERIFY(m_root.write(QStringLiteral("library2/steamapps/common/Torvane Gold/torvane.exe"), ""));
        QVERIFY(m_root.write(QStringLiteral("home/.wine/drive_c/Program Files/Ostrel/Torvane/Data/torvane.exe"), ""));
        QVERIFY(m_root.write(QStringLiteral("library2/steamapps/common/Deep/Bin/torvane.exe"), ""));
        QVERIFY(m_root.write(QStringLiteral("home/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/"
                                            "common/Torvane Flat/Torvane.exe"), ""));

        QVERIFY(m_root.write(QStringLiteral("home/.wine/drive_c/Program Files/Ostrel/Torvane/torvane.exe"), ""));
        QVERIFY(m_root.write(QStringLiteral("home/.wine/drive_c/a/b/c/d/e/f/torvane.exe"), ""));
        QVERIFY(m_root.write(QStringLiteral("home/.wine/drive_c/windows/Torvane/torvane.exe"), ""));
        QVERIFY(m_root.write(QStringLiteral("home/.wine/drive_c/Empty/readme.txt"), ""));
        QVERIFY(m_root.write(QStringLiteral("outside/torvane.exe"), ""));
        QVERIFY(QFile::link(m_root.path() + QStringLiteral("/outside"),
                            home() + QStringLiteral("/.wine/drive_c/Linked Away")));
        QVERIFY(QFile::link(m_root.path() + QStringLiteral("/outside/torvane.exe"),
                            home() + QStringLiteral("/.wine/drive_c/Empty/torvane.exe")));
        QVERIFY(QFile::link(home() + QStringLiteral("/.wine/drive_c/Program Files"),
                            home() + QStringLiteral("/.wine/drive_c/Shortcut")));
        QVERIFY(QFile::link(home() + QStringLiteral("/.wine/drive_c"), home() + QStringLiteral("/.wine/drive_c/Loop")));
        QDir().mkpath(home() + QStringLiteral("/.wine/dosdevices"));
        QVERIFY(QFile::link(m_root.path(), home() + QStringLiteral("/.wine/dosdevices/z:")));

        QVERIFY(m_root.write(QStringLiteral("prefix/drive_c/Games/Torvane/torvane.exe"), ""));
        QVERIFY(m_root.write(QStringLiteral("home/Games/torvane/drive_c/Program Files (x86)/Ostrel/Torvane/torvane.exe"),
                             ""));
        QVERIFY(m_root.write(QStringLiteral("home/.local/share/bottles/bottles/Gaming/drive_c/Torvane/torvane.exe"), ""));
    }

    void findsEachGameFolderOnce_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("found");
        QTest::newRow("default library, program in capitals") << "home/.local/share/Steam/steamapps/common/Torvane" << true;
        QTest::newRow("second library from the library file") << "library2/steamapps/common/Torvane Gold" << true;
        QTest::newRow("not below a game folder") << "home/.wine/drive_c/Program Files/Ostrel/Torvane/Data" << false;
        QTest::newRow("library looked into one level deep") << "library2/steamapps/common/Deep/Bin" << false;
        QTest::newRow("flatpak Steam") << "home/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/common/"
                                          "Torvane Flat" << true;
        QTest::newRow("folder without the program") << "home/.local/share/Steam/steamapps/common/Unrelated" << false;
        QTest::newRow("default Wine prefix") << "home/.wine/drive_c/Program Files/Ostrel/Torvane" << true;
        QTest::newRow("deeper than the bound") << "home/.wine/drive_c/a/b/c/d/e/f" << false;
        QTest::newRow("the prefix's Windows folder") << "home/.wine/drive_c/windows/Torvane" << false;
        QTest::newRow("folder linked out of the prefix") << "outside" << false;
        QTest::newRow("program linked out of the prefix") << "home/.wine/drive_c/Empty" << false;
        QTest::newRow("WINEPREFIX") << "prefix/drive_c/Games/Torvane" << true;
        QTest::newRow("Lutris") << "home/Games/torvane/drive_c/Program Files (x86)/Ostrel/Torvane" << true;
        QTest::newRow("Bottles") << "home/.local/share/bottles/bottles/Gaming/drive_c/Torvane" << true;
    }
    void findsEachGameFolderOnce()
    {
        QFETCH(QString, folder);
        QFETCH(bool, found);
        const GameFinder::Result result = find();
        QVERIFY(result.complete);
        const QString path = canonical(folder);
        QVERIFY2(!path.isEmpty(), qPrintable(folder));
        QVERIFY2(result.folders.contains(path) == found, qPrintable(result.folders.join(QLatin1Char('\n'))));
        QCOMPARE(result.folders.count(path), found ? 1 : 0);
        // Links inside a root (Shortcut, Loop) lead to folders found by their own path.
        QCOMPARE(result.folders.size(), 7);
        QCOMPARE(result.folders.first(), canonical(QStringLiteral("home/.local/share/Steam/steamapps/common/Torvane")));
    }

    void libraryFileForms_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("folders");
        QTest::newRow("blocks with paths") << libraryFile({"/a", "/b c"}) << QStringList{"/a", "/b c"};
        QTest::newRow("older flat form, capital key")
            << QByteArray("\"LibraryFolders\"\n{\n\"TimeNextStatsReport\" \"1\"\n\"1\" \"/mnt/games\"\n}\n")
            << QStringList{"/mnt/games"};
        QTest::newRow("escaped backslashes and quotes") << libraryFile({"D:\\Steam \"x\""})
                                                       << QStringList{"D:\\Steam \"x\""};
        QTest::newRow("comments and bare tokens")
            << QByteArray("// written by Steam\nlibraryfolders { 0 { path /srv/steam // main\n } }")
            << QStringList{"/srv/steam"};
        QTest::newRow("unbalanced braces") << QByteArray("\"libraryfolders\" { \"0\" { \"path\" \"/a\" }")
                                           << QStringList{};
        QTest::newRow("key without value") << QByteArray("\"libraryfolders\" { \"0\" }") << QStringList{};
        QTest::newRow("unterminated quote") << QByteArray("\"libraryfolders\" { \"0\" \"/a") << QStringList{};
        QTest::newRow("nesting too deep") << QByteArray("\"libraryfolders\" { \"0\" { \"path\" \"/a\" ")
                                                 + QByteArray("\"k\" {").repeated(70) + QByteArray("}").repeated(72)
                                          << QStringList{};
    }
    void libraryFileForms()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, folders);
        QCOMPARE(Vdf::libraryFolders(text), folders);
    }

    // Steam needs the app id from the manifest that names the folder.
    void launchPlanPrefersSteamThenWine_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("triedLines");
        const QString steamGame = QStringLiteral("home/.local/share/Steam/steamapps/common/Torvane");
        const QString wineGame = QStringLiteral("home/.wine/drive_c/Program Files/Ostrel/Torvane");
        QTest::newRow("Steam game, steam installed") << steamGame << QStringList{"steam", "wine"}
                                                     << QStringList{"/usr/bin/steam", "-applaunch", "4410"} << "" << 0;
        QTest::newRow("Steam game, only wine")
            << steamGame << QStringList{"wine"}
            << QStringList{"/usr/bin/wine", canonical(steamGame) + QStringLiteral("/TORVANE.EXE")} << "" << 1;
        QTest::newRow("prefix game runs in its prefix")
            << wineGame << QStringList{"steam", "wine"}
            << QStringList{"/usr/bin/wine", canonical(wineGame) + QStringLiteral("/torvane.exe")}
            << canonical(QStringLiteral("home/.wine")) << 1;
        QTest::newRow("Steam game without a manifest")
            << "library2/steamapps/common/Torvane Gold" << QStringList{"steam", "wine"}
            << QStringList{"/usr/bin/wine", canonical("library2/steamapps/common/Torvane Gold/torvane.exe")} << "" << 1;
        QTest::newRow("nothing installed") << steamGame << QStringList{} << QStringList{} << "" << 2;
        QTest::newRow("no program in the folder") << "library2/steamapps/common/Deep" << QStringList{"steam", "wine"}
                                                  << QStringList{} << "" << 1;
    }
    void launchPlanPrefersSteamThenWine()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, installed);
        QFETCH(QStringList, command);
        QFETCH(QString, prefix);
        QFETCH(int, triedLines);
        const GameFinder::LaunchPlan plan = GameFinder::launchPlan(canonical(folder), [&](const QString &name) {
            return installed.contains(name) ? QStringLiteral("/usr/bin/") + name : QString();
        });
        QCOMPARE(QStringList(plan.program) + plan.arguments, command.isEmpty() ? QStringList{QString()} : command);
        QCOMPARE(plan.winePrefix, prefix);
        QCOMPARE(plan.tried.size(), triedLines);
    }
};

QTEST_GUILESS_MAIN(tst_GameFinder)
#include "tst_gamefinder.moc"
