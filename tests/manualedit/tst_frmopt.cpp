#include "manualedit/backups.h"
#include "manualedit/fontdialog.h"
#include "manualedit/frmopt.h"
#include "manualedit/settingsstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class tst_FrmOpt : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    std::optional<QFont> m_chosen;
    QList<QUrl> m_opened;
    std::unique_ptr<FrmOpt> m_window;

    void open()
    {
        m_window = std::make_unique<FrmOpt>();
        m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    template<typename T = QPushButton>
    T *child(const QString &name) { return m_window->findChild<T *>(name); }
    QString label(int i) { return child<QLabel>(QStringLiteral("LblFont_%1").arg(i))->text(); }
    // The stored settings by the names they have in the settings file.
    static QString stored(const QString &section, const QString &key)
    {
        return SettingsStore::read(QStringLiteral("Torvane Zarnith"), section, key, QStringLiteral("-"));
    }

public slots:
    // Stands in for the desktop: the options window opens folders as file addresses.
    void recordUrl(const QUrl &url) { m_opened << url; }

private slots:
    void initTestCase()
    {
        SettingsStore::redirectTo(m_settings.path());
        FontDialog::setHook([this](const QFont &) { return m_chosen; });
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "recordUrl");
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        Backups::redirectTo(QString());
    }

    void init()
    {
        m_opened.clear();
        SettingsStore::deleteSection(QStringLiteral("Torvane Zarnith"), QStringLiteral("Settings"));
        SettingsStore::deleteSection(QStringLiteral("Torvane Zarnith"), QStringLiteral("Search List"));
        open();
    }

    void choicesAreStoredOnApplyAndShownAgain()
    {
        // What an empty store shows.
        QCOMPARE(child<QComboBox>("CboTab")->currentIndex(), 5);
        QVERIFY(child<QCheckBox>("ChkBox")->isChecked());
        QCOMPARE(label(0), QStringLiteral("Font: 1"));
        QVERIFY(!child("BtnApply")->isEnabled());

        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(12);
        font.setWeight(QFont::Bold);
        font.setItalic(true);
        font.setUnderline(true);
        m_chosen = font;
        child("BtnFont")->click();
        QCOMPARE(label(1), QStringLiteral("Font Size: 12"));
        QCOMPARE(label(2), QStringLiteral("Bold: True"));
        child<QCheckBox>("ChkBox")->click();
        QPushButton *apply = child("BtnApply");
        QVERIFY(apply->isEnabled());
        QSignalSpy applied(m_window.get(), &FrmOpt::applied);
        apply->click();
        QVERIFY(!apply->isEnabled());
        QCOMPARE(applied.count(), 1);
        QStringList values;
        for (const char *key : {"InfoTab", "Exit", "MenuiFont", "MenuiFontSize", "MenuiBold", "MenuiItalic",
                                "MenuiUnderline", "MenuiStrikeout"})
            values << stored("Settings", key);
        QCOMPARE(values, (QStringList{"5", "0", "DejaVu Sans", "12", "True", "True", "True", "False"}));
        open();
        QVERIFY(!child<QCheckBox>("ChkBox")->isChecked());

        font.setWeight(QFont::DemiBold); // 600 is not bold
        m_chosen = font;
        child("BtnFont")->click();
        QCOMPARE(label(2), QStringLiteral("Bold: False"));
    }

    void cancelledDialogAndCancelButtonChangeNothing()
    {
        Settings::SaveSet(QStringLiteral("MenuiFont"), QStringLiteral("Serif"));
        open();
        m_chosen.reset();
        child("BtnFont")->click();
        QCOMPARE(label(0), QStringLiteral("Font: Serif"));
        QVERIFY(!child("BtnApply")->isEnabled());

        child<QComboBox>("CboTab")->setCurrentIndex(2);
        QVERIFY(child("BtnApply")->isEnabled());
        child("BtnCancel")->click();
        QCOMPARE(stored("Settings", "InfoTab"), QStringLiteral("-"));
    }

    void clearSearchHistoryEmptiesTheStoredList()
    {
        SettingsStore::write(QStringLiteral("Torvane Zarnith"), QStringLiteral("Search List"), "ItemNum", "1");
        SettingsStore::write(QStringLiteral("Torvane Zarnith"), QStringLiteral("Search List"), "0Name", "Speed");
        open();
        child("Command1")->click();
        QCOMPARE(stored("Search List", "ItemNum") + stored("Search List", "0Name"), QStringLiteral("--"));
    }

    void backupFolderIsShownAndOpenedOnceItExists()
    {
        const QString folder = m_settings.filePath(QStringLiteral("data/Torvane Zarnith/backups"));
        Backups::redirectTo(folder);
        open();
        QCOMPARE(child<QLabel>("LblBackupFolder")->text(), QDir::toNativeSeparators(folder));
        child("BtnOpenBackups")->click();
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(folder)});
    }
};

QTEST_MAIN(tst_FrmOpt)
#include "tst_frmopt.moc"
