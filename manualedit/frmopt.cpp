#include "frmopt.h"

#include "backups.h"
#include "fontdialog.h"
#include "settingsstore.h"

#include "platform/messages.h"
#include "platform/shell.h"
#include "platform/windowplacement.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QPointer<FrmOpt> g_options;

const char *const kFontLabels[6] = {"Font:", "Font Size:", "Bold:", "Underline:", "Italic:", "Strike-out:"};

} // namespace

FrmOpt *FrmOpt::open()
{
    if (!g_options)
        g_options = new FrmOpt;
    g_options->show();
    g_options->raise();
    return g_options;
}

FrmOpt::FrmOpt(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FrmOpt"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Options"));

    auto *layout = new QVBoxLayout(this);
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("TabStrip1"));

    auto *general = new QWidget;
    auto *generalLayout = new QVBoxLayout(general);
    auto *label = new QLabel(QStringLiteral("Tab to Switch to When Loading Is Complete:"), general);
    label->setObjectName(QStringLiteral("Label1"));
    m_tab = new QComboBox(general);
    m_tab->setObjectName(QStringLiteral("CboTab"));
    m_tab->addItems({"Handling and Speed", "Health and Armour", "Weapons", "Advanced Options", "Cost and Build Speed",
                     "Information", "Other Settings"});
    m_askOnExit = new QCheckBox(QStringLiteral("Ask if you want to Exit"), general);
    m_askOnExit->setObjectName(QStringLiteral("ChkBox"));
    generalLayout->addWidget(label);
    generalLayout->addWidget(m_tab);
    generalLayout->addWidget(m_askOnExit);
    generalLayout->addStretch(1);
    tabs->addTab(general, QStringLiteral("General Settings"));

    auto *menu = new QWidget;
    auto *menuLayout = new QVBoxLayout(menu);
    for (int i = 0; i < 6; ++i) {
        m_fontLabels[i] = new QLabel(menu);
        m_fontLabels[i]->setObjectName(QStringLiteral("LblFont_%1").arg(i));
        m_fontLabels[i]->setProperty("tag", QLatin1String(kFontLabels[i]));
        menuLayout->addWidget(m_fontLabels[i]);
    }
    auto *fontButton = new QPushButton(QStringLiteral("Change Font"), menu);
    fontButton->setObjectName(QStringLiteral("BtnFont"));
    menuLayout->addWidget(fontButton, 0, Qt::AlignLeft);
    menuLayout->addStretch(1);
    tabs->addTab(menu, QStringLiteral("Menu Settings"));

    auto *editor = new QWidget;
    auto *editorLayout = new QVBoxLayout(editor);
    auto *clear = new QPushButton(QStringLiteral("Clear Search History"), editor);
    clear->setObjectName(QStringLiteral("Command1"));
    editorLayout->addWidget(clear, 0, Qt::AlignLeft);
    editorLayout->addSpacing(12);
    editorLayout->addWidget(new QLabel(QStringLiteral("Saving a file keeps its previous version in:"), editor));
    auto *backupFolder = new QLabel(QDir::toNativeSeparators(Backups::folder()), editor);
    backupFolder->setObjectName(QStringLiteral("LblBackupFolder"));
    backupFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    backupFolder->setWordWrap(true);
    editorLayout->addWidget(backupFolder);
    auto *openBackups = new QPushButton(QStringLiteral("Open Backup Folder"), editor);
    openBackups->setObjectName(QStringLiteral("BtnOpenBackups"));
    editorLayout->addWidget(openBackups, 0, Qt::AlignLeft);
    editorLayout->addStretch(1);
    tabs->addTab(editor, QStringLiteral("Manual Editor Settings"));
    layout->addWidget(tabs);

    auto *buttons = new QHBoxLayout;
    auto *ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("BtnOK"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    m_apply = new QPushButton(QStringLiteral("Apply"), this);
    m_apply->setObjectName(QStringLiteral("BtnApply"));
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(m_apply);
    layout->addLayout(buttons);

    // Opening: the stored values, shown as stored.
    bool isNumber = false;
    const int page = Settings::GetSet(QStringLiteral("InfoTab"), QString::fromLatin1(Settings::InfoTabOptions.defaultValue)).toInt(&isNumber);
    if (isNumber && page >= 0 && page < m_tab->count())
        m_tab->setCurrentIndex(page);
    m_face = Settings::GetSet(QStringLiteral("MenuiFont"));
    m_size = Settings::GetSet(QStringLiteral("MenuiFontSize"));
    const QString bold = Settings::GetSet(QStringLiteral("MenuiBold"));
    const QString underline = Settings::GetSet(QStringLiteral("MenuiUnderline"));
    const QString italic = Settings::GetSet(QStringLiteral("MenuiItalic"));
    const QString strikeOut = Settings::GetSet(QStringLiteral("MenuiStrikeout"));
    m_bold = Settings::textIsTrue(bold);
    m_underline = Settings::textIsTrue(underline);
    m_italic = Settings::textIsTrue(italic);
    m_strikeOut = Settings::textIsTrue(strikeOut);
    setFontLabels({m_face, m_size, bold, underline, italic, strikeOut});
    m_askOnExit->setChecked(Settings::GetSet(QStringLiteral("Exit"), QStringLiteral("1")).toInt() != 0);
    m_apply->setEnabled(false);

    connect(m_tab, &QComboBox::currentIndexChanged, this, &FrmOpt::changed);
    connect(m_askOnExit, &QCheckBox::clicked, this, &FrmOpt::changed);
    connect(fontButton, &QPushButton::clicked, this, &FrmOpt::changeFont);
    connect(clear, &QPushButton::clicked, this, &FrmOpt::clearSearchHistory);
    connect(openBackups, &QPushButton::clicked, this, &FrmOpt::openBackupFolder);
    connect(m_apply, &QPushButton::clicked, this, [this] {
        ApplySet();
        m_apply->setEnabled(false);
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        ApplySet();
        close();
    });
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    WindowPlacement::LoadWindowPos(this);
}

