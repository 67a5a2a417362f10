#pragma once

#include "grid/services.h"

#include "grid/columndef.h"
#include "grid/screen.h"
#include "screens/orders/tffltorder.h"

#include <QPointer>

class QToolButton;
class TClientTable;
class TDataSource;
class Tfedorder;
class Tfrg;

// The columns of an orders list (the orders screen and the users screen's orders tab).
TColumnList OrderListColumns();

// The orders screen: a client sees and orders for himself, staff see every order, filter
// them and edit them in the order dialog; a teacher gets no list.
class Tfrorder : public TScreen {
    Q_OBJECT
    // First, so that the members after it can be built with it.
    TServices m_services;

public:
    explicit Tfrorder(const TServices &services, QWidget *parent = nullptr);
    ~Tfrorder() override;

    Tfrg *frg_order;
    QToolButton *spb_neworder;
    Tfedorder *fedorder;

    void InitScreen() override;
    void EnterScreen() override;
    void LeaveScreen() override;
    void SignOutScreen() override;

    // The filter dialog while it exists (from its first use to sign-out).
    Tffltorder *FilterDialog() const { return m_filter; }
    // Staff's filter button: fills and shows the filter dialog, applies it on OK.
    void spbfilterClick();
    // New order (client) or the client's user dialog (staff).
    void spb_neworderClick();
    // The filter from the dialog's values onto cd_order, and its description as the hint.
    void ApplyFilter();

private:
    void enterAsClient();
    void enterAsStaff();
    void showNameColumns(bool show, bool narrowDescription);
    void tellPaymentDetails(TClientTable &orders);

    TDataSource *ds;
    QPointer<Tffltorder> m_filter;
};
