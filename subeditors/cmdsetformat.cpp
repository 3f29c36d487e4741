#include "cmdsetformat.h"

#include "mainwindow/frmedit.h"
#include "platform/windowplacement.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>

namespace {
QPointer<CmdSetFormat> g_instance;
}

CmdSetFormat *CmdSetFormat::open()
{
    if (!g_instance)
        g_instance = new CmdSetFormat;
    g_instance->show();
    g_instance->raise();
    g_instance->activateWindow();
    return g_instance;
}

CmdSetFormat *CmdSetFormat::existing()
{
    return g_instance;
}

CmdSetFormat::CmdSetFormat()
    : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("CmdSetFormat"));
    setWindowTitle(QStringLiteral("Command Set Format"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (const FrmEdit *main = FrmEdit::existing())
        setWindowIcon(main->windowIcon());
    setFixedSize(WindowPlacement::toPixels(this, 5400), WindowPlacement::toPixels(this, 630));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(slotPicture());
    picture->setGeometry(0, 0, 358, 40);
    picture->move((width() - 358) / 2, (height() - 40) / 2);
}

QPixmap CmdSetFormat::slotPicture()
{
    constexpr int width = 358;
    constexpr int height = 40;
    constexpr int columns = 6;
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    QFont font = painter.font();
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int column = 0; column < columns; ++column) {
        const int left = column * (width - 1) / columns;
        const int right = (column + 1) * (width - 1) / columns;
        for (int row = 0; row < 2; ++row) {
            const QRect cell(left, row * (height - 1) / 2, right - left, (height - 1) / 2);
            painter.drawRect(cell);
            painter.drawText(cell, Qt::AlignCenter, QString::number(column * 2 + row + 1));
        }
    }
    return pixmap;
}
