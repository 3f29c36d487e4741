#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;

// The start-up window: checks the installation, hands over to the setup
// wizard when there is no usable game folder, and otherwise builds the object
// catalogue, shows the main window and closes.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    // reinstall: the command line asked for the setup wizard.
    explicit frmSplash(bool reinstall = false, QWidget *parent = nullptr);

    // The game folder to start from while none is stored ("zarnith --game FOLDER").
    static void setDefaultGameFolder(const QString &folder);

    // An object to choose once the main window is up ("zarnith --select NAME").
    static void setInitialObject(const QString &name);

    // The whole start-up sequence.
    void Form_Load();

    // The record-store files missing from the program folder, each as a full
    // path followed by CR LF; empty when both are there.
    static QString MissingFiles();
    // True when GamePath\Data\INI exists.
    static bool INIExist();
    // Where the stock table, the manifest check and the guide are looked for.
    static QString programFolder();
    static void setProgramFolder(const QString &folder);

    // True for a command line that is exactly "-Reinstall" in any letter case.
    static bool isReinstall(const QStringList &arguments);

    QString caption() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // False when start-up must go no further (the program ends or the wizard runs).
    bool IdentifyFixProblems();
    void Timer1_Timer();
    void showWizard();

    bool m_reinstall;
    bool m_starting = false; // Form_Load is running
    bool m_closed = false;   // closed while it ran
    int m_animationStep = 1;
    QLabel *m_caption;
    QLabel *m_version;
    QProgressBar *m_progress;
    QTimer *m_timer;
};
