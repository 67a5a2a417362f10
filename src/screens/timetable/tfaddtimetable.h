#pragma once

#include "grid/services.h"

#include <QDate>
#include <QDialog>
#include <QList>

class QCheckBox;
class QDateEdit;
class QPushButton;
class QSpinBox;

// Adds free lesson slots of one hour for a teacher on one day: the hours 0:00 to 23:00 with
// check marks in four columns. OK refuses a past day, refuses the whole run when one of the
// hours is taken, and saves the new slots to the server at once. With a server that offers
// repeating bookings the day's pattern may be repeated weekly, all weeks or none. The timetable and users
// screens share it.
class Tfaddtimetable : public QDialog {
    Q_OBJECT
    // First, so that the members after it can be built with it.
    TServices m_services;

public:
    explicit Tfaddtimetable(const TServices &services, QWidget *parent = nullptr);

    QDateEdit *dt_date;
    QList<QCheckBox *> hours; // 0:00 to 23:00
    QSpinBox *spn_weeks;      // the same hours in this many weeks from the day on
    QPushButton *btnclear;    // "&Vynulovat"
    QPushButton *btnok;
    QPushButton *btncancel;

    // The teacher whose slots are added.
    int TeacherId = 0;

    QDate Date() const;
    void SetDate(const QDate &date);
    // Refuses a past date with "Zvolené datum je v minulosti" before showing anything;
    // otherwise shows the dialog modally for the teacher. True when it closed with OK.
    bool ExecuteFor(int teacherId);
    // Clears every hour's check mark.
    void btnclearClick();
    // Adds the checked hours (see the class comment); errors leave the dialog open.
    void btnokClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void checkNotPast() const;
    void appendSlots();
    void appendSlot(const QDate &day, const QString &hourText);
    void saveSlots();
};
