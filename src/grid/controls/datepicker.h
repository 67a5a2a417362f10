#pragma once

#include <QDate>
#include <QWidget>
#include <optional>

class QCheckBox;
class QDateEdit;

// A date picker with a tick box, as the filter dialogs use it for the two ends of a range:
// an unticked picker leaves its end of the range open.
class TDatePicker : public QWidget {
    Q_OBJECT
public:
    explicit TDatePicker(QWidget *parent = nullptr);

    bool Checked() const;
    void SetChecked(bool checked);
    QDate Date() const;
    void SetDate(const QDate &date);
    // The date when ticked; no value when this end of the range is open.
    std::optional<QDate> Picked() const;

    QCheckBox *TickBox() const { return m_tick; }
    QDateEdit *Editor() const { return m_edit; }

private:
    QCheckBox *m_tick;
    QDateEdit *m_edit;
};

// The filter description line of a date range from two pickers: label ": " from " - " to,
// each date in the short date form when its picker is ticked and "..." when it is not.
void DateRangeLine(const QString &label, const TDatePicker &from, const TDatePicker &to,
                   QString &text);

// The ticks and dates of a from/to pair, as a filter dialog remembers them on showing and
// gives them back on Cancel.
struct TDateRangeState {
    bool fromChecked = false, toChecked = false;
    QDate from, to;
};
TDateRangeState SaveDateRange(const TDatePicker &from, const TDatePicker &to);
void RestoreDateRange(const TDateRangeState &state, TDatePicker &from, TDatePicker &to);
// Refuses ("Datum Od je větší než datum Do") a ticked from-day after a ticked to-day.
void CheckDateRangeOrder(const TDatePicker &from, const TDatePicker &to);
