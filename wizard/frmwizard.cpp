#include "frmwizard.h"

#include "engine/globals.h"
#include "manualedit/settingsstore.h"
#include "platform/codepage.h"
#include "platform/eventyield.h"
#include "platform/gamefinder.h"
#include "platform/gamepath.h"
#include "platform/helpviewer.h"
#include "platform/messages.h"
#include "platform/programexit.h"
#include "platform/shell.h"
#include "platform/windowplacement.h"
#include "startup/dbctl.h"
#include "startup/stockrestore.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStackedLayout>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const char kSupportAddress[] = "support@zarnith.example.org";
const int kStepTags[4] = {1000, 2000, 2002, 3000};

// Hides hidden folders, except those on the way to a folder worth reaching
// (a found game, the folder typed in): Wine and Steam keep games under ~/.wine
// and ~/.local, and the tree must be able to show them.
class VisibleFolders : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setWays(const QStringList &folders)
    {
        m_ways = folders;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        auto *model = static_cast<QFileSystemModel *>(sourceModel());
        const QModelIndex index = model->index(row, 0, parent);
        if (!model->fileName(index).startsWith(QLatin1Char('.')))
            return true;
        const QString path = model->filePath(index);
        for (const QString &way : m_ways) {
            if (way == path || way.startsWith(path + QLatin1Char('/')))
                return true;
        }
        return false;
    }

private:
    QStringList m_ways;
};

} // namespace

QString frmWizard::stringText(int id)
{
    switch (id) {
    case 100: return QStringLiteral("Help");
    case 101: return QStringLiteral("Cancel");
    case 102: return QStringLiteral("< &Back");
    case 103: return QStringLiteral("&Next >");
    case 104: return QStringLiteral("&Finish");
    case 1000: return QStringLiteral("Introduction");
    case 1001:
        return QStringLiteral("The Torvane\u00AE Zarnith Setup Wizard will help you to setup the editor. Since this is the "
                              "first time that you have ran the editor, You will need to set-up the editor before you use "
                              "it. Once you have completed this wizard, it will not appear again.");
    case 1002: return QStringLiteral("&Skip this screen in the future.");
    case 2000: return QStringLiteral("Step 1");
    case 2001: return QStringLiteral("To complete the wizard, You must specify the path of Torvane\u00AE.");
    case 2002: return QStringLiteral("Step 2");
    case 2003: return QStringLiteral("The wizard is now copying and verifying your files.");
    case 3000: return QStringLiteral("Finished!");
    case 3001: return QStringLiteral("The Setup Wizard is finished setting up the editor.\r\n\r\n");
    case 3002: return QStringLiteral("To use the editor, press Finish!");
    default: return QString();
    }
}

