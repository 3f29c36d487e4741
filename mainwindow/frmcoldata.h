#pragma once

#include <QWidget>

class QProgressBar;

// "Collecting Data...": shown while an object is read. While it is open the
// window it watches over is disabled.
class FrmColData : public QWidget
{
    Q_OBJECT

public:
    explicit FrmColData(QWidget *owner);
    ~FrmColData() override;

    void setMaximum(int maximum);
    // Moves the bar one step on, never past its maximum.
    void step();
    int value() const;

private:
    QWidget *m_owner;
    QProgressBar *m_bar;
};
