#pragma once

#include <QDateTime>
#include <QStringList>

// What a lesson covered, kept by the teacher's screen from the moment the student came: the
// pages shown and the recordings played, each once, in the order of their first time.
class TLessonRecord {
public:
    void begin(const QDateTime &at);
    // A page of a book (0 for an HTML book, which has no page numbers).
    void pageShown(const QString &book, int page);
    void recordingPlayed(const QString &title);

    const QDateTime &began() const { return m_began; }
    const QStringList &pages() const { return m_pages; }
    const QStringList &recordings() const { return m_recordings; }

private:
    QDateTime m_began;
    QStringList m_pages;
    QStringList m_recordings;
};
