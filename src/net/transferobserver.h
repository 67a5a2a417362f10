#pragma once

#include <QtGlobal>

// Receives the progress of one HTTP exchange: the connection, then for the sending of the
// request and for the receiving of the reply a begin (with the total size, 0 when unknown),
// counts so far, and an end.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    virtual void connected() = 0;
    virtual void transferBegins(qint64 total, bool sending) = 0;
    virtual void transferProgress(qint64 count) = 0;
    virtual void transferEnds(bool sending) = 0;
};
