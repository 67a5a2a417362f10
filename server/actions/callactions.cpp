#include "server/actions/callactions.h"

#include <QMessageAuthenticationCode>

QByteArray TurnCredential(const QByteArray &secret, const QByteArray &username) {
    return QMessageAuthenticationCode::hash(username, secret, QCryptographicHash::Sha1).toBase64();
}

ActionReply GetCallServersAction(ActionContext &ctx) {
    const ServerOptions &options = ctx.options;
    QByteArray body;
    for (const QString &address : options.stunAddresses)
        body += "\r\nstun=" + address.toLatin1();
    if (!options.turnSecret.isEmpty() && !options.turnAddresses.isEmpty()) {
        const qint64 expiry = ctx.now().toSecsSinceEpoch() + options.turnTtlSeconds;
        const QByteArray username =
            QByteArray::number(expiry) + ':' + QByteArray::number(ctx.userId());
        for (const QString &address : options.turnAddresses)
            body += "\r\nturn=" + address.toLatin1();
        body += "\r\nusername=" + username;
        body += "\r\ncredential=" + TurnCredential(options.turnSecret, username);
        body += "\r\nttl=" + QByteArray::number(options.turnTtlSeconds);
    }
    return ActionReply::Ok(body);
}
