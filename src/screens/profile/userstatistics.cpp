#include "screens/profile/userstatistics.h"

#include "data/clienttable.h"

namespace {

double number(TClientTable &table, const char *field) {
    const auto f = table.FindField(QString::fromLatin1(field));
    return f && !table.IsEmpty() ? f->AsFloat() : 0.0;
}

} // namespace

TUserStatistics UserStatistics(TClientTable &user) {
    TUserStatistics s;
    if (!user.Active())
        return s;
    s.hoursOrdered = number(user, "HOURSORDERED");
    s.amountOrdered = number(user, "AMOUNTORDERED");
    s.hoursPayed = number(user, "HOURSPAYED");
    s.amountPayed = number(user, "AMOUNTPAYED");
    s.hoursToPay = s.hoursOrdered - s.hoursPayed;
    s.amountToPay = s.amountOrdered - s.amountPayed;
    s.learned = number(user, "HOURSLEARNED");
    s.missed = number(user, "HOURSMISSED");
    s.expired = number(user, "HOURSEXPIRED");
    s.used = s.learned + s.missed + s.expired + number(user, "HOURSSTORNOPAY");
    s.unused = s.hoursPayed - s.used;
    s.confirmed = number(user, "HOURSCONFIRMED");
    s.unconfirmed = number(user, "HOURSUNCONFIRMED");
    s.reserved = s.confirmed + s.unconfirmed;
    return s;
}
