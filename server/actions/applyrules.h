#pragma once

#include "server/actions/actioncontext.h"
#include "server/actions/changeset.h"

// What a provider accepts from a change set; a missing operation is refused. Who may send a
// change set at all is checked before it is read; each rule then checks the user's type and
// the row, stamps what the server owns, and writes the row.
struct ApplyRules {
    bool (*mayApply)(const ActionContext &) = nullptr; // nullptr: every signed-in user
    void (*insert)(ActionContext &, const ChangeOp &) = nullptr;
    void (*remove)(ActionContext &, const ChangeOp &) = nullptr;
    void (*modify)(ActionContext &, const ChangeOp &) = nullptr;
};

ApplyRules TimetableRules();
ApplyRules OrderRules();
ApplyRules UserRules();
ApplyRules UserInfoRules();
ApplyRules UserRemarkRules();
ApplyRules LoginRules();
ApplyRules MessageRules();

// Writes one status change of a lesson into its history.
void RecordTimetableHistory(ActionContext &ctx, qint64 idTimetable, const QVariant &oldStatus,
                            int newStatus, qint64 oldTeacher, qint64 newTeacher, qint64 oldUser,
                            qint64 newUser);
