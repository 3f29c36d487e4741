#pragma once

#include <Qsci/qsciscintilla.h>

// The raw editor's text control. It answers the input method's questions
// about the text around the caret with the caret's line: the control's own
// answer is the paragraph up to the nearest blank lines, which in a data
// file without blank lines is the whole file, copied at every keystroke.
//
// For assistive tools it is an editable text without a text interface. The
// control's own interface counts the characters from the start of the text
// at every caret move, which at the end of a 20 MB file takes a fifth of a
// second a keystroke, whether or not a tool is listening.
class TextControl : public QsciScintilla
{
    Q_OBJECT

public:
    explicit TextControl(QWidget *parent = nullptr);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
};
