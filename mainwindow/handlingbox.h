#pragma once

#include <QLineEdit>

struct HandlingBox;

// One handling-and-speed box: digit positions shown with "_" prompts and the
// unit written after them; the Surfaces box takes free text.
class HandlingBoxEdit : public QLineEdit
{
    Q_OBJECT

public:
    HandlingBoxEdit(const HandlingBox &box, QWidget *parent);

    // Resets to the empty look, then types in the value; a value the box
    // cannot hold (not digits, too many) leaves it empty.
    void setValue(const QString &value);
    // What the box shows, prompts and unit included.
    QString fullText() const;
    // Empties the digit positions and keeps the mask.
    void clearValue();

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    const HandlingBox &m_box;
};