frmWizard::frmWizard(QWidget *parent)
    : QWidget(parent)
    , m_tableFolder(Shell::programFolder())
{
    setObjectName(QStringLiteral("frmWizard"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(560, 420);

    auto *layout = new QVBoxLayout(this);
    auto *pages = new QStackedLayout;
    layout->addLayout(pages, 1);

    QFrame *intro = buildStep(0, QStringLiteral("Introduction Screen"));
    auto *introText = new QLabel(stringText(1001), intro);
    introText->setWordWrap(true);
    m_skipIntro = new QCheckBox(stringText(1002), intro);
    m_skipIntro->setObjectName(QStringLiteral("chkSkipIntro"));
    intro->layout()->addWidget(introText);
    intro->layout()->addWidget(m_skipIntro);
    static_cast<QVBoxLayout *>(intro->layout())->addStretch(1);

    QFrame *folder = buildStep(1, stringText(2000));
    auto *folderText = new QLabel(stringText(2001), folder);
    folderText->setWordWrap(true);
    auto *foundText = new QLabel(QStringLiteral("Torvane folders found on this computer:"), folder);
    m_found = new QListWidget(folder);
    m_found->setObjectName(QStringLiteral("lstFound"));
    m_found->setMaximumHeight(m_found->fontMetrics().height() * 5);
    foundText->setBuddy(m_found);
    auto *pathText = new QLabel(QStringLiteral("F&older:"), folder);
    m_path = new QLineEdit(folder);
    m_path->setObjectName(QStringLiteral("txtPath"));
    pathText->setBuddy(m_path);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(pathText);
    pathRow->addWidget(m_path, 1);
    m_pathStatus = new QLabel(folder);
    m_pathStatus->setObjectName(QStringLiteral("lblPathStatus"));
    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    m_folders->setRootPath(QStringLiteral("/"));
    m_visibleFolders = new VisibleFolders(this);
    m_visibleFolders->setSourceModel(m_folders);
    m_tree = new QTreeView(folder);
    m_tree->setObjectName(QStringLiteral("PicBrouse"));
    m_tree->setModel(m_visibleFolders);
    for (int c = 1; c < m_visibleFolders->columnCount(); ++c)
        m_tree->hideColumn(c);
    m_tree->header()->hide();
    auto *hint = new QLabel(QStringLiteral("On most computers, This folder is usually located at:"), folder);
    auto *defaultFolder = new QLabel(QString::fromLatin1(Settings::CCPath.defaultValue), folder);
    defaultFolder->setObjectName(QStringLiteral("lblDefaultPath"));
    folder->layout()->addWidget(folderText);
    folder->layout()->addWidget(foundText);
    folder->layout()->addWidget(m_found);
    static_cast<QVBoxLayout *>(folder->layout())->addLayout(pathRow);
    folder->layout()->addWidget(m_pathStatus);
    folder->layout()->addWidget(m_tree);
    folder->layout()->addWidget(hint);
    folder->layout()->addWidget(defaultFolder);

    QFrame *copy = buildStep(2, stringText(2002));
    auto *copyText = new QLabel(stringText(2003), copy);
    copyText->setWordWrap(true);
    m_progress = new QProgressBar(copy);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressLabel = new QLabel(QStringLiteral("Extracting Files..."), copy);
    m_progressLabel->setObjectName(QStringLiteral("Label1"));
    copy->layout()->addWidget(copyText);
    copy->layout()->addWidget(m_progress);
    copy->layout()->addWidget(m_progressLabel);
    static_cast<QVBoxLayout *>(copy->layout())->addStretch(1);

    QFrame *done = buildStep(3, stringText(3000));
    auto *doneText = new QLabel(stringText(3001) + stringText(3002), done);
    doneText->setWordWrap(true);
    done->layout()->addWidget(doneText);
    static_cast<QVBoxLayout *>(done->layout())->addStretch(1);

    for (QFrame *step : m_steps)
        pages->addWidget(step);

    auto *buttons = new QHBoxLayout;
    for (int i = 0; i < NavCount; ++i) {
        m_nav[i] = new QPushButton(stringText(100 + i), this);
        m_nav[i]->setObjectName(QStringLiteral("cmdNav_%1").arg(i));
        connect(m_nav[i], &QPushButton::clicked, this, [this, i] { onNav(i); });
        if (i == NavBack)
            buttons->addStretch(1);
        buttons->addWidget(m_nav[i]);
    }
    layout->addLayout(buttons);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmWizard::onFolderChosen);
    connect(m_path, &QLineEdit::textEdited, this, &frmWizard::onPathTyped);
    connect(m_found, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (!(item->flags() & Qt::ItemIsEnabled))
            return;
        GamePath = item->text();
        m_path->setText(GamePath);
        selectFolder(GamePath);
        updatePathStatus();
    });

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(250);
    connect(m_timer, &QTimer::timeout, this, &frmWizard::pollPath);
    m_timer->start();

    WindowPlacement::LoadWindowPos(this);
    cutAtNul();
    setFoundGames(GameFinder::findGames(QDir::homePath(), QProcessEnvironment::systemEnvironment()).folders);
    // The stored folder when it is there, else the home folder; the field
    // keeps the stored text so that Next still checks what was stored.
    const QString stored = GamePaths::nativePath(GamePath);
    m_path->setText(GamePath);
    selectFolder(QFileInfo(stored).isDir() ? stored : QDir::homePath());
    for (QFrame *step : m_steps)
        step->setEnabled(false);
    const bool skipIntro = Settings::IntroductionScreen.read() == QLatin1String("ShowIntro");
    m_currentStep = skipIntro ? 1 : 0;
    ShowStep(m_currentStep);
}

QFrame *frmWizard::buildStep(int index, const QString &caption)
{
    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("fraStep_%1").arg(index));
    frame->setProperty("stringId", kStepTags[index]);
    auto *layout = new QVBoxLayout(frame);
    auto *title = new QLabel(caption, frame);
    title->setObjectName(QStringLiteral("lblStep_%1").arg(index));
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    title->setFont(f);
    auto *image = new QLabel(frame);
    image->setObjectName(QStringLiteral("imgStep_%1").arg(index));
    auto *head = new QHBoxLayout;
    head->addWidget(image);
    head->addWidget(title, 1);
    layout->addLayout(head);
    m_steps[index] = frame;
    return frame;
}

