#include "windowkeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>

namespace WindowKeys {

namespace {

class KeyFilter : public QObject
{
public:
    KeyFilter(QWidget *window, QAbstractButton *defaultButton)
        : QObject(window)
        , m_window(window)
        , m_default(defaultButton)
    {
        if (auto *push = qobject_cast<QPushButton *>(defaultButton))
            push->setDefault(true);
    }

protected:
    // Sees the keys a control inside left unhandled on their way up to the
    // window, and the keys the window gets itself.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        if (key->key() == Qt::Key_Escape) {
            m_window->close();
            return true;
        }
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        QWidget *focus = QApplication::focusWidget();
        // As in a dialog, Enter presses the button that has the focus.
        if (auto *button = qobject_cast<QPushButton *>(focus); button && m_window->isAncestorOf(button)) {
            button->click();
            return true;
        }
        if (m_default && m_default->isEnabled() && m_default->isVisible() && !usesEnter(focus)) {
            m_default->click();
            return true;
        }
        return false;
    }

private:
    static bool usesEnter(QWidget *focus)
    {
        for (QWidget *w = focus; w; w = w->parentWidget()) {
            if (qobject_cast<QAbstractItemView *>(w) || qobject_cast<QPlainTextEdit *>(w)
                || (qobject_cast<QTextEdit *>(w) && !static_cast<QTextEdit *>(w)->isReadOnly()))
                return true;
            if (w->isWindow())
                break;
        }
        return false;
    }

    QWidget *m_window;
    QPointer<QAbstractButton> m_default;
};

} // namespace

void install(QWidget *window, QAbstractButton *defaultButton)
{
    window->installEventFilter(new KeyFilter(window, defaultButton));
}

void closeOnCtrlW(QWidget *window)
{
    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, &QWidget::close);
}

} // namespace WindowKeys
