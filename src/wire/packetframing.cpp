#include "wire/packetframing.h"

#include "lang/textutil.h"

QString NextPacketSection(QString &reply) {
    static const QString separator = QString::fromLatin1(kPacketSeparator);
    return SplitSection(reply, separator);
}

QByteArray NextPacketSection(QByteArray &reply) {
    return SplitSection(reply, QByteArrayView(kPacketSeparator));
}

TApplyReply ParseApplyReply(const QByteArray &body) {
    TApplyReply reply;
    const qsizetype bar = body.indexOf('|');
    const QByteArray count = bar < 0 ? body : body.left(bar);
    reply.appliedCount = ParseInteger(QString::fromLatin1(count)).value_or(0);
    if (bar >= 0)
        reply.packet = body.mid(bar + 1);
    return reply;
}
