#include "relaytlsserver.h"

#include <QSslSocket>

RelayTlsServer::RelayTlsServer(const QSslConfiguration &configuration, QObject *parent)
    : QTcpServer(parent), m_configuration(configuration) {}

void RelayTlsServer::incomingConnection(qintptr descriptor) {
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    socket->setSslConfiguration(m_configuration);
    socket->startServerEncryption();
    addPendingConnection(socket);
}
