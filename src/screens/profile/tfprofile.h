#pragma once

#include "grid/services.h"

#include "wire/value.h"

#include <QDialog>
#include <QList>
#include <QPair>

class QPushButton;
class TCalendarFeedBox;
class TClientTable;
class TDataSource;
class Tfrprofil;

// The signed-in user's own profile: the profile frame on the user's record, saved to the
// server at once on OK, and the way into the password change.
class Tfprofile : public QDialog {
    Q_OBJECT
    // First, so that the members after it can be built with it.
    TServices m_services;

public:
    explicit Tfprofile(const TServices &services, QWidget *parent = nullptr);
    ~Tfprofile() override;

    Tfrprofil *fr_profil;
    QPushButton *btn_pass;
    QPushButton *btnok;
    QPushButton *btncancel;
    TDataSource *ds;
    TCalendarFeedBox *gb_calendarfeed; // shown when the server offers calendar feeds

    // Binds the frame to the user's own record (the dialog is being shown).
    void Prepare();
    // Cancels an edit still open and unbinds the frame (the dialog closes in any way).
    void Release();
    // OK: checks and saves an edited record, re-reads it (also after a failed send),
    // refreshes the open lists that show the user's name, and closes; a failure keeps the
    // dialog open.
    void btnokClick();
    // Opens the password change and reports a success.
    void btn_passClick();

    void done(int result) override;

private:
    // The fields of the current row whose value differs from the stored one, by index.
    static QList<QPair<int, TValue>> changedValues(TClientTable &table);
    // Puts those values back (into edit when the record was re-read).
    static void restoreTyped(TClientTable &table, const QList<QPair<int, TValue>> &typed);
};

// The main window's profile button: re-reads the own record (exactly one row is required),
// then shows the profile dialog modally.
void ShowProfileDialog(const TServices &services, QWidget *parent);