void FrmOpt::setFontLabels(const QStringList &values)
{
    for (int i = 0; i < 6; ++i)
        m_fontLabels[i]->setText(QLatin1String(kFontLabels[i]) + QLatin1Char(' ') + values.value(i));
}

void FrmOpt::changed()
{
    m_apply->setEnabled(true);
}

void FrmOpt::changeFont()
{
    // A cancelled dialog leaves every working value as it was.
    const std::optional<QFont> font = FontDialog::ShowFontDialog(this);
    if (!font)
        return;
    m_face = font->family();
    m_size = QString::number(font->pointSizeF());
    m_bold = FontDialog::IsBold(font->weight());
    m_underline = font->underline();
    m_italic = font->italic();
    m_strikeOut = font->strikeOut();
    setFontLabels({m_face, m_size, Settings::boolText(m_bold), Settings::boolText(m_underline),
                   Settings::boolText(m_italic), Settings::boolText(m_strikeOut)});
    changed();
}

void FrmOpt::clearSearchHistory()
{
    SettingsStore::deleteSection(QString::fromLatin1(Settings::AppName), QString::fromLatin1(Settings::SearchListSection));
}

void FrmOpt::openBackupFolder()
{
    // The folder only appears with the first backup; the desktop cannot open
    // what is not there yet.
    const QString folder = Backups::folder();
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        const QString text = QStringLiteral("The backup folder\n%1\ncannot be created.");
        Messages::show(this, {text.arg(QDir::toNativeSeparators(folder)), windowTitle(), QMessageBox::Warning});
        return;
    }
    Shell::RunFile(folder, folder);
}

void FrmOpt::ApplySet()
{
    Settings::SaveSet(QStringLiteral("InfoTab"), QString::number(m_tab->currentIndex()));
    Settings::SaveSet(QStringLiteral("Exit"), m_askOnExit->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    Settings::SaveSet(QStringLiteral("MenuiFont"), m_face);
    Settings::SaveSet(QStringLiteral("MenuiFontSize"), m_size);
    Settings::SaveSet(QStringLiteral("MenuiBold"), Settings::boolText(m_bold));
    Settings::SaveSet(QStringLiteral("MenuiItalic"), Settings::boolText(m_italic));
    Settings::SaveSet(QStringLiteral("MenuiStrikeout"), Settings::boolText(m_strikeOut));
    Settings::SaveSet(QStringLiteral("MenuiUnderline"), Settings::boolText(m_underline));
    emit applied();
}

void FrmOpt::closeEvent(QCloseEvent *event)
{
    WindowPlacement::SaveWindowPos(this);
    event->accept();
}