void frmWizard::setFoundGames(const QStringList &folders)
{
    m_found->clear();
    for (const QString &folder : folders)
        m_found->addItem(QDir::toNativeSeparators(folder));
    if (folders.isEmpty()) {
        auto *none = new QListWidgetItem(QStringLiteral("None in the Steam libraries or the Wine, Lutris and Bottles "
                                                        "prefixes; choose the folder below."), m_found);
        none->setFlags(Qt::NoItemFlags);
    }
    m_foundGames = folders;
    static_cast<VisibleFolders *>(m_visibleFolders)->setWays(m_foundGames);
}

QModelIndex frmWizard::folderIndex(const QString &path) const
{
    return m_visibleFolders->mapFromSource(m_folders->index(path));
}

void frmWizard::selectFolder(const QString &path)
{
    QDir dir(path);
    // Start at the deepest folder of the path that exists.
    while (!dir.exists() && !dir.isRoot() && dir.cdUp()) {
    }
    // A hidden folder typed or chosen must show in the tree.
    static_cast<VisibleFolders *>(m_visibleFolders)->setWays(m_foundGames + QStringList{dir.absolutePath()});
    const QModelIndex index = folderIndex(dir.absolutePath());
    if (!index.isValid())
        return;
    m_following = true;
    m_tree->setCurrentIndex(index);
    m_following = false;
    m_tree->scrollTo(index);
    m_tree->expand(index);
}

void frmWizard::onFolderChosen()
{
    // While the tree follows the field, the typed text stays the game folder.
    if (m_following)
        return;
    const QModelIndex index = m_visibleFolders->mapToSource(m_tree->currentIndex());
    if (!index.isValid())
        return;
    GamePath = m_folders->filePath(index);
    m_path->setText(QDir::toNativeSeparators(GamePath));
    updatePathStatus();
}

void frmWizard::onPathTyped(const QString &text)
{
    GamePath = text.trimmed();
    selectFolder(GamePaths::nativePath(GamePath));
    updatePathStatus();
}

bool frmWizard::updatePathStatus()
{
    const bool present = GamePaths::FileExists(GamePath + QStringLiteral("\\torvane.exe"));
    m_pathStatus->setText(present ? QString() : QStringLiteral("torvane.exe is not in this folder"));
    return present;
}

void frmWizard::cutAtNul()
{
    const qsizetype nul = GamePath.indexOf(QChar(0));
    if (nul >= 0)
        GamePath.truncate(nul);
}

void frmWizard::ShowStep(int step)
{
    if (step == 2)
        m_nav[NavCancel]->setEnabled(false);
    if (step == 3)
        m_finished = true;
    m_steps[m_currentStep]->setEnabled(false);
    static_cast<QStackedLayout *>(m_steps[0]->parentWidget()->layout()->itemAt(0)->layout())->setCurrentWidget(m_steps[step]);
    m_steps[step]->setEnabled(true);
    UpdateCaption(step);
    UpdateNavButtons(step);
}

void frmWizard::UpdateNavButtons(int step)
{
    m_currentStep = step;
    m_nav[NavBack]->setEnabled(step != 0);
    m_nav[NavNext]->setEnabled(step != 3);
    m_nav[NavFinish]->setEnabled(m_finished);
}

void frmWizard::UpdateCaption(int step)
{
    setWindowTitle(QStringLiteral("Torvane - Zarnith Setup Wizard - ")
                   + stringText(m_steps[step]->property("stringId").toInt()));
}

void frmWizard::pollPath()
{
    cutAtNul();
    if (m_currentStep == 1)
        m_nav[NavNext]->setEnabled(updatePathStatus());
    if (m_currentStep >= 3 && m_nav[NavNext]->isEnabled())
        m_nav[NavNext]->setEnabled(false);
}

void frmWizard::onNav(int index)
{
    switch (index) {
    case NavHelp:
        HelpViewer::showContext(1000 + 10 * (m_currentStep + 1));
        break;
    case NavCancel:
        onCancel();
        break;
    case NavBack:
        if (m_currentStep > 0)
            ShowStep(m_currentStep - 1);
        break;
    case NavNext:
        onNext();
        break;
    case NavFinish:
        onFinish();
        break;
    }
}

