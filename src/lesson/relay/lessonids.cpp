#include "lessonids.h"

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
    return QString::fromLatin1(clientId.mid(prefix.size()));
}
