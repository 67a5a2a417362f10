#include "pointerthrottle.h"

TPointerThrottle::TPointerThrottle(std::function<void(const QByteArray &)> send, int intervalMs,
                                   QObject *parent)
    : QObject(parent), m_send(std::move(send)), m_interval(intervalMs) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TPointerThrottle::sendPending);
}

void TPointerThrottle::post(const QByteArray &line) {
    m_pending = line;
    if (m_timer.isActive())
        return;
    const qint64 since = m_last.isValid() ? m_last.elapsed() : m_interval;
    if (since >= m_interval)
        sendPending();
    else
        m_timer.start(int(m_interval - since));
}

void TPointerThrottle::drop() {
    m_timer.stop();
    m_pending.clear();
}

void TPointerThrottle::sendPending() {
    if (m_pending.isNull())
        return;
    const QByteArray line = std::exchange(m_pending, QByteArray());
    m_last.start();
    ++m_sent;
    m_send(line);
}
