#include "messages.h"

#include "helpviewer.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QIcon>
#include <QPushButton>

namespace {
Messages::Hook g_hook;
}

namespace Messages {

void setHook(Hook hook)
{
    g_hook = std::move(hook);
}

QString defaultTitle()
{
    return QStringLiteral("Zarnith");
}

QMessageBox::StandardButton show(QWidget *parent, const Message &message)
{
    if (g_hook)
        return g_hook(message);
    QMessageBox box(message.icon, message.title.isEmpty() ? defaultTitle() : message.title, message.text,
                    message.buttons, parent);
    for (const auto &[button, caption] : message.captions) {
        if (QAbstractButton *b = box.button(button)) {
            // The standard button's icon would say something else.
            b->setText(caption);
            b->setIcon(QIcon());
        }
    }
    if (message.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(message.defaultButton);
    QPushButton *help = nullptr;
    if (message.helpContext >= 0)
        help = box.addButton(QMessageBox::Help);
    // The Help button opens the guide without closing the message.
    if (help) {
        help->disconnect();
        QObject::connect(help, &QPushButton::clicked, &box,
                         [context = message.helpContext] { HelpViewer::showContext(context); });
    }
    box.exec();
    return box.standardButton(box.clickedButton());
}

void inform(QWidget *parent, const QString &text, const QString &title, QMessageBox::Icon icon)
{
    show(parent, {text, title, icon, QMessageBox::Ok, -1});
}

} // namespace Messages
