#pragma once

#include "net/serverrequest.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// A server request that runs in the background without any window, busy cursor or message,
// for work the user did not ask for and need not wait for (fetching the next page ahead). It
// uses a client of its own with the program's proxy and TLS settings, so it never shares a
// connection with the requests the user waits for, carries the session like them, and ends
// after the usual time without progress or at the reply bound. Its end is handed to the
// callback unless it was cancelled.
class QuietRequest : public QObject {
    Q_OBJECT
public:
    // A complete reply with status 200 and its body; nothing is judged beyond that.
    using Done = std::function<void(bool completed, const QByteArray &body)>;

    explicit QuietRequest(QObject *parent = nullptr);
    ~QuietRequest() override;

    // Starts the request (a running one is cancelled first).
    void start(const ServerRequest &call, Done done);
    // Ends the running request at once; its callback is not called.
    void cancel();
    bool isRunning() const { return !m_reply.isNull(); }

private:
    void finish();
    void abortReply();

    QNetworkAccessManager *m_client;
    QPointer<QNetworkReply> m_reply;
    QTimer *m_idle;
    Done m_done;
};
