#include "frmsplash.h"

#include "catalogue.h"
#include "programwindows.h"

#include "engine/globals.h"
#include "mainwindow/frmedit.h"
#include "manualedit/backups.h"
#include "manualedit/recovery.h"
#include "manualedit/settingsstore.h"
#include "platform/eventyield.h"
#include "platform/gamepath.h"
#include "platform/messages.h"
#include "platform/programexit.h"
#include "platform/shell.h"
#include "wizard/frmwizard.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const char kContactAddress[] = "support@zarnith.example.org";
QString g_programFolder;
QString g_initialObject;
QString g_defaultGameFolder;

} // namespace

QString frmSplash::programFolder()
{
    return g_programFolder.isEmpty() ? Shell::programFolder() : g_programFolder;
}

void frmSplash::setProgramFolder(const QString &folder)
{
    g_programFolder = folder;
}

void frmSplash::setDefaultGameFolder(const QString &folder)
{
    g_defaultGameFolder = folder;
}

void frmSplash::setInitialObject(const QString &name)
{
    g_initialObject = name;
}

bool frmSplash::isReinstall(const QStringList &arguments)
{
    return arguments.join(QLatin1Char(' ')).compare(QLatin1String("-Reinstall"), Qt::CaseInsensitive) == 0;
}

frmSplash::frmSplash(bool reinstall, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_reinstall(reinstall)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(420, 220);
    // Only the splash's own labels are light: message boxes it owns keep the normal look.
    setStyleSheet(QStringLiteral("frmSplash { background: #1f2b38; }"
                                 " QLabel#lblTitle, QLabel#lblVersion, QLabel#Label1 { color: #e8eef4; }"));

    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Torvane Zarnith"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    title->setFont(big);
    m_version = new QLabel(this);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("Label1"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setTextVisible(false);
    layout->addWidget(title);
    layout->addWidget(m_version);
    layout->addStretch(1);
    layout->addWidget(m_caption);
    layout->addWidget(m_progress);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

QString frmSplash::caption() const
{
    return m_caption->text();
}

QString frmSplash::MissingFiles()
{
    QString missing;
    for (const char *file : {"/Data.DBF", "/Data.DBT"}) {
        const QString path = programFolder() + QLatin1String(file);
        if (!GamePaths::FileExists(path))
            missing += QDir::toNativeSeparators(path) + kCrLf;
    }
    return missing;
}

bool frmSplash::INIExist()
{
    return QFileInfo(GamePaths::nativePath(GamePath + QStringLiteral("\\Data\\INI"))).isDir();
}

void frmSplash::Form_Load()
{
    // The start-up gives the event loop turns: a close that comes in meanwhile
    // (its own or the window manager's) only hides the window, which is
    // deleted once the start-up is through with it.
    m_starting = true;
    const auto finished = qScopeGuard([this] {
        m_starting = false;
        if (m_closed)
            deleteLater();
    });
    GamePath = g_defaultGameFolder.isEmpty() ? Settings::CCPath.read() : Settings::CCPath.read(g_defaultGameFolder);
    show();
    setFocus();
    m_timer->start();
    Settings::TVPos.write(QStringLiteral("1"));
    EventYield::reset();
    EventYield::yield();
    m_version->setText(Shell::versionText());
    m_animationStep = 1;
    Timer1_Timer();

    if (!IdentifyFixProblems())
        return;
    frmWizard *wizard = ProgramWindows::wizard();
    if (m_reinstall && !(wizard && wizard->isVisible())) {
        showWizard();
        close();
        return;
    }
    if (wizard && wizard->isVisible())
        wizard->hide();
    EventYield::reset();
    EventYield::yield();

    if (INIExist() && Settings::CCPathProbe.read() != QLatin1String("-1")) {
        FrmEdit *main = FrmEdit::instance();
        ProgramWindows::connectMainWindow(main);
        Catalogue catalogue;
        m_progress->setMaximum(100);
        connect(&catalogue, &Catalogue::progress, this, [this](double value) { m_progress->setValue(int(value)); });
        main->fillCatalogue(catalogue.BuildCatalogue(GamePath));
        main->show();
        EventYield::reset();
        EventYield::yield();
        main->prepareAfterStartup();
        // Unsaved text from a run that ended without saving is offered once
        // the main window is up, so that the editor opens over it.
        QTimer::singleShot(0, main, [main] {
            Backups::moveOldCopies(GamePath);
            Recovery::offerPending(main);
        });
        close();
        if (!g_initialObject.isEmpty())
            main->selectObject(std::exchange(g_initialObject, QString()));
        return;
    }
    showWizard();
    close();
}

bool frmSplash::IdentifyFixProblems()
{
    const QString appName = QString::fromLatin1(Settings::AppName);
    const QString manifest = programFolder() + QStringLiteral("/Zarnith.exe.manifest");
    if (GamePaths::FileExists(manifest)) {
        QFile::remove(manifest);
        Messages::inform(this, QDir::toNativeSeparators(manifest) + QStringLiteral(" has been detected,")
                                   + kCrLf + QStringLiteral("This file will be deleted, Click OK and Run ") + appName
                                   + QStringLiteral(" again."));
        close();
        ProgramExit::endNow(0);
        return false;
    }
    const QString missing = MissingFiles();
    if (!missing.isEmpty()) {
        Messages::show(this, {QStringLiteral("The following files are missing:") + kCrLf + missing + kCrLf
                                  + QStringLiteral("Please re-install ") + appName + QStringLiteral(" or send a E-mail to ")
                                  + QLatin1String(kContactAddress) + QStringLiteral(" to get a download link to the files."),
                              QStringLiteral("Error"), QMessageBox::Critical, QMessageBox::Ok, 62});
        close();
        ProgramExit::endNow(0);
        return false;
    }
    if (!INIExist()) {
        Messages::inform(this, GamePaths::nativePath(GamePath + QStringLiteral("\\Data\\INI")) + QStringLiteral(" does not exist, ") + kCrLf
                                   + appName + QStringLiteral(" will now run the setup wizard."));
        showWizard();
        close();
        return false;
    }
    return true;
}

void frmSplash::showWizard()
{
    ProgramWindows::showWizard();
}

void frmSplash::Timer1_Timer()
{
    switch (m_animationStep) {
    case 1: m_caption->setText(QStringLiteral("Loading.")); m_animationStep = 2; break;
    case 2: m_caption->setText(QStringLiteral("Loading..")); m_animationStep = 3; break;
    case 3: m_caption->setText(QStringLiteral("Loading...")); m_animationStep = 4; break;
    case 4: m_caption->setText(QStringLiteral("Loading....")); m_animationStep = 1; break;
    default: break;
    }
}

void frmSplash::closeEvent(QCloseEvent *event)
{
    if (m_starting) {
        m_closed = true;
        setAttribute(Qt::WA_DeleteOnClose, false);
    }
    event->accept();
}

void frmSplash::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        ProgramExit::endNow(0);
        return;
    }
    QWidget::keyPressEvent(event);
}
