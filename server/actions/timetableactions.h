#pragma once

#include "server/actions/actioncontext.h"

// "settimetablestatus": a client books a free slot (status 2, only with bookable hours) or
// cancels his own booking (status 1); a teacher confirms, holds or marks missed his own
// lessons (3, 4, 5); staff set any status and may put a client on a free slot with
// "idclientnew". Every change is written to the lesson's status history.
ActionReply SetTimetableStatusAction(ActionContext &ctx);
