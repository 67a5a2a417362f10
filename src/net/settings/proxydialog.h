#pragma once

#include "net/settings/settings.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The proxy settings dialog: proxy host and port, proxy sign-in, and the port choice of the
// lesson connection. It shows the proxy part of Settings() when it opens and puts its
// controls back there when it closes; closing needs an integer port while the proxy is on.
class Tfproxy : public QDialog {
    Q_OBJECT
public:
    explicit Tfproxy(QWidget *parent = nullptr);

    void loadControls(const AppSettings &settings);
    void storeControls(AppSettings &settings) const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void applyEnabling();
    void setSignInControlsEnabled(bool enabled);
    // False (after moving the focus to the port field and showing the error) when the proxy
    // is on and the port is not an integer.
    bool checkPort();
    void portLeft();
    void detectClicked();

    QCheckBox *CheckBox2 = nullptr; // use the proxy
    QCheckBox *CheckBox1 = nullptr; // sign in at the proxy
    QLineEdit *edit1 = nullptr;     // host
    QLineEdit *edit2 = nullptr;     // port
    QLineEdit *Edit3 = nullptr;     // proxy user
    QLineEdit *Edit4 = nullptr;     // proxy password
    QLabel *lb_proxyserver = nullptr;
    QLabel *lb_proxyport = nullptr;
    QLabel *lb_proxyname = nullptr;
    QLabel *lb_proxypass = nullptr;
    QGroupBox *rgonlineporttype = nullptr;
    QButtonGroup *m_portTypes = nullptr;
    QPushButton *btn_detect = nullptr;
    QPushButton *btn_close = nullptr;
};
