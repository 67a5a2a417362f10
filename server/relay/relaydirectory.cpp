#include "relaydirectory.h"

#include "wire/relay/relayprotocol.h"

#include <algorithm>

RelayConnection *RelayDirectory::add(const QByteArray &id, RelayConnection *connection) {
    RelayConnection *replaced = find(id);
    QList<QByteArray> &group = m_groups[RelayProtocol::GroupOf(id)];
    // A replacing connection signs on anew, so it moves to the end of the order.
    group.removeOne(id);
    group.append(id);
    m_online.insert(id, Entry{connection, m_nextOrder++});
    return replaced;
}

bool RelayDirectory::remove(const QByteArray &id, const RelayConnection *connection) {
    const auto found = m_online.constFind(id);
    if (found == m_online.cend() || found->connection != connection)
        return false;
    m_online.erase(found);
    const QByteArray groupName = RelayProtocol::GroupOf(id);
    QList<QByteArray> &group = m_groups[groupName];
    group.removeOne(id);
    if (group.isEmpty())
        m_groups.remove(groupName);
    return true;
}

RelayConnection *RelayDirectory::find(const QByteArray &id) const {
    return m_online.value(id).connection;
}

QList<QByteArray> RelayDirectory::clientIds() const {
    QList<std::pair<quint64, QByteArray>> ordered;
    ordered.reserve(m_online.size());
    for (auto it = m_online.cbegin(); it != m_online.cend(); ++it)
        ordered.append({it->order, it.key()});
    std::sort(ordered.begin(), ordered.end());
    QList<QByteArray> ids;
    ids.reserve(ordered.size());
    for (const auto &entry : ordered)
        ids.append(entry.second);
    return ids;
}

void RelayDirectory::clear() {
    m_online.clear();
    m_groups.clear();
}
