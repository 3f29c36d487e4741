#include "handlingbox.h"

#include "engine/summaryrows.h"

#include <QTimer>

namespace {

QString escapedMaskText(const QString &literal)
{
    static const QString metas = QStringLiteral("AaNnXx90Dd#HhBb><![]{}\\");
    QString out;
    for (QChar c : literal) {
        if (metas.contains(c))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

} // namespace

HandlingBoxEdit::HandlingBoxEdit(const HandlingBox &box, QWidget *parent)
    : QLineEdit(parent)
    , m_box(box)
{
    if (box.digits > 0)
        setInputMask(QString(box.digits, QLatin1Char('0')) + QLatin1Char(' ')
                     + escapedMaskText(QLatin1String(box.unit)) + QStringLiteral(";_"));
    setProperty("tag", box.emptyText());
}

void HandlingBoxEdit::setValue(const QString &value)
{
    setText(m_box.digitsOf(m_box.textWith(value)));
    setCursorPosition(0);
}

QString HandlingBoxEdit::fullText() const
{
    return displayText();
}

void HandlingBoxEdit::clearValue()
{
    clear();
}

void HandlingBoxEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // The caret jumps home when it lands past the digits, so typing starts at
    // the first digit position.
    QTimer::singleShot(0, this, [this] {
        if (cursorPosition() >= 5)
            setCursorPosition(0);
    });
}
