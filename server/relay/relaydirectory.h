#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

class RelayConnection;

// Who is on line at the relay: each client id with its connection, in sign-on order, and the
// lesson groups (job and teacher) that the ids belong to.
class RelayDirectory {
public:
    // Puts the connection on line under id; returns the connection it replaces, if any.
    RelayConnection *add(const QByteArray &id, RelayConnection *connection);
    // Takes id off line when it still belongs to this connection; false otherwise.
    bool remove(const QByteArray &id, const RelayConnection *connection);
    RelayConnection *find(const QByteArray &id) const;

    // The ids of one lesson group, in sign-on order.
    QList<QByteArray> groupIds(const QByteArray &group) const { return m_groups.value(group); }
    // Every id on line, in sign-on order.
    QList<QByteArray> clientIds() const;
    qsizetype size() const { return m_online.size(); }
    void clear();

private:
    struct Entry {
        RelayConnection *connection = nullptr;
        quint64 order = 0;
    };

    QHash<QByteArray, Entry> m_online;
    QHash<QByteArray, QList<QByteArray>> m_groups;
    quint64 m_nextOrder = 0;
};
