#pragma once

#include "server/http/formdata.h"

#include <QByteArray>
#include <QHostAddress>
#include <QString>

// One request to the script as the actions see it: address parameters, form fields, body.
struct ActionRequest {
    FormFields query;       // parameters of the address (PHPSESSID, action, providername ...)
    FormFields form;        // fields of an url-encoded form body
    QByteArray body;        // the raw body
    QByteArray contentType; // the body's content type
    QHostAddress remoteAddress;
    bool tls = false;

    QByteArray action() const { return query.value("action"); }
    // A parameter from the address or, when missing there, from the form.
    QByteArray param(const QByteArray &name) const;
    bool has(const QByteArray &name) const { return query.contains(name) || form.contains(name); }
};

// What the server answers: an HTTP status and a body. Text replies of the actions that the
// client runs through its request runner may receive a renewed session id in front.
struct ActionReply {
    int status = 200;
    QByteArray body;
    bool renewable = false;
    QByteArray contentType = "text/plain; charset=windows-1250";
    qint64 userId = 0; // who asked, for the request log; 0 when nobody is signed in
    // Seconds before a refused sign-in may be tried again ("Retry-After"); 0 for none. Older
    // clients read only the status and the body, which stay as for any refusal.
    qint64 retryAfter = 0;

    static ActionReply Ok(const QByteArray &payload = {});
    static ActionReply OkZip(const QByteArray &payload);
    static ActionReply Error(const QString &message);
    static ActionReply Raw(const QByteArray &bytes);
    static ActionReply BadLogin();
    static ActionReply SignInBlocked(qint64 seconds);
};
