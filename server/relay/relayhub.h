#pragma once

#include "relaydirectory.h"

#include <QHostAddress>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QSslConfiguration>
#include <QStringList>
#include <functional>

class QTcpServer;
class QTimer;
class RelayConnection;

// The lesson relay: accepts clients over clear TCP and TLS, signs them on under their client
// ids, tells the clients of each lesson group who of the group is on line, and forwards lines
// from one client to another.
//
// Lists: "@listactiveusers" answers with the ids of the asking client's lesson group (job and
// teacher), and every client of a group gets the list unasked whenever a client of the group
// comes or goes. "@sayclient;target;payload" is forwarded as "@clientsaid;sender;payload" and
// echoed with a status: OK, NOTFOUND (target not on line, or not of the sender's lesson group)
// or TOOLONG (the forwarded line would be longer than a client reads; nothing is forwarded).
// A sender whose lines would overfill the receiver's queue is cut off ("@error;flood").
//
// Sign-on: "c;id;key" or, with a token the central server issued to the user's session,
// "c;id;key;token". A wrong key, a malformed client id, a command before sign-on, an over-long line
// or a sign-on timeout is answered with "@error;" and a reason, and the connection is closed.
// When the hub runs beside the central server, a sign-on check ties each id to a live
// session of its user (the check's own reason otherwise, e.g. "@error;badtoken"), and the
// connections of a sign-in that has ended are closed ("@error;signedout"). A sign-on under
// an id that is already on line from the same address, or proved by a token, replaces the
// older connection, which gets "@error;replaced" and is closed: a client that lost its
// connection unnoticed can come back at once, from a new network too. Unproved, from another
// address it is refused ("@error;inuse"). When students need their teacher, a student's id
// signs on only while his teacher's id is on line ("@error;teacheroffline"). A lesson group and an
// address hold a bounded number of sign-ons ("@error;groupfull", "@error;addressfull"), and
// a group's list never grows beyond the line length a client reads.
class RelayHub : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultSignOnTimeout = 30000;

    explicit RelayHub(QObject *parent = nullptr);
    ~RelayHub() override;

    bool listen(const QHostAddress &address, quint16 port);
    bool listenTls(const QHostAddress &address, quint16 port,
                   const QSslConfiguration &configuration);
    quint16 serverPort() const;
    quint16 tlsServerPort() const;
    // Why the last listen or listenTls failed.
    QString errorString() const { return m_errorString; }

    // Every client id on line, in sign-on order (callable from any thread).
    QStringList onlineClientIds() const;

    // Time a new connection has to sign on, in milliseconds (TLS handshake included).
    void setSignOnTimeout(int milliseconds) { m_signOnTimeout = milliseconds; }
    // Bytes that may wait to be sent to one client before it counts as not reading.
    void setMaxPendingOutput(qint64 bytes) { m_maxPendingOutput = bytes; }
    // Sign-ons one lesson group and one address may hold at once.
    void setLimits(int perGroup, int perAddress) {
        m_maxPerGroup = perGroup;
        m_maxPerAddress = perAddress;
    }
    // What the central server says of a sign-on: why it is refused (empty: allowed), the
    // sign-in it belongs to (0: none) and whether a token proved it.
    struct SignOnVerdict {
        QByteArray refusal;
        qint64 family = 0;
        bool proved = false;
    };
    // Judges a client id signing on from an address with a token (empty when none came);
    // without a check every id may sign on.
    using SignOnCheck = std::function<SignOnVerdict(
        const QByteArray &id, const QByteArray &token, const QHostAddress &address)>;
    void setSignOnCheck(SignOnCheck check) { m_signOnCheck = std::move(check); }
    // Whether a sign-in still holds; asked for every connection of one every interval and
    // whenever checkSessions runs.
    using SessionCheck = std::function<bool(qint64 family)>;
    void setSessionCheck(SessionCheck check, int intervalMs);
    // Closes the connections whose sign-in has ended (call on the hub's thread).
    void checkSessions();
    // Students sign on only while their teacher is on line.
    void setStudentsNeedTeacher(bool on) { m_studentsNeedTeacher = on; }

    // Stops listening and drops every connection.
    void close();

signals:
    // The set of client ids on line has changed.
    void onlineClientsChanged();

private:
    bool startListening(QTcpServer *server, const QHostAddress &address, quint16 port);
    void acceptPending(QTcpServer *server);
    void dropConnection(RelayConnection *connection);
    void handleLine(RelayConnection *connection, const QByteArray &line);
    void signOn(RelayConnection *connection, QByteArray rest);
    void sayClient(RelayConnection *connection, const QByteArray &line, QByteArray rest);
    QByteArray listLine(const QByteArray &group) const;
    void announceGroup(const QByteArray &group);
    void refreshOnlineIds();
    QByteArray signOnRefusal(RelayConnection *connection, const QByteArray &id,
                             const SignOnVerdict &verdict) const;
    int signOnsFrom(const QHostAddress &address) const;

    QTcpServer *m_server = nullptr;
    QTcpServer *m_tlsServer = nullptr;
    QSet<RelayConnection *> m_connections;
    RelayDirectory m_directory;
    int m_signOnTimeout = DefaultSignOnTimeout;
    int m_maxPerGroup = 60;
    int m_maxPerAddress = 200;
    SignOnCheck m_signOnCheck;
    SessionCheck m_sessionCheck;
    QTimer *m_sessionTimer = nullptr;
    bool m_studentsNeedTeacher = false;
    mutable QMutex m_onlineLock;
    QStringList m_onlineIds; // a copy of the directory's ids for other threads
    qint64 m_maxPendingOutput;
    QString m_errorString;
};
