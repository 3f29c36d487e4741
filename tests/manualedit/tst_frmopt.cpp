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

    static QString label(FrmOpt *w, int i)
    {
        return w->findChild<QLabel *>(QStringLiteral("LblFont_%1").arg(i))->text();
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
    }

    void emptyStoreShowsTheDefaults()
    {
        std::unique_ptr<FrmOpt> w(new FrmOpt);
        QCOMPARE(w->windowTitle(), QStringLiteral("Options"));
        QCOMPARE(w->findChild<QComboBox *>(QStringLiteral("CboTab"))->currentIndex(), 5);
        QVERIFY(w->findChild<QCheckBox *>(QStringLiteral("ChkBox"))->isChecked());
        QCOMPARE(label(w.get(), 0), QStringLiteral("Font: 1"));
        QCOMPARE(label(w.get(), 3), QStringLiteral("Underline: 1"));
        QVERIFY(!w->findChild<QPushButton *>(QStringLiteral("BtnApply"))->isEnabled());
    }

    void chosenFontIsStoredOnApply()
    {
        std::unique_ptr<FrmOpt> w(new FrmOpt);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(12);
        font.setWeight(QFont::Bold);
        font.setItalic(true);
        m_chosen = font;
        w->findChild<QPushButton *>(QStringLiteral("BtnFont"))->click();
        QCOMPARE(label(w.get(), 1), QStringLiteral("Font Size: 12"));
        QCOMPARE(label(w.get(), 2), QStringLiteral("Bold: True"));
        QPushButton *apply = w->findChild<QPushButton *>(QStringLiteral("BtnApply"));
        QVERIFY(apply->isEnabled());
        QSignalSpy applied(w.get(), &FrmOpt::applied);
        apply->click();
        QVERIFY(!apply->isEnabled());
        QCOMPARE(applied.count(), 1);
        QCOMPARE(Settings::GetSet(QStringLiteral("MenuiFontSize")), QStringLiteral("12"));
        QCOMPARE(Settings::GetSet(QStringLiteral("MenuiBold")), QStringLiteral("True"));
        QCOMPARE(Settings::GetSet(QStringLiteral("MenuiItalic")), QStringLiteral("True"));
        QCOMPARE(Settings::GetSet(QStringLiteral("MenuiUnderline")), QStringLiteral("False"));
        QCOMPARE(Settings::GetSet(QStringLiteral("InfoTab")), QStringLiteral("5"));

        font.setWeight(QFont::DemiBold); // 600 is not bold
        m_chosen = font;
        w->findChild<QPushButton *>(QStringLiteral("BtnFont"))->click();
        QCOMPARE(label(w.get(), 2), QStringLiteral("Bold: False"));
    }

    void cancelledDialogAndCancelButtonChangeNothing()
    {
        Settings::SaveSet(QStringLiteral("MenuiFont"), QStringLiteral("Serif"));
        std::unique_ptr<FrmOpt> w(new FrmOpt);
        m_chosen.reset();
        w->findChild<QPushButton *>(QStringLiteral("BtnFont"))->click();
        QCOMPARE(label(w.get(), 0), QStringLiteral("Font: Serif"));
        QVERIFY(!w->findChild<QPushButton *>(QStringLiteral("BtnApply"))->isEnabled());

        w->findChild<QComboBox *>(QStringLiteral("CboTab"))->setCurrentIndex(2);
        QVERIFY(w->findChild<QPushButton *>(QStringLiteral("BtnApply"))->isEnabled());
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->findChild<QPushButton *>(QStringLiteral("BtnCancel"))->click();
        QCOMPARE(Settings::InfoTabOptions.read(), QStringLiteral("5"));
    }

    void clearSearchHistoryEmptiesTheStoredList()
    {
        Settings::SearchItemNum.write(QStringLiteral("0"));
        Settings::writeSearchItem(0, QStringLiteral("Speed"));
        std::unique_ptr<FrmOpt> w(new FrmOpt);
        w->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QCOMPARE(Settings::SearchItemNum.read(), QStringLiteral("-1"));
        QCOMPARE(Settings::readSearchItem(0), QString());
    }

    void backupFolderIsShownAndOpenedOnceItExists()
    {
        const QString folder = m_settings.filePath(QStringLiteral("data/Torvane Zarnith/backups"));
        Backups::redirectTo(folder);
        std::unique_ptr<FrmOpt> w(new FrmOpt);
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("LblBackupFolder"))->text(), QDir::toNativeSeparators(folder));
        w->findChild<QPushButton *>(QStringLiteral("BtnOpenBackups"))->click();
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(folder)});
    }
};

QTEST_MAIN(tst_FrmOpt)
#include "tst_frmopt.moc"
