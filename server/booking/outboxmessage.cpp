#include "server/booking/outboxmessage.h"

#include "errors/apperror.h"
#include "server/booking/mimeparts.h"
#include "server/serveroptions.h"
#include "server/store/schooldatabase.h"

#include <QRandomGenerator>
#include <QSaveFile>

namespace {

QByteArray CrLf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text.toUtf8();
}

QByteArray TextPart(const QString &body) {
    return "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
           MimeParts::Base64Lines(CrLf(body));
}

QByteArray Body(const OutboxMail &mail) {
    if (mail.calendar.isEmpty())
        return TextPart(mail.body);
    const QByteArray boundary =
        "tellavo-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
    return "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n--" + boundary +
           "\r\n" + TextPart(mail.body) + "--" + boundary +
           "\r\nContent-Type: text/calendar; charset=UTF-8; method=" + mail.calendarMethod +
           "\r\nContent-Disposition: attachment; filename=\"lekce.ics\""
           "\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
           MimeParts::Base64Lines(mail.calendar) + "--" + boundary + "--\r\n";
}

QByteArray Message(const QString &from, const OutboxMail &mail, const QDateTime &now) {
    return "From: " + from.toLatin1() + "\r\nTo: " + mail.to.toLatin1() +
           "\r\nSubject: " + MimeParts::EncodedWord(mail.subject) +
           "\r\nDate: " + now.toString(Qt::RFC2822Date).toLatin1() + "\r\nMIME-Version: 1.0\r\n" +
           Body(mail);
}

} // namespace

bool SendToOutbox(SchoolDatabase &db, const ServerOptions &options, const QDateTime &now,
                  const OutboxRecord &record, const OutboxMail &mail) {
    if (!MimeParts::IsPlainAddress(mail.to))
        return false;
    const qint64 id = db.nextId(QStringLiteral("MSGS"), QStringLiteral("IDMSG"));
    db.run(QStringLiteral("INSERT INTO MSGS (IDMSG, IDJOB, IDENVLANG, MSGTYPE, EMAILTO,"
                          " WHOINITIATOR, WHORECEIVER, WHENSENT, EMAILSUBJECT, EMAILBODY,"
                          " EMAILSENT, IDREF) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, ?)"),
           {id, record.jobId, record.envLang, record.type, mail.to,
            record.initiator ? QVariant(record.initiator) : QVariant(), record.receiver, now,
            mail.subject.left(200), mail.body, record.idRef});
    QSaveFile file(options.dataFolder +
                   QStringLiteral("/outbox/%1.eml").arg(id, 6, 10, QLatin1Char('0')));
    const QByteArray text = Message(options.mailFrom, mail, now);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) || !file.commit())
        throw AppError(QStringLiteral("cannot write the outbox message %1").arg(id));
    return true;
}
