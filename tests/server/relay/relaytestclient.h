#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpSocket>

#include <functional>
#include <memory>
#include <ostream>

// Makes sure the process has the core application that sockets and event loops need.
void EnsureCoreApplication();

// Shows bytes in failure messages: printable ASCII as is, everything else as \xNN.
void PrintTo(const QByteArray &bytes, std::ostream *out);

// A relay client for the tests: a real socket on loopback, lines read with bounded waits.
// Every line it reads must end in CR LF; nextLine gives it without them.
class RelayTestClient {
public:
    static constexpr int WaitTime = 5000;

    RelayTestClient();
    ~RelayTestClient();

    // Connects over loopback, from the given local address when one is given.
    bool connectTo(quint16 port, const QHostAddress &from = {});
    // TLS without checking the relay's certificate, as the lesson client does.
    bool connectTls(quint16 port);

    void send(const QByteArray &line) { sendRaw(line + "\r\n"); }
    void sendRaw(const QByteArray &bytes);
    // The next line, or a null QByteArray (and a test failure) when none came in time.
    QByteArray nextLine(int timeout = WaitTime);
    // Sends the sign-on line with the right key and gives the answer.
    QByteArray signOn(const QByteArray &id);
    bool waitClosed(int timeout = WaitTime);
    QTcpSocket &socket() { return *m_socket; }

private:
    bool takeLine(QByteArray &line);
    bool waitFor(const std::function<bool()> &done, int timeout);

    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_received;
};
