#include "textcontrol.h"

#include <QAccessibleWidget>

namespace {

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    if (className == QLatin1String("TextControl") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::EditableText);
    return nullptr;
}

} // namespace

TextControl::TextControl(QWidget *parent)
    : QsciScintilla(parent)
{
    // Asked before the control's own factory, which answers for its base class.
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
    setAccessibleName(QStringLiteral("Text"));
}

QVariant TextControl::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query != Qt::ImSurroundingText && query != Qt::ImCursorPosition && query != Qt::ImAnchorPosition)
        return QsciScintilla::inputMethodQuery(query);
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long line = SendScintilla(SCI_LINEFROMPOSITION, (unsigned long)caret);
    const long start = SendScintilla(SCI_POSITIONFROMLINE, (unsigned long)line);
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, (unsigned long)line);
    const auto *data = reinterpret_cast<const char *>(SendScintilla(SCI_GETRANGEPOINTER, start, end - start));
    const QByteArray text(data, end - start);
    // Positions are counted in characters of the line.
    auto offset = [&](long position) {
        return int(QString::fromUtf8(text.left(std::clamp(position, start, end) - start)).size());
    };
    switch (query) {
    case Qt::ImSurroundingText:
        return QString::fromUtf8(text);
    case Qt::ImCursorPosition:
        return offset(caret);
    default:
        return offset(SendScintilla(SCI_GETANCHOR));
    }
}
