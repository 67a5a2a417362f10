#pragma once

#include <QString>

class TClientTable;

// The client's ordered hours as the timetable's hours panel shows them, from his row of
// cd_user_info: what was paid, spent, expired and allowed as debit, what is booked, and
// what is left to book.
struct THoursBalance {
    double payed = 0;       // HOURSPAYED
    double learned = 0;     // HOURSLEARNED
    double missed = 0;      // HOURSMISSED
    double stornoPay = 0;   // HOURSSTORNOPAY
    double expired = 0;     // HOURSEXPIRED
    double debit = 0;       // HOURDEBIT
    double unconfirmed = 0; // HOURSUNCONFIRMED
    double confirmed = 0;   // HOURSCONFIRMED
    QString expiry;         // WHENEXPIREHOURSFREE as text

    // Reads the current row of the table; a missing field raises AppError.
    static THoursBalance FromUserInfo(TClientTable &info);

    // Held, missed and cancelled-but-paid hours.
    double Spent() const { return learned + missed + stornoPay; }
    // Paid hours less the expired and spent ones, plus the allowed debit.
    double Free() const { return payed - expired - Spent() + debit; }
    // Free hours less the booked ones.
    double Bookable() const { return Free() - unconfirmed - confirmed; }
    // The expiry date while something is bookable, otherwise "-  ".
    QString ExpiryText() const;
};
