#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class SchoolDatabase;
struct ServerOptions;

// One e-mail of the booking features: a plain text and, when given, an iCalendar file.
struct OutboxMail {
    QString to;
    QString subject;
    QString body;
    QByteArray calendar;       // empty: no attachment
    QByteArray calendarMethod; // "PUBLISH" or "CANCEL", for the attachment's content type
};

// Who the message is for and why, as the school's list of e-mails records it.
struct OutboxRecord {
    int jobId = 0;
    int envLang = 2;
    QString type; // MSGTYPE: "REMINDER", "LESSONCANCEL", "HOURSOUT", "SLOTFREED"
    qint64 receiver = 0;
    qint64 initiator = 0; // 0: the server itself
    qint64 idRef = 0;     // the lesson or slot it is about
};

// Records the message in MSGS and writes it to the outbox as a MIME document (CR LF line ends,
// UTF-8 texts in base64, the calendar as a text/calendar attachment), inside the caller's
// transaction. Raises AppError when the file cannot be written; false (nothing written) when
// the address is not one plain mailbox.
bool SendToOutbox(SchoolDatabase &db, const ServerOptions &options, const QDateTime &now,
                  const OutboxRecord &record, const OutboxMail &mail);
