#pragma once

#include "grid/services.h"

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;

// The profile's calendar subscription, shown only when the server offers feeds: the user's
// secret address that calendar programs subscribe to, with buttons to create it, copy it and
// revoke it (a revoked address stops answering at once).
class TCalendarFeedBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TCalendarFeedBox(const TServices &services, QWidget *parent = nullptr);

    QLabel *lb_hint;
    QLineEdit *ed_address;
    QPushButton *btn_create;
    QPushButton *btn_copy;
    QPushButton *btn_revoke;

    // The dialog is being shown: hides the box unless feeds are offered, else shows the
    // address the user has (asking the server, without creating one).
    void Prepare();
    void btn_createClick();
    void btn_copyClick();
    void btn_revokeClick();

private:
    // Runs "calendarfeed" with the operation; false after a failure (already reported).
    bool runFeed(const char *op);
    void showAddress(const QString &path);

    TServices m_services;
};
