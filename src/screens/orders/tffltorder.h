#pragma once

#include "grid/controls/datepicker.h"
#include "screens/orders/orderfilter.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class TCheckedComboBox;
class TClientTable;

// The orders filter: statuses, client (only on the orders screen), non-zero amounts and the
// ordering date range; Cancel gives back the values the dialog had when it opened.
class Tffltorder : public QDialog {
    Q_OBJECT
public:
    explicit Tffltorder(QWidget *parent = nullptr);

    TCheckedComboBox *cb_status;
    QLabel *lb_client;
    QComboBox *cb_client;
    QCheckBox *chb_nonzero;
    TDatePicker *dt_from;
    TDatePicker *dt_to;
    QPushButton *btnok;
    QPushButton *btncancel;

    // Whether the client row is shown (the orders screen) or not (the users screen).
    bool ShowClients = true;

    // Fills the status list from the lookup table when it is empty.
    void FillStatuses(const TClientTable &statuses);
    // Fills the client list after "Všichni" when it holds fewer than two entries: the users
    // of type 4 by name; the users table's order and restriction come back, also on error.
    void FillClients(TClientTable &users);
    // Empties the client list down to "Všichni".
    void ClearClients();

    // Lays the dialog out, remembers the values, shows it modally; Cancel restores them.
    bool Execute();
    // Remembers the present values (done on showing).
    void RememberValues();
    // Gives back the remembered values (done on Cancel).
    void RestoreValues();
    // OK: a from-day after the to-day is refused with a message, otherwise closes with OK.
    void btnokClick();

    TOrderFilterValues Values() const;
    // The description for the filter button's hint, one line per condition.
    QString Description() const;

private:
    struct Remembered {
        QString statuses;
        int client = 0;
        bool nonZero = false;
        TDateRangeState dates;
    };
    Remembered m_remembered;
};
