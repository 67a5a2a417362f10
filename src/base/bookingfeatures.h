#pragma once

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

class NameValueList;

// What the central server offers beyond the basic timetable, as it answered "bookingfeatures"
// once after sign-in. It is kept in the session values, so it ends with the session; a server
// that did not answer offers nothing, and the program then shows none of the features.
struct TBookingFeatures {
    // A slot the client waited for that has come free.
    struct FreedSlot {
        QDateTime when;
        QString teacher;
    };

    QSet<QString> offered;        // words of BookingFeatureNames
    int cancelDeadlineHours = 24; // a client cancels no later than this before a lesson
    double lowBalanceHours = 2;   // bookable hours at or below which a client is warned
    int reminderHours = 24;
    QList<FreedSlot> freedSlots; // told once, at this sign-in

    bool has(const char *feature) const { return offered.contains(QLatin1String(feature)); }

    // The reply's name=value lines (after "ok"); unknown names and bad numbers are ignored.
    static TBookingFeatures Parse(const QString &lines);
    // What the session holds (nothing offered when the server was not asked or did not answer).
    static TBookingFeatures FromSession(const NameValueList &session);
    void StoreIn(NameValueList &session) const;
};
