#pragma once

class TClientTable;

// A client's hours and amounts as the user dialog's statistics tab shows them, computed from
// the current record of a user table (a missing or empty field counts as 0).
struct TUserStatistics {
    double hoursOrdered = 0, amountOrdered = 0;
    double hoursPayed = 0, amountPayed = 0;
    double hoursToPay = 0, amountToPay = 0; // ordered minus paid; negative when overpaid
    double learned = 0, missed = 0, expired = 0;
    double used = 0;   // learned + missed + expired + cancelled but paid
    double unused = 0; // paid minus used
    double reserved = 0, unconfirmed = 0, confirmed = 0;
};

TUserStatistics UserStatistics(TClientTable &user);
