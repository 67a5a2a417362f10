#include "server/booking/bookingactions.h"

#include "server/booking/calendarfeed.h"
#include "server/booking/featuresaction.h"
#include "server/booking/repeatbooking.h"
#include "server/booking/slotwaits.h"
#include "wire/actionnames.h"

#include <QHash>

BookingActionHandler BookingHandler(const QByteArray &action) {
    static const QHash<QByteArray, BookingActionHandler> handlers{
        {ActionNames::BookingFeatures, BookingFeaturesAction},
        {ActionNames::NextLesson, NextLessonAction},
        {ActionNames::RepeatBooking, RepeatBookingAction},
        {ActionNames::CalendarFeed, CalendarFeedAction},
        {ActionNames::WaitForSlot, WaitForSlotAction},
    };
    return handlers.value(action);
}
