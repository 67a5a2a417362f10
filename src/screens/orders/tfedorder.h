#pragma once

#include "grid/services.h"

#include <QDialog>

class TDBEdit;
class TDBLookupComboBox;
class TDataSource;
class Tfre;
class Tfrg;

// Edits the current order of the orders list (staff): ordering time, status, price and
// hours, with the record bar above and the order's status history below.
class Tfedorder : public QDialog {
    Q_OBJECT
    // First, so that the members after it can be built with it.
    TServices m_services;

public:
    explicit Tfedorder(const TServices &services, QWidget *parent = nullptr);
    ~Tfedorder() override;

    Tfre *fre;
    TDBEdit *ed_whenorder;
    TDBLookupComboBox *cb_status;
    TDBEdit *ed_typetext;
    TDBEdit *ed_amount;
    TDBEdit *ed_teachhours;
    Tfrg *frg_orderhist;

    // Binds the editors and the history to the orders (the dialog is being shown).
    void Prepare();
    // Unbinds them and lifts the history's restriction (the dialog closes).
    void Release();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void restrictHistory();

    TDataSource *ds;
    TDataSource *ds_status;
    TDataSource *ds_orderhist;
    QList<QMetaObject::Connection> m_connections;
    bool m_prepared = false;
};
