#pragma once

#include <QByteArray>
#include <QString>

// The separator between the sections of a reply that carries several packets.
inline constexpr char kPacketSeparator[] = "<mybaseseparator/>";

// Takes the next section of a reply (text before the first separator) and removes it with
// the separator; without a separator the whole rest is taken and the reply becomes empty.
QString NextPacketSection(QString &reply);
QByteArray NextPacketSection(QByteArray &reply);

// An apply reply after its status word: the applied count, "|", the stored rows' packet.
struct TApplyReply {
    int appliedCount = 0; // text that is not a number counts as 0
    QByteArray packet;    // empty when the reply has no "|"
};
TApplyReply ParseApplyReply(const QByteArray &body);
