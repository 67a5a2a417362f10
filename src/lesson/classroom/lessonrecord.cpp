#include "lessonrecord.h"

#include "lang/texts.h"

void TLessonRecord::begin(const QDateTime &at) {
    m_began = at;
    m_pages.clear();
    m_recordings.clear();
}

void TLessonRecord::pageShown(const QString &book, int page) {
    const QString entry =
        page > 0 ? book + QStringLiteral(", ") + AppText(281) + u' ' + QString::number(page) : book;
    if (!m_pages.contains(entry))
        m_pages.append(entry);
}

void TLessonRecord::recordingPlayed(const QString &title) {
    if (!title.isEmpty() && !m_recordings.contains(title))
        m_recordings.append(title);
}
