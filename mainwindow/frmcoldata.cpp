#include "frmcoldata.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

FrmColData::FrmColData(QWidget *owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint)
    , m_owner(owner)
{
    setObjectName(QStringLiteral("FrmColData"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Collecting Data..."), this);
    label->setObjectName(QStringLiteral("Label1"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setTextVisible(false);
    layout->addWidget(label);
    layout->addWidget(m_bar);
    setFixedSize(260, 70);
    if (owner) {
        owner->setEnabled(false);
        move(owner->geometry().center() - rect().center());
    }
}

FrmColData::~FrmColData()
{
    if (m_owner)
        m_owner->setEnabled(true);
}

void FrmColData::setMaximum(int maximum)
{
    m_bar->setRange(0, maximum);
}

void FrmColData::step()
{
    m_bar->setValue(qMin(m_bar->value() + 1, m_bar->maximum()));
}

int FrmColData::value() const
{
    return m_bar->value();
}
