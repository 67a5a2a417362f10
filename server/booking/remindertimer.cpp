#include "server/booking/remindertimer.h"

#include "server/actions/actionlog.h"
#include "server/booking/reminders.h"
#include "server/serverclock.h"

#include <QDebug>
#include <QTimer>
#include <exception>

void StartReminderTimer(QObject *owner, SchoolDatabase &db, const ServerOptions &options,
                        const ServerClock &clock) {
    auto *timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, owner, [&db, &options, &clock] {
        try {
            SendDueReminders(db, options, clock.now());
        } catch (const std::exception &error) {
            qCWarning(lcActions).noquote() << "reminders failed:" << error.what();
        }
    });
    timer->start(60 * 1000);
}
