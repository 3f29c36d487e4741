#include "frmabout.h"

#include "platform/shell.h"
#include "platform/windowkeys.h"
#include "platform/windowplacement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPointer<frmAbout> g_about;
}

frmAbout *frmAbout::open()
{
    if (!g_about)
        g_about = new frmAbout;
    g_about->show();
    g_about->raise();
    return g_about;
}

frmAbout::frmAbout(QWidget *parent)
    : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Torvane Zarnith"));
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Torvane Zarnith"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.8);
    f.setBold(true);
    title->setFont(f);
    auto *version = new QLabel(Shell::versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto *text = new QLabel(QStringLiteral("A viewer and raw-text editor for the data files of Torvane."), this);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(text);
    layout->addWidget(ok, 0, Qt::AlignRight);
    // Sized to its contents; only the stored position is used.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    WindowKeys::install(this, ok);
    WindowPlacement::LoadWindowPos(this);
}

void frmAbout::closeEvent(QCloseEvent *event)
{
    WindowPlacement::SaveWindowPos(this);
    event->accept();
}
