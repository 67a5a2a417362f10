#include "relayhub.h"

#include "relayconnection.h"
#include "relaylog.h"
#include "relaytlsserver.h"
#include "server/ops/servermetrics.h"
#include "wire/relay/relayprotocol.h"

#include <QPointer>
#include <QSslKey>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <utility>

namespace {

const QByteArray ListCommand = "@listactiveusers";

} // namespace

RelayHub::RelayHub(QObject *parent)
    : QObject(parent), m_maxPendingOutput(RelayConnection::DefaultMaxPendingOutput) {}

RelayHub::~RelayHub() {
    close();
}

bool RelayHub::listen(const QHostAddress &address, quint16 port) {
    if (m_server) {
        m_errorString = QStringLiteral("The relay is already listening in clear.");
        return false;
    }
    auto *server = new QTcpServer(this);
    if (!startListening(server, address, port))
        return false;
    m_server = server;
    return true;
}

bool RelayHub::listenTls(const QHostAddress &address, quint16 port,
                         const QSslConfiguration &configuration) {
    if (m_tlsServer) {
        m_errorString = QStringLiteral("The relay is already listening with TLS.");
        return false;
    }
    if (configuration.localCertificate().isNull() || configuration.privateKey().isNull()) {
        m_errorString = QStringLiteral("The relay needs a certificate and a key for TLS.");
        return false;
    }
    auto *server = new RelayTlsServer(configuration, this);
    if (!startListening(server, address, port))
        return false;
    m_tlsServer = server;
    return true;
}

bool RelayHub::startListening(QTcpServer *server, const QHostAddress &address, quint16 port) {
    if (!server->listen(address, port)) {
        m_errorString = server->errorString();
        delete server;
        return false;
    }
    connect(server, &QTcpServer::newConnection, this, [this, server] { acceptPending(server); });
    return true;
}

quint16 RelayHub::serverPort() const {
    return m_server ? m_server->serverPort() : 0;
}

quint16 RelayHub::tlsServerPort() const {
    return m_tlsServer ? m_tlsServer->serverPort() : 0;
}

QStringList RelayHub::onlineClientIds() const {
    QMutexLocker locker(&m_onlineLock);
    return m_onlineIds;
}

void RelayHub::refreshOnlineIds() {
    QStringList ids;
    for (const QByteArray &id : m_directory.clientIds())
        ids.append(QString::fromLatin1(id));
    QMutexLocker locker(&m_onlineLock);
    m_onlineIds = ids;
}

void RelayHub::close() {
    delete m_server;
    delete m_tlsServer;
    m_server = m_tlsServer = nullptr;
    const bool wasOnline = m_directory.size() > 0;
    const QSet<RelayConnection *> connections = std::exchange(m_connections, {});
    m_directory.clear();
    refreshOnlineIds();
    for (RelayConnection *connection : connections) {
        connection->disconnect(this);
        delete connection;
    }
    if (wasOnline)
        emit onlineClientsChanged();
}

void RelayHub::acceptPending(QTcpServer *server) {
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        auto *connection = new RelayConnection(socket, m_signOnTimeout, m_maxPendingOutput, this);
        m_connections.insert(connection);
        connect(connection, &RelayConnection::lineReceived, this,
                [this, connection](const QByteArray &line) {
                    // Nothing may leave an event handler: a line that fails ends its
                    // connection, never the process.
                    try {
                        handleLine(connection, line);
                    } catch (const std::exception &error) {
                        qCWarning(lcRelay).noquote() << "line failed:" << error.what();
                        connection->refuse("serverfailure");
                    }
                });
        // Queued, so that no list of connections is changed while it is being walked; the
        // guard skips a connection that close() has already deleted.
        connect(
            connection, &RelayConnection::closed, this,
            [this, guard = QPointer(connection)] {
                if (guard)
                    dropConnection(guard);
            },
            Qt::QueuedConnection);
    }
}

void RelayHub::dropConnection(RelayConnection *connection) {
    if (!m_connections.remove(connection))
        return;
    const QByteArray id = connection->clientId();
    connection->deleteLater();
    if (!connection->isSignedOn() || !m_directory.remove(id, connection))
        return;
    refreshOnlineIds();
    announceGroup(RelayProtocol::GroupOf(id));
    emit onlineClientsChanged();
}

void RelayHub::handleLine(RelayConnection *connection, const QByteArray &line) {
    if (line.isEmpty())
        return;
    QByteArray rest = line;
    const QByteArray command = RelayProtocol::TakeField(rest);
    if (!connection->isSignedOn()) {
        if (command == "c")
            signOn(connection, rest);
        else
            connection->refuse("notsignedon");
    } else if (command == ListCommand) {
        connection->sendLine(listLine(RelayProtocol::GroupOf(connection->clientId())));
    } else if (command == "@sayclient") {
        sayClient(connection, line, rest);
    } else if (command == "c") {
        connection->sendLine("@error;alreadysignedon");
    } else {
        connection->sendLine("@error;unknowncommand");
    }
}

