#pragma once

#include <QWidget>

// Shows the program's name and version.
class frmAbout : public QWidget
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    // The single about window, created on first use and shown.
    static frmAbout *open();

protected:
    void closeEvent(QCloseEvent *event) override;
};
