#pragma once

#include <QDateTime>

class SchoolDatabase;
struct ServerOptions;

// Sends the reminder e-mails that are due at this moment: each booked or confirmed lesson
// that begins within the school's reminder time gets one message to its client and one to its
// teacher, each with the lesson as an iCalendar file, once (a lesson booked later than the
// reminder time before it gets none). Returns the number of messages written. The server
// runs it every minute; tests run it with a moved clock.
int SendDueReminders(SchoolDatabase &db, const ServerOptions &options, const QDateTime &now);
