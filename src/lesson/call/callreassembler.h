#pragma once

#include "callwire.h"

#include <QByteArray>
#include <QString>

// Puts a partner's signalling message together from its pieces. The relay keeps the order of
// one sender's lines, so the pieces must come in order, one message after the other, with
// rising message numbers; anything else (a piece out of order, a message left unfinished, a
// count that changes, more than the bounds allow, text that is not base64) is refused.
class CallReassembler {
public:
    enum class Result { Incomplete, Complete, Refused };

    Result add(const CallWire::Line &piece);
    // The text of the message just completed.
    const QByteArray &message() const { return m_text; }
    // Why the last piece was refused (for the log).
    const QString &error() const { return m_error; }
    // Forgets the message in progress and the numbers seen (a new call).
    void reset();

private:
    Result refuse(const QString &why);

    int m_lastComplete = 0;
    int m_message = 0; // the message in progress, 0 when none
    int m_count = 0;
    int m_next = 0;
    QByteArray m_base64;
    QByteArray m_text;
    QString m_error;
};
