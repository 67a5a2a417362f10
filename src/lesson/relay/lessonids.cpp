#include "lessonids.h"

#include "base/logging.h"

#include <algorithm>

QByteArray LessonIds::ClientId(const QString &userId) const {
    return QByteArray::number(m_jobId) + '_' + userId.toLatin1();
}

QByteArray LessonIds::PartnerClientId(const QString &partnerId) const {
    if (m_student)
        return ClientId(partnerId);
    return ClientId(QString::number(m_userId)) + '_' + partnerId.toLatin1();
}

QByteArray LessonIds::OwnClientId(const QString &teacherId) const {
    if (m_student)
        return ClientId(teacherId) + '_' + QByteArray::number(m_userId);
    return ClientId(QString::number(m_userId));
}

QString LessonIds::StudentOf(const QByteArray &clientId) const {
    const QByteArray prefix = ClientId(QString::number(m_userId)) + '_';
    if (!clientId.startsWith(prefix))
        return {};
    // A user id is a number; anything else in the list is no student of this teacher.
    const QByteArray id = clientId.mid(prefix.size());
    if (id.isEmpty() || id.size() > 9 ||
        !std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        qCInfo(lcLesson) << "relay list names a client id without a numeric user id:" << clientId;
        return {};
    }
    return QString::fromLatin1(id);
}
