#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The choices of the user filter dialog as the filter expression needs them.
struct TUserFilterValues {
    QString typeCondition;  // the type list's condition on USERTYPE; may be empty
    QString levelCondition; // the level list's condition on USERLEVEL; may be empty
    bool activeOnly = false;
    bool debtorsOnly = false;
    std::optional<QDate> from, to; // last sign-in
};

// The filter expression over cd_user: each condition in parentheses, joined with " AND ", in
// the order types, levels, active, debtors (paid hours below learned + expired + missed +
// cancelled-but-paid), last sign-in from, day after the to-date. Empty when nothing restricts.
QString UserFilterText(const TUserFilterValues &values);

// The users screen's filters of its tabs for the selected user.
QString UserOrdersCondition(qint64 userId);
// A student's lessons with every free slot; a teacher's (or staff member's) own lessons.
QString UserTimetableCondition(qint64 userId, bool student);
