#include "server/serverclock.h"

QDateTime ServerClock::now() const {
    // Whole seconds: the server's date-time format has no fractions, and values written to
    // the database and read back must compare equal.
    QDateTime t = QDateTime::currentDateTime().addMSecs(m_offsetMs.load());
    t.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    return t;
}

void ServerClock::advance(qint64 seconds) {
    m_offsetMs.fetch_add(seconds * 1000);
}
