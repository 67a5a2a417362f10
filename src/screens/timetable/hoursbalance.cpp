#include "screens/timetable/hoursbalance.h"

#include "data/clienttable.h"

namespace {

// Below this the bookable hours count as none (sums of hour fractions are not exact).
constexpr double kNoHours = 1e-9;

} // namespace

THoursBalance THoursBalance::FromUserInfo(TClientTable &info) {
    const auto hours = [&info](const char *field) {
        return info.FieldByName(QString::fromLatin1(field)).AsFloat();
    };
    THoursBalance b;
    b.payed = hours("HOURSPAYED");
    b.learned = hours("HOURSLEARNED");
    b.missed = hours("HOURSMISSED");
    b.stornoPay = hours("HOURSSTORNOPAY");
    b.expired = hours("HOURSEXPIRED");
    b.debit = hours("HOURDEBIT");
    b.unconfirmed = hours("HOURSUNCONFIRMED");
    b.confirmed = hours("HOURSCONFIRMED");
    b.expiry = info.FieldByName(QStringLiteral("WHENEXPIREHOURSFREE")).AsString();
    return b;
}

QString THoursBalance::ExpiryText() const {
    return Bookable() > kNoHours ? expiry : QStringLiteral("-  ");
}
