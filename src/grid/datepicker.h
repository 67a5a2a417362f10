#pragma once

#include <QDate>
#include <QWidget>

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