void frmWizard::onNext()
{
    cutAtNul();
    if (m_currentStep == 1 && !GamePaths::FileExists(GamePath + QStringLiteral("\\torvane.exe"))) {
        Messages::show(this, {QStringLiteral("Invalid path, Try a differnet directory"), QStringLiteral("Error"),
                              QMessageBox::Critical, QMessageBox::Ok, -1});
        return;
    }
    if (m_currentStep >= 3)
        return;
    Settings::CCPath.write(GamePath);
    ShowStep(m_currentStep + 1);
    EventYield::reset();
    EventYield::yield();
    if (m_currentStep == 2) {
        if (!extractFiles())
            return;
    }
    if (m_currentStep >= 3)
        m_nav[NavNext]->setEnabled(false);
}

bool frmWizard::extractFiles()
{
    m_nav[NavNext]->setEnabled(false);
    m_refused.clear();
    QStringList refusals; // each path with its reason
    DBCtl table;
    if (!table.LoadDatabase(m_tableFolder, QStringLiteral("Data")) || !table.MoveNext() || !table.MovePrevious()) {
        fatalError(table.errorString());
        return false;
    }
    const QString game = Settings::CCPath.read();
    const qint64 count = table.RecordCount();
    for (qint64 i = 1; i <= count; ++i) {
        const auto path = table.GetData(0);
        const auto text = table.GetData(1);
        if (!path || !text) {
            fatalError(table.errorString());
            return false;
        }
        const QString relative = CodePage::decode(*path);
        QString error;
        const StockRestore::Outcome outcome = StockRestore::restore(game, relative, *text, &error);
        if (outcome == StockRestore::Failed) {
            fatalError(error);
            return false;
        }
        if (outcome == StockRestore::Refused) {
            m_refused << relative;
            refusals << relative + QStringLiteral(": ") + error;
        }
        table.SetRecord(i);
        m_progress->setMinimum(1);
        m_progress->setMaximum(int(count));
        m_progress->setValue(int(i));
        m_progress->setToolTip(QStringLiteral("File %1 of %2").arg(i).arg(count));
        m_progressLabel->setText(QStringLiteral("Extracting Files... (%1% Complete)").arg(i * 100 / count));
        EventYield::reset();
        EventYield::yield();
    }
    m_nav[NavNext]->setEnabled(true);
    m_progressLabel->setText(QStringLiteral("The Files Have Been Extracted, Click Next To Continue."));
    if (!m_refused.isEmpty()) {
        Messages::show(this, {QStringLiteral("These stored files were not restored, because their paths lead outside "
                                             "the game folder or through a symbolic link:\r\n")
                                  + refusals.join(QStringLiteral("\r\n")),
                              QStringLiteral("Torvane Zarnith"), QMessageBox::Warning, QMessageBox::Ok, -1});
    }
    return true;
}

void frmWizard::fatalError(const QString &description)
{
    QStringList lines;
    lines << QStringLiteral("A Error has been detected, ") << QStringLiteral("Error Name: ") + description << QString();
    lines << QStringLiteral("There is not any help on this error,");
    lines << QStringLiteral("Send the 'Error Name' to %1 to get help on this error.").arg(QLatin1String(kSupportAddress));
    lines << QString::fromLatin1(Settings::AppName) + QStringLiteral(" will close when you click 'OK'");
    Messages::show(this, {lines.join(QStringLiteral("\r\n")), QStringLiteral("Error"), QMessageBox::Critical,
                          QMessageBox::Ok, -1});
    ProgramExit::endNow(1);
}

void frmWizard::onCancel()
{
    SettingsStore::deleteSection(QString::fromLatin1(Settings::AppName), QString::fromLatin1(Settings::PathsSection));
    m_cancelPressed = true;
    close();
    ProgramExit::endNow(0);
}

void frmWizard::onFinish()
{
    m_finishPressed = true;
    emit finishRequested();
    close();
}

void frmWizard::closeEvent(QCloseEvent *event)
{
    WindowPlacement::SaveWindowPos(this);
    event->accept();
    // The editor cannot be used without a finished set-up.
    if (!m_cancelPressed && !m_finishPressed)
        ProgramExit::endNow(0);
}
