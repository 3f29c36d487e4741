#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// The options window: the page shown after loading, the quit question, the
// object tree's font, clearing the manual editor's search history, and where
// its backups are kept.
class FrmOpt : public QWidget
{
    Q_OBJECT

public:
    explicit FrmOpt(QWidget *parent = nullptr);

    // The single options window, created on first use and shown.
    static FrmOpt *open();

    // Stores the choices and applies them to the main window.
    void ApplySet();

    // The working font values, as they will be stored.
    QString fontFace() const { return m_face; }
    QString fontSize() const { return m_size; }

signals:
    // The tree font or the start page changed; the main window re-reads them.
    void applied();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void changeFont();
    void clearSearchHistory();
    void openBackupFolder();
    void setFontLabels(const QStringList &values);
    void changed();

    QComboBox *m_tab;
    QCheckBox *m_askOnExit;
    QLabel *m_fontLabels[6] = {};
    QPushButton *m_apply;

    QString m_face;
    QString m_size;
    bool m_bold = false;
    bool m_underline = false;
    bool m_italic = false;
    bool m_strikeOut = false;
};
