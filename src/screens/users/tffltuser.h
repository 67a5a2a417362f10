#pragma once

#include "grid/controls/datepicker.h"
#include "screens/users/userfilter.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class TCheckedComboBox;
class TClientTable;

// The users filter: user types, client levels, active users only, debtors only and the
// range of the last sign-in; Cancel gives back the values the dialog had when it opened.
class Tffltuser : public QDialog {
    Q_OBJECT
public:
    explicit Tffltuser(QWidget *parent = nullptr);

    TCheckedComboBox *cb_type;
    TCheckedComboBox *cb_level;
    QCheckBox *chb_active;
    QCheckBox *chb_debtors;
    TDatePicker *dt_from;
    TDatePicker *dt_to;
    QPushButton *btnok;
    QPushButton *btncancel;

    // Fills the type list when empty, leaving type 1 out unless the signed-in user is of
    // type 1 (the lookup table's restriction comes back, also on error).
    void FillTypes(TClientTable &types, int signedInType);
    // Fills the level list when empty.
    void FillLevels(const TClientTable &levels);

    // Remembers the values, shows the dialog modally; Cancel restores them.
    bool Execute();
    // OK: a from-day after the to-day is refused with a message, otherwise closes with OK.
    void btnokClick();

    TUserFilterValues Values() const;
    // The description for the filter button's hint, one line per condition (CR LF).
    QString Description() const;

private:
    struct Remembered {
        QString types, levels;
        bool active = false, debtors = false;
        TDateRangeState dates;
    };
    void remember();
    void restore();

    Remembered m_remembered;
};
