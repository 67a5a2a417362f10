#pragma once

#include "grid/services.h"

#include <QDialog>

class QPushButton;
class TDataSource;
class Tfrg;

// The status history of one lesson (staff): every status change with who made it and the
// client before and after, listed from cd_ttstatushist. The timetable and users screens
// share it.
class Tfhisttimetable : public QDialog {
    Q_OBJECT
    // First, so that the members after it can be built with it.
    TServices m_services;

public:
    explicit Tfhisttimetable(const TServices &services, QWidget *parent = nullptr);

    Tfrg *frg_hist;
    QPushButton *btnclose;

    // Shows the history of the lesson modally; the title names its time.
    void ShowFor(qint64 idTimetable, const QString &whenText);
    // Reads and restricts the history and binds the list (done by ShowFor before showing).
    void Prepare(qint64 idTimetable, const QString &whenText);
    // Unbinds the list and lifts the restriction (the dialog closes).
    void Release();

    void done(int result) override;

private:
    TDataSource *ds;
};
