#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

#include <functional>
#include <utility>

class QWidget;

// Every message box of the program goes through here, so that tests can
// answer them without a modal loop and see exactly what was said.
namespace Messages {

struct Message
{
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    int helpContext = -1; // a Help button opens the guide here; -1 for none
    // Captions for some of the buttons ("Overwrite" on Yes, say), where the
    // standard ones would not say what happens; the answer is still the
    // standard button.
    QList<std::pair<QMessageBox::StandardButton, QString>> captions = {};
    // The button Enter presses; none picks the box's own default.
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Shows the message and returns the button pressed.
QMessageBox::StandardButton show(QWidget *parent, const Message &message);

// OK box with the default title, as a plain message.
void inform(QWidget *parent, const QString &text, const QString &title = QString(),
            QMessageBox::Icon icon = QMessageBox::NoIcon);

// A hook answers instead of a box; tests install one and remove it with an empty function.
using Hook = std::function<QMessageBox::StandardButton(const Message &)>;
void setHook(Hook hook);

// The default title of a plain message: the program's name.
QString defaultTitle();

} // namespace Messages
