// The booking features' rules and the server's answers as the program reads them.
#include "base/bookingfeatures.h"
#include "base/namevaluelist.h"
#include "lang/texts.h"
#include "screens/timetable/booking/bookingrules.h"

#include <gtest/gtest.h>

namespace {

TBookingFeatures AllOffered() {
    return TBookingFeatures::Parse(QStringLiteral(
        "features=deadline lowbalance repeat feed reminders waits\r\ncanceldeadlinehours=24\r\n"
        "lowbalancehours=2\r\nreminderhours=24\r\nslotfreedcount=0"));
}

} // namespace

// What an older or a broken server says reads as "nothing offered", never as a guess.
TEST(BookingFeatures, RepliesAreReadStrictlyAndKeptInTheSession) {
    const TBookingFeatures all = AllOffered();
    EXPECT_EQ(all.offered.size(), 6);
    EXPECT_TRUE(all.has("waits"));
    struct Case {
        const char *reply;
        int offered, deadline;
        double low;
    };
    const Case cases[] = {
        {"", 0, 24, 2},
        {"features=\r\ncanceldeadlinehours=48", 0, 48, 2},
        {"features=repeat  feed\ncanceldeadlinehours=-5\nlowbalancehours=abc", 2, 24, 2},
        {"features=deadline\rcanceldeadlinehours=99999\rlowbalancehours=3.5", 1, 24, 3.5},
    };
    for (const Case &c : cases) {
        const TBookingFeatures f = TBookingFeatures::Parse(QString::fromUtf8(c.reply));
        EXPECT_EQ(f.offered.size(), c.offered) << c.reply;
        EXPECT_EQ(f.cancelDeadlineHours, c.deadline) << c.reply;
        EXPECT_DOUBLE_EQ(f.lowBalanceHours, c.low) << c.reply;
    }
    // Freed slots: hostile counts and lines are bounded and skipped.
    const TBookingFeatures freed = TBookingFeatures::Parse(QStringLiteral(
        "slotfreedcount=999999\r\nslotfreed1=2026-12-14 09:00:00|Svobodová | Petra\r\n"
        "slotfreed2=garbage\r\nslotfreed3=2026-12-15 10:00:00"));
    ASSERT_EQ(freed.freedSlots.size(), 1);
    EXPECT_EQ(freed.freedSlots[0].teacher, QStringLiteral("Svobodová | Petra"));

    NameValueList session;
    EXPECT_TRUE(TBookingFeatures::FromSession(session).offered.isEmpty());
    session.setText(QStringLiteral("features=deadline\r\nsesid=1")); // a sign-in value
    EXPECT_TRUE(TBookingFeatures::FromSession(session).offered.isEmpty());
    TBookingFeatures stored = all;
    stored.cancelDeadlineHours = 6;
    stored.StoreIn(session);
    const TBookingFeatures back = TBookingFeatures::FromSession(session);
    EXPECT_EQ(back.offered, all.offered);
    EXPECT_EQ(back.cancelDeadlineHours, 6);
}

TEST(BookingRules, TheDeadlineBlocksOnlyWithinItsHours) {
    const QDateTime now(QDate(2026, 12, 11), QTime(10, 0));
    TBookingFeatures f = AllOffered();
    EXPECT_TRUE(BookingRules::CancelBlockedReason(f, now.addSecs(24 * 3600), now).isEmpty());
    const QString reason = BookingRules::CancelBlockedReason(f, now.addSecs(24 * 3600 - 1), now);
    EXPECT_TRUE(reason.startsWith(QStringLiteral("Rezervaci lze zrušit nejpozději 24 h")))
        << reason.toStdString();
    f.offered.remove(QStringLiteral("deadline"));
    EXPECT_TRUE(BookingRules::CancelBlockedReason(f, now.addSecs(60), now).isEmpty());
}

TEST(BookingRules, LowBalanceAndRepeatWeeks) {
    const TBookingFeatures f = AllOffered();
    EXPECT_TRUE(BookingRules::IsLowBalance(f, 2));
    EXPECT_TRUE(BookingRules::IsLowBalance(f, -1));
    EXPECT_FALSE(BookingRules::IsLowBalance(f, 2.5));
    EXPECT_FALSE(BookingRules::IsLowBalance(TBookingFeatures(), 0)) << "not offered";
    const struct {
        double bookable, hours;
        int weeks;
    } cases[] = {{1, 1, 0}, {2, 1, 2}, {5.5, 1, 5}, {1000, 1, 52}, {4, 2, 2}, {3, 0, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(BookingRules::MaxRepeatWeeks(c.bookable, c.hours), c.weeks) << c.bookable;
    const QList<QDateTime> conflicts = BookingRules::RepeatConflicts(
        QStringLiteral("conflicts=3\r\nconflict1=2026-12-24 "
                       "09:30:00\r\nconflict2=x\r\nconflict3=2027-01-07 09:30:00"));
    EXPECT_EQ(conflicts, (QList<QDateTime>{QDateTime(QDate(2026, 12, 24), QTime(9, 30)),
                                           QDateTime(QDate(2027, 1, 7), QTime(9, 30))}));
    EXPECT_TRUE(BookingRules::RepeatConflicts(QStringLiteral("conflicts=100000")).isEmpty());
}
