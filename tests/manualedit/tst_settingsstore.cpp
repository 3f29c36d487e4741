#include "manualedit/settingsstore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        SettingsStore::redirectTo(m_dir.path());
        for (const char *section : {"Settings", "EditWH", "Paths"})
            SettingsStore::deleteSection(QStringLiteral("Torvane Zarnith"), QLatin1String(section));
    }

    // Readers without a stored value: the main window's and the others' own default.
    void emptyStoreGivesEachReaderItsOwnDefault()
    {
        QCOMPARE(Settings::GetSetMain(QStringLiteral("InfoTab")) + Settings::GetSet(QStringLiteral("Anything"))
                     + Settings::GetSet(QStringLiteral("Anything"), QStringLiteral("7")),
                 QStringLiteral("117"));
    }

    void valuesLandInOneIniFilePerApplication()
    {
        Settings::SaveSet(QStringLiteral("InfoTab"), QStringLiteral("3"));
        Settings::writeWindowValue(QStringLiteral("FrmManEdit"), "WindowState", QStringLiteral("2"));
        Settings::writeSearchItem(0, QStringLiteral("Weapon = a, b ; \"quoted\""));
        Settings::CCPath.write(QStringLiteral("C:\\Games\\Torvane"));
        SettingsStore::write(QStringLiteral("Wizards"), QStringLiteral("WizardTemplate"),
                             QStringLiteral("IntroductionScreen"), QStringLiteral("ShowIntro"));
        SettingsStore::sync();

        // Where the desktop keeps per-user settings, one INI file named after each application.
        const auto stored = [this](const char *file, const char *key) {
            const QSettings ini(m_dir.filePath(QLatin1String(file)), QSettings::IniFormat);
            return ini.value(QLatin1String(key)).toString();
        };
        QCOMPARE(stored("Torvane Zarnith.conf", "Settings/InfoTab"), QStringLiteral("3"));
        QCOMPARE(stored("Torvane Zarnith.conf", "EditWH/FrmManEditWindowState"), QStringLiteral("2"));
        QCOMPARE(stored("Torvane Zarnith.conf", "Search List/0Name"), QStringLiteral("Weapon = a, b ; \"quoted\""));
        QCOMPARE(stored("Torvane Zarnith.conf", "Paths/CCPath"), QStringLiteral("C:\\Games\\Torvane"));
        QCOMPARE(stored("Wizards.conf", "WizardTemplate/IntroductionScreen"), QStringLiteral("ShowIntro"));
        QCOMPARE(Settings::IntroductionScreen.read(), QStringLiteral("ShowIntro"));
        // Both readers of the start page see what either window stored.
        QCOMPARE(Settings::InfoTabMain.read() + Settings::InfoTabOptions.read(), QStringLiteral("33"));
    }

    void deletingASectionRemovesOnlyItsKeys()
    {
        Settings::CCPath.write(QStringLiteral("X"));
        Settings::SaveSet(QStringLiteral("Exit"), QStringLiteral("0"));
        QVERIFY(SettingsStore::deleteSection(QStringLiteral("Torvane Zarnith"), QStringLiteral("Paths")));
        QCOMPARE(Settings::CCPathProbe.read(), QStringLiteral("-1"));
        QCOMPARE(Settings::ExitMain.read(), QStringLiteral("0"));
        QVERIFY(!SettingsStore::deleteSection(QStringLiteral("Torvane Zarnith"), QStringLiteral("Paths")));
    }

    void storedTruthValuesRead()
    {
        // The stored defaults "1" and the old "-1" must read as true.
        for (const char *text : {"True", "true", "1", "-1", " 2 "})
            QVERIFY2(Settings::textIsTrue(QLatin1String(text)), text);
        for (const char *text : {"False", "0", "maybe", ""})
            QVERIFY2(!Settings::textIsTrue(QLatin1String(text)), text);
    }
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
