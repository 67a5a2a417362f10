#include "screens/timetable/booking/bookingrules.h"

#include "base/bookingfeatures.h"
#include "base/namevaluelist.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "wire/actionnames.h"

#include <cmath>

namespace BookingRules {

namespace {
constexpr int kMaxWeeks = 52; // the server's own bound
}

QString CancelBlockedReason(const TBookingFeatures &features, const QDateTime &lesson,
                            const QDateTime &now) {
    if (!features.has(BookingFeatureNames::CancelDeadline) || !lesson.isValid())
        return {};
    if (now.secsTo(lesson) >= qint64(features.cancelDeadlineHours) * 3600)
        return {};
    return FormatText(AppText(1904), {features.cancelDeadlineHours});
}

bool IsLowBalance(const TBookingFeatures &features, double bookable) {
    return features.has(BookingFeatureNames::LowBalance) &&
           bookable <= features.lowBalanceHours + 1e-9;
}

int MaxRepeatWeeks(double bookable, double hoursPerLesson) {
    if (hoursPerLesson <= 0)
        return 0;
    const int weeks = int(std::floor(bookable / hoursPerLesson + 1e-9));
    return weeks < 2 ? 0 : qMin(weeks, kMaxWeeks);
}

QList<QDateTime> RepeatConflicts(const QString &replyLines) {
    NameValueList values;
    values.setText(replyLines);
    const int count = qBound(0, values.value(u"conflicts").toInt(), kMaxWeeks);
    QList<QDateTime> weeks;
    for (int i = 1; i <= count; ++i) {
        const QDateTime when =
            QDateTime::fromString(values.value(QStringLiteral("conflict%1").arg(i)),
                                  QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (when.isValid())
            weeks << when;
    }
    return weeks;
}

} // namespace BookingRules
