#pragma once

#include "grid/services.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// Changes the signed-in user's password: the old one must match the sign-in password of the
// settings, the new one is typed twice, sent to the server and then stored as the sign-in
// password.
class Tfpasschange : public QDialog {
    Q_OBJECT
    // First, so that the members after it can be built with it.
    TServices m_services;

public:
    explicit Tfpasschange(const TServices &services, QWidget *parent = nullptr);

    QLineEdit *ed_old;
    QLineEdit *ed_new;
    QLineEdit *ed_new2;
    QPushButton *btnok;
    QPushButton *btncancel;

    // OK: closes without OK on a wrong old password or an unchanged one, stays open when the
    // new passwords differ or the server refuses, closes with OK once the change is stored.
    void btnokClick();
};
