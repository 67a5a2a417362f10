#include "server/http/actionrequest.h"

#include "lang/textutil.h"
#include "wire/compression.h"

QByteArray ActionRequest::param(const QByteArray &name) const {
    const auto it = query.constFind(name);
    return it != query.constEnd() ? *it : form.value(name);
}

ActionReply ActionReply::Ok(const QByteArray &payload) {
    return {200, "ok" + payload, true};
}

// zlib's fastest level: a packet compresses about three times faster than at the default
// level, for a reply a little larger; the client inflates any level.
ActionReply ActionReply::OkZip(const QByteArray &payload) {
    return {200, "okzip" + CompressText(payload, 2), false, "application/octet-stream"};
}

ActionReply ActionReply::Error(const QString &message) {
    // Plain-text replies travel in the client's 8-bit code page.
    return {200, "error" + ToWin1250(message), false};
}

ActionReply ActionReply::Raw(const QByteArray &bytes) {
    return {200, bytes, false, "application/octet-stream"};
}

ActionReply ActionReply::BadLogin() {
    return {203, "error", false};
}

ActionReply ActionReply::SignInBlocked(qint64 seconds) {
    ActionReply reply = BadLogin();
    reply.retryAfter = seconds;
    return reply;
}
