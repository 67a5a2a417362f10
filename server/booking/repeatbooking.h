#pragma once

#include "server/actions/actioncontext.h"

// "bookrepeat": a client books the slot "idtimetable" and the same teacher's slot at the same
// time in each of the following weeks, "weeks" in all (1 to 52, and no more than his bookable
// hours cover). All or nothing, in one transaction: when any week has no free slot at that time
// the refusal names every such week and nothing is booked. With "check=1" nothing is booked
// and the reply lists the weeks without a free slot ("conflicts=", then "conflict1=" ...).
ActionReply RepeatBookingAction(ActionContext &ctx);

// The most weeks one repeating booking may cover.
inline constexpr int kMaxRepeatWeeks = 52;
