#pragma once

class QObject;
class SchoolDatabase;
class ServerClock;
struct ServerOptions;

// Runs the due reminders every minute on the owner's thread (with its database connection),
// as long as the owner lives; a failed run is logged and the next one tries again.
void StartReminderTimer(QObject *owner, SchoolDatabase &db, const ServerOptions &options,
                        const ServerClock &clock);
