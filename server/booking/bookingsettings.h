#pragma once

class SchoolDatabase;

// The school's booking rules, kept as SERVERINFO rows (REMINDERHOURS, CANCELDEADLINEHOURS,
// LOWBALANCEHOURS) so that every server process on one database reads the same; a missing
// or unreadable row gives the default.
struct BookingSettings {
    int reminderHours = 24;       // reminder e-mails this long before a lesson; 0: none
    int cancelDeadlineHours = 24; // a client cancels no later than this before the lesson
    double lowBalanceHours = 2;   // bookable hours at or below which a client is warned

    static BookingSettings Read(SchoolDatabase &db);
    // Writes one setting (tests and the school's administrator).
    static void Write(SchoolDatabase &db, const char *name, double value);
};
