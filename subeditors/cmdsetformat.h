#pragma once

#include <QWidget>

// "Command Set Format": a picture of the command bar's twelve slots, odd
// numbers along the top row and even numbers below.
class CmdSetFormat : public QWidget
{
    Q_OBJECT

public:
    static CmdSetFormat *open();
    static CmdSetFormat *existing();

    CmdSetFormat();

    // The fixed picture: two rows of six cells holding the slot numbers.
    static QPixmap slotPicture();
};
