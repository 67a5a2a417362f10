#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// A date edit mask in the form the field editors are given ("!99/99/99;1;_": digits, date
// separators, an optional leading "!", then the save-literals flag and the blank character),
// turned into what a line edit needs: its input mask and the digit groups of day, month and
// year.
struct TDateMask {
    QString inputMask; // the line edit's input mask ("00.00.00;_"); empty: no mask
    QList<int> groups; // digits of day, month and year
    bool usable() const { return groups.size() == 3; }
};

// Reads a mask; a mask that is not three digit groups gives an unusable (empty) mask.
TDateMask ParseDateMask(const QString &mask);
// The date as the masked edit shows it: day, month and year padded to their groups and
// joined by "."; a two-digit year group shows the year within its century.
QString FormatMaskedDate(const TDateMask &mask, const QDate &date);
// The date of masked text; nothing when no digit was entered. A two-digit year is taken
// within fifty years of the reference year. Raises AppError (the invalid-date text) when
// the digits make no date.
std::optional<QDate> ReadMaskedDate(const TDateMask &mask, const QString &text, int referenceYear);
