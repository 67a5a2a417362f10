#pragma once

#include "grid/controls/datepicker.h"
#include "screens/timetable/timetablefilter.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class TCheckedComboBox;
class TClientTable;

// The timetable filter: statuses, teacher and client (staff on the timetable screen only),
// and the lesson date range; Cancel gives back the values the dialog had when it opened.
// The users screen reuses it without the people rows.
class Tfflttimetable : public QDialog {
    Q_OBJECT
public:
    explicit Tfflttimetable(QWidget *parent = nullptr);

    TCheckedComboBox *cb_status;
    QLabel *lb_teacher;
    QComboBox *cb_teacher;
    QLabel *lb_client;
    QComboBox *cb_client;
    TDatePicker *dt_from;
    TDatePicker *dt_to;
    QPushButton *btnok;
    QPushButton *btncancel;

    // Whether the teacher and client rows are shown (and count in the filter).
    bool ShowPeople = false;

    // Fills the status list from cd_ttstatus when it is empty.
    void FillStatuses(const TClientTable &statuses);
    // Fills the teacher list (types 3 and 2) and the client list (type 4) by name after
    // "Všichni" when they hold fewer than two entries; the users table's order and
    // restriction come back, also on error.
    void FillPeople(TClientTable &users);
    // Empties the teacher and client lists down to "Všichni".
    void ClearPeople();

    // Lays the dialog out, remembers the values, shows it modally; Cancel restores them.
    bool Execute();
    void RememberValues();
    void RestoreValues();
    // OK: a from-day after the to-day is refused with a message, otherwise closes with OK.
    void btnokClick();

    TTimetableFilterValues Values() const;
    // The description for the filter button's hint, one line per condition.
    QString Description() const;

private:
    struct Remembered {
        QString statuses;
        int teacher = 0, client = 0;
        TDateRangeState dates;
    };
    Remembered m_remembered;
};
