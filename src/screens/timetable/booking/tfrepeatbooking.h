#pragma once

#include "grid/services.h"

#include <QDateTime>
#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

// A client books one free slot and the same teacher's slot at the same time in the following
// weeks. Before anything is booked the server's check lists the weeks that have no free slot
// then; booking runs only when there is none, and books all weeks or none.
class Tfrepeatbooking : public QDialog {
    Q_OBJECT
    // First, so that the members after it can be built with it.
    TServices m_services;

public:
    // The first lesson, its time and teacher, and how many weeks the bookable hours allow.
    Tfrepeatbooking(const TServices &services, qint64 idTimetable, const QDateTime &when,
                    const QString &teacher, double bookable, int maxWeeks,
                    QWidget *parent = nullptr);

    QLabel *lb_intro;
    QSpinBox *spn_weeks;
    QLabel *lb_bookable;
    QPushButton *btncheck;
    QLabel *lb_result;
    QListWidget *lst_conflicts;
    QPushButton *btnok;
    QPushButton *btncancel;

    // Asks the server which weeks have no free slot and shows them; true when none.
    bool CheckWeeks();
    // Checks when not yet checked for this number of weeks, then books every week.
    void btnokClick();
    int BookedHours() const { return m_booked; }

private:
    QByteArray requestData(bool check) const;

    qint64 m_id;
    int m_checkedWeeks = 0; // the weeks of the last check that found no conflict
    int m_booked = 0;
};
