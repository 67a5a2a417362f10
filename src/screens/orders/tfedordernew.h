#pragma once

#include "grid/services.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class TDBEdit;
class TDataSource;

// A new order of one of the order types on offer, for the signed-in client himself or, from
// the users screen, for a chosen user; the server makes the order and reports its id.
class Tfedordernew : public QDialog {
    Q_OBJECT
    // First, so that the members after it can be built with it.
    TServices m_services;

public:
    // userId 0: the order is for the signed-in client himself.
    Tfedordernew(const TServices &services, int userId = 0, QWidget *parent = nullptr);
    ~Tfedordernew() override;

    QComboBox *cb_type;
    TDBEdit *ed_hours;
    TDBEdit *ed_amount;
    TDBEdit *ed_description;
    QLabel *lb_note;
    QPushButton *btnok;
    QPushButton *btncancel;

    int UserId() const { return m_userId; }
    // The new order's id after a successful OK (0 when the reply held no number).
    int NewOrderId() const { return m_newOrderId; }

    // Lists the valid order types and shows the first (the dialog is being shown).
    void Prepare();
    // Lifts the restriction of the order types (the dialog closes).
    void Release();
    // Shows the chosen type's hours, price and description.
    void typeChanged();
    // OK: asks, sends "neworder", reports the outcome and closes with OK on success.
    void btnokClick();

    void done(int result) override;

private:
    TDataSource *ds;
    int m_userId;
    int m_newOrderId = 0;
    bool m_prepared = false;
};
