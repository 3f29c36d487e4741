#include "frmamrpar.h"

#include "frmarmour.h"

#include "engine/viewerrows.h"
#include "platform/controlhost.h"
#include "platform/windowplacement.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QStyle>
#include <QTableView>
#include <QToolButton>

namespace {

QPointer<FrmAmrPar> g_instance;

} // namespace

FrmAmrPar *FrmAmrPar::open()
{
    if (!g_instance)
        g_instance = new FrmAmrPar;
    g_instance->show();
    g_instance->raise();
    g_instance->activateWindow();
    return g_instance;
}

FrmAmrPar *FrmAmrPar::existing()
{
    return g_instance;
}

FrmAmrPar::FrmAmrPar()
    : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("FrmAmrPar"));
    setWindowTitle(QStringLiteral("Insert Parameter"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogListView));
    const auto px = [this](int twips) { return WindowPlacement::toPixels(this, twips); };
    setFixedSize(px(4800), px(5175));

    QWidget *control = ControlHost::create(QStringLiteral("TabuletCtl.Tabulet"), this);
    if (!control) {
        auto *missing = new QLabel(ControlHost::errorString(), this);
        missing->setWordWrap(true);
        control = missing;
        m_list = new TabuletProxy(nullptr);
    } else {
        m_list = new TabuletProxy(control);
    }
    control->setObjectName(QStringLiteral("LV"));
    control->setGeometry(px(120), px(120), px(4575), px(3975));

    m_list->AddColumn(QString(), 3440);
    for (const QString &type : ViewerRows::armourDamageTypes())
        m_list->AddItem(type, 0);
    m_list->setProperty("Sorted", true);
    if (auto *view = qobject_cast<QTableView *>(m_list->listView())) {
        view->horizontalHeader()->hide();
        QFont font = view->font();
        font.setPointSize(10);
        view->setFont(font);
        view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    }

    const auto button = [&](const char *name, const QString &text, const QIcon &icon, int left) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setIcon(icon);
        b->setIconSize(QSize(24, 24));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setGeometry(px(left), px(4200), px(1455), px(855));
        return b;
    };
    const QIcon add = QIcon::fromTheme(QStringLiteral("list-add"), style()->standardIcon(QStyle::SP_ArrowLeft));
    connect(button("CmdAdd", QStringLiteral("Add"), add, 120), &QToolButton::clicked, this, &FrmAmrPar::onAdd);
    connect(button("CmdOK", QStringLiteral("OK"), style()->standardIcon(QStyle::SP_DialogOkButton), 1680),
            &QToolButton::clicked, this, &FrmAmrPar::onOk);
    connect(button("CmdCancel", QStringLiteral("Cancel"), style()->standardIcon(QStyle::SP_DialogCancelButton), 3240),
            &QToolButton::clicked, this, &QWidget::close);
}

FrmAmrPar::~FrmAmrPar()
{
    delete m_list;
}

bool FrmAmrPar::addSelected()
{
    const QAbstractItemView *view = m_list->listView();
    if (!view || !view->selectionModel())
        return false;
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    FrmArmour *armour = FrmArmour::existing();
    if (rows.isEmpty() || !armour)
        return false;
    return armour->appendDamageTypeRow(rows.first().data().toString());
}

void FrmAmrPar::onAdd()
{
    addSelected();
}

void FrmAmrPar::onOk()
{
    addSelected();
    close();
}
