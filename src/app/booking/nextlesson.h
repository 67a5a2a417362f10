#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// The signed-in user's next booked lesson as the server's "nextlesson" tells it.
struct TNextLesson {
    qint64 id = 0;
    QDateTime when;  // the school's time
    QString partner; // the teacher for a client, the client for a teacher

    // The reply's lines after "ok"; no value when they name no lesson.
    static std::optional<TNextLesson> Parse(const QString &lines);
};
