#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Tfproxy;

// The connection settings dialog: sign-in name and password, interface language, automatic
// sign-in and HTTPS with the trust of the server's certificate (verify it, an extra CA
// file), and the way to the proxy dialog. It shows Settings() when it opens,
// writes its group on OK, and reloads the settings from the file however it closes.
class Tfconnection : public QDialog {
    Q_OBJECT
public:
    // In the install mode the dialog runs alone: its title names the program and a changed
    // language needs no restart notice.
    explicit Tfconnection(bool installMode = false, QWidget *parent = nullptr);

    Tfproxy *proxyDialog() const { return m_proxy; }
    bool installMode() const { return m_installMode; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void fillLanguages();
    void loadControls();
    void okClicked();
    void proxyClicked();
    void caFileClicked();
    void enableTlsControls();

    bool m_installMode = false;
    int m_openedLanguage = 0;
    Tfproxy *m_proxy = nullptr;
    QLineEdit *edloginname = nullptr;
    QLineEdit *edloginpass = nullptr;
    QComboBox *cb_lang = nullptr;
    QCheckBox *chbautoconnect = nullptr;
    QCheckBox *chbssl = nullptr;
    QCheckBox *chbtlsverify = nullptr;
    QLineEdit *edcafile = nullptr;
    QPushButton *btn_cafile = nullptr;
    QPushButton *btn_proxy = nullptr;
    QPushButton *btn_ok = nullptr;
    QPushButton *btn_cancel = nullptr;
};

// The program's install mode: loads the settings and shows the connection dialog alone.
// Needs the application object, the locations, the language and the seam in place; returns
// the program's exit code.
int RunInstallMode();