void RelayHub::signOn(RelayConnection *connection, QByteArray rest) {
    const QByteArray id = RelayProtocol::TakeField(rest);
    const bool hasToken = rest.contains(';');
    const QByteArray key = RelayProtocol::TakeField(rest);
    const QByteArray token = rest; // a token holds no ";"; anything after one is refused
    SignOnVerdict verdict;
    if (key != RelayProtocol::SignOnKey || (hasToken && !RelayProtocol::IsToken(token)))
        verdict.refusal = "badkey";
    else if (!RelayProtocol::IsClientId(id))
        verdict.refusal = "badclientid";
    else if (m_signOnCheck)
        verdict = m_signOnCheck(id, token, connection->peerAddress());
    const QByteArray refusal =
        verdict.refusal.isEmpty() ? signOnRefusal(connection, id, verdict) : verdict.refusal;
    const QString address = connection->peerAddress().toString();
    if (!refusal.isEmpty()) {
        qCInfo(lcRelay).noquote() << "sign-on refused id=" + QString::fromLatin1(id.left(60))
                                  << "address=" + address << "reason=" + refusal;
        ServerMetrics::instance().countRelaySignOn(false);
        connection->refuse(refusal);
        return;
    }
    ServerMetrics::instance().countRelaySignOn(true);
    qCInfo(lcRelay).noquote() << "sign-on id=" + QString::fromLatin1(id) << "address=" + address
                              << (verdict.proved ? "proof=token" : "proof=address");
    connection->markSignedOn(id);
    connection->setSessionFamily(verdict.family);
    connection->sendLine("@loginok;" + id);
    RelayConnection *replaced = m_directory.add(id, connection);
    refreshOnlineIds();
    if (replaced)
        replaced->refuse("replaced");
    announceGroup(RelayProtocol::GroupOf(id));
    if (!replaced)
        emit onlineClientsChanged();
}

// Forwards the payload as "@clientsaid;sender;payload" and echoes the sender's whole line
// followed by the status: OK when delivered, NOTFOUND when the target is not on line or not
// of the sender's lesson group (a lesson is one teacher and his students; nobody sends into
// another lesson), TOOLONG when the forwarded line would exceed what a client reads. A sender
// whose lines would overfill the receiver's queue is the one cut off: the receiver, reading
// at its own pace, keeps its connection.
void RelayHub::sayClient(RelayConnection *connection, const QByteArray &line, QByteArray rest) {
    const QByteArray target = RelayProtocol::TakeField(rest);
    RelayConnection *receiver = m_directory.find(target);
    QByteArray status = "OK";
    if (!receiver || receiver->isClosing() ||
        RelayProtocol::GroupOf(target) != RelayProtocol::GroupOf(connection->clientId())) {
        status = "NOTFOUND";
    } else {
        const QByteArray forward = "@clientsaid;" + connection->clientId() + ';' + rest;
        if (forward.size() > RelayProtocol::MaxLineLength) {
            status = "TOOLONG";
        } else if (!receiver->hasRoomFor(forward.size() + 2)) {
            qCInfo(lcRelay).noquote()
                << "cut off" << connection->clientId() << "for flooding" << target;
            connection->refuse("flood");
            return;
        } else {
            receiver->sendLine(forward);
        }
    }
    connection->sendLine(line + status);
}

// Why the id may not sign on over this connection; empty when it may.
QByteArray RelayHub::signOnRefusal(RelayConnection *connection, const QByteArray &id,
                                   const SignOnVerdict &verdict) const {
    const QHostAddress address = connection->peerAddress();
    const QByteArray group = RelayProtocol::GroupOf(id);
    if (m_studentsNeedTeacher && group != id && !m_directory.find(group))
        return "teacheroffline";
    const RelayConnection *current = m_directory.find(id);
    // A comeback replaces the old connection: from the same address, or from anywhere when a
    // token proves it (a student whose network changed).
    if (current)
        return verdict.proved ||
                       current->peerAddress().isEqual(address, QHostAddress::TolerantConversion)
                   ? QByteArray()
                   : QByteArray("inuse");
    const QList<QByteArray> groupIds = m_directory.groupIds(group);
    if (groupIds.size() >= m_maxPerGroup)
        return "groupfull";
    qsizetype listSize = ListCommand.size() + 1 + id.size();
    for (const QByteArray &member : groupIds)
        listSize += 1 + member.size();
    if (listSize > RelayProtocol::MaxLineLength)
        return "groupfull";
    if (signOnsFrom(address) >= m_maxPerAddress)
        return "addressfull";
    return {};
}

void RelayHub::setSessionCheck(SessionCheck check, int intervalMs) {
    m_sessionCheck = std::move(check);
    if (!m_sessionTimer) {
        m_sessionTimer = new QTimer(this);
        connect(m_sessionTimer, &QTimer::timeout, this, &RelayHub::checkSessions);
    }
    m_sessionTimer->start(intervalMs);
}

// A lesson lasts no longer than the sign-in it was proved by: signing out, a password change
// or a switched-off account ends the relay connections too. A connection without a known
// sign-in (a hub without a central server) is left alone.
void RelayHub::checkSessions() {
    if (!m_sessionCheck)
        return;
    const QSet<RelayConnection *> connections = m_connections;
    for (RelayConnection *connection : connections) {
        const qint64 family = connection->sessionFamily();
        if (family == 0 || connection->isClosing() || m_sessionCheck(family))
            continue;
        qCInfo(lcRelay).noquote() << "sign-in ended, closing id=" + connection->clientId();
        connection->refuse("signedout");
    }
}

int RelayHub::signOnsFrom(const QHostAddress &address) const {
    int count = 0;
    for (const RelayConnection *c : m_connections)
        if (c->isSignedOn() && c->peerAddress().isEqual(address, QHostAddress::TolerantConversion))
            ++count;
    return count;
}

QByteArray RelayHub::listLine(const QByteArray &group) const {
    QByteArray list = ListCommand;
    for (const QByteArray &id : m_directory.groupIds(group))
        list += ';' + id;
    return list;
}

// The clients of a lesson group learn of every client of their group that comes or goes. The
// list names only the group: that is all a client looks for, and a list of a whole school
// would outgrow the line length a client reads.
void RelayHub::announceGroup(const QByteArray &group) {
    const QByteArray list = listLine(group);
    for (const QByteArray &id : m_directory.groupIds(group)) {
        RelayConnection *member = m_directory.find(id);
        if (!member->isClosing())
            member->sendLine(list);
    }
}
