#include "manualedit/settingsstore.h"

#include <QDir>
#include <QFile>
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
        SettingsStore::deleteSection(QString::fromLatin1(Settings::AppName), QStringLiteral("Settings"));
        SettingsStore::deleteSection(QString::fromLatin1(Settings::AppName), QStringLiteral("EditWH"));
    }

    void emptyStoreGivesEachReaderItsOwnDefault()
    {
        QCOMPARE(Settings::InfoTabMain.read(), QStringLiteral("1"));
        QCOMPARE(Settings::InfoTabOptions.read(), QStringLiteral("5"));
        QCOMPARE(Settings::GetSetMain(QStringLiteral("InfoTab")), QStringLiteral("1"));
        QCOMPARE(Settings::GetSet(QStringLiteral("InfoTab"), QStringLiteral("5")), QStringLiteral("5"));
        QCOMPARE(Settings::GetSet(QStringLiteral("Anything")), QStringLiteral("1"));
        QCOMPARE(Settings::SearchItemNum.read(), QStringLiteral("-1"));
        QCOMPARE(Settings::CCPath.read(), QStringLiteral("C:\\Program Files\\Ostrel\\Torvane"));
        QCOMPARE(Settings::CCPathProbe.read(), QStringLiteral("-1"));
        QCOMPARE(Settings::readWindowValue(QStringLiteral("FrmEdit"), "_Height", QStringLiteral("4000")), QStringLiteral("4000"));
        QVERIFY(Settings::textIsTrue(Settings::MenuiBold.read()));
    }

    void writtenValuesReadBackUnderTheirKeys()
    {
        Settings::SaveSet(QStringLiteral("InfoTab"), QStringLiteral("3"));
        Settings::writeWindowValue(QStringLiteral("FrmManEdit"), "WindowState", QStringLiteral("2"));
        Settings::writeSearchItem(0, QStringLiteral("Weapon = a, b ; \"quoted\""));
        Settings::CCPath.write(QStringLiteral("C:\\Games\\Torvane"));
        SettingsStore::write(QString::fromLatin1(Settings::WizardAppName), QStringLiteral("WizardTemplate"),
                             QStringLiteral("IntroductionScreen"), QStringLiteral("ShowIntro"));
        SettingsStore::sync();

        QCOMPARE(Settings::InfoTabMain.read(), QStringLiteral("3"));
        QCOMPARE(Settings::InfoTabOptions.read(), QStringLiteral("3"));
        QCOMPARE(SettingsStore::read(QStringLiteral("Torvane Zarnith"), QStringLiteral("EditWH"),
                                     QStringLiteral("FrmManEditWindowState"), QString()),
                 QStringLiteral("2"));
        QCOMPARE(Settings::readSearchItem(0), QStringLiteral("Weapon = a, b ; \"quoted\""));
        QCOMPARE(Settings::CCPath.read(), QStringLiteral("C:\\Games\\Torvane"));
        QCOMPARE(Settings::IntroductionScreen.read(), QStringLiteral("ShowIntro"));
        // Stored where the desktop keeps per-user settings, one file per application name.
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("Torvane Zarnith.conf"))));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("Wizards.conf"))));
    }

    void deletingASectionRemovesOnlyItsKeys()
    {
        Settings::CCPath.write(QStringLiteral("X"));
        Settings::SaveSet(QStringLiteral("Exit"), QStringLiteral("0"));
        QVERIFY(SettingsStore::deleteSection(QString::fromLatin1(Settings::AppName), QStringLiteral("Paths")));
        QCOMPARE(Settings::CCPathProbe.read(), QStringLiteral("-1"));
        QCOMPARE(Settings::ExitMain.read(), QStringLiteral("0"));
        QVERIFY(!SettingsStore::deleteSection(QString::fromLatin1(Settings::AppName), QStringLiteral("Paths")));
    }

    void storedTruthValuesRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("value");
        QTest::newRow("True") << "True" << true;
        QTest::newRow("False") << "False" << false;
        QTest::newRow("default 1") << "1" << true;
        QTest::newRow("minus one") << "-1" << true;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("junk") << "maybe" << false;
    }
    void storedTruthValuesRead()
    {
        QFETCH(QString, text);
        QFETCH(bool, value);
        QCOMPARE(Settings::textIsTrue(text), value);
    }
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
