#pragma once

#include "relayendpoint.h"
#include "wire/relay/relaylinebuffer.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QSslConfiguration>
#include <QTimer>

class QEventLoop;
class QSslSocket;

// The socket of a lesson client to the relay, clear or TLS: opens it with a bounded wait,
// writes lines with CR LF, and splits what arrives into lines (an over-long line is skipped)
// that wait in order until taken. Every wait runs in a local event loop that leaves painting
// and network events going but holds user input back.
class RelayLink : public QObject {
    Q_OBJECT
public:
    // Why the link could not open or went down.
    enum class Failure { None, Refused, Unreachable, TimedOut, Certificate, Lost, Other };
    enum class Wait { Line, Closed, TimedOut };

    static constexpr int DefaultOpenTimeout = 30000;

    explicit RelayLink(QObject *parent = nullptr);
    ~RelayLink() override;

    // Starts opening; opened() or failed() follows. A link that is open is closed first.
    void open(const RelayEndpoint &endpoint, const QSslConfiguration &tls);
    // Closes at once without a signal and drops the lines not taken.
    void close();
    // Connected, and for TLS with the handshake done.
    bool isOpen() const { return m_open; }
    void setOpenTimeout(int milliseconds) { m_openTimeout = milliseconds; }

    void sendLine(const QByteArray &line);
    bool hasLine() const { return !m_lines.isEmpty(); }
    QByteArray takeLine() { return m_lines.dequeue(); }
    // Waits until a line is there, the link is down or the time has passed.
    Wait waitForLine(int milliseconds);

    Failure failure() const { return m_failure; }
    // The transport's own description of the last failure, for the log.
    QString failureDetail() const { return m_detail; }

signals:
    void opened();
    // Opening failed, or the open link went down.
    void failed();
    void linesArrived();

private:
    void socketReady();
    void socketError();
    void socketGone();
    void readAvailable();
    bool takeBytes();
    void fail(Failure failure, const QString &detail);
    void dropSocket();

    QPointer<QSslSocket> m_socket;
    QEventLoop *m_waitLoop = nullptr; // the wait for a line in progress
    RelayEndpoint m_endpoint;
    RelayLineBuffer m_buffer;
    QQueue<QByteArray> m_lines;
    QTimer m_openTimer;
    int m_openTimeout = DefaultOpenTimeout;
    bool m_open = false;
    bool m_sslErrors = false;
    Failure m_failure = Failure::None;
    QString m_detail;
};
