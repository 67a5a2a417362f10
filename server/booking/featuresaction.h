#pragma once

#include "server/actions/actioncontext.h"

// "bookingfeatures": the booking features this server offers and the school's settings for
// them, as name=value lines, and for a client the slots he waited for that have come free
// since he last asked (told once).
ActionReply BookingFeaturesAction(ActionContext &ctx);

// "nextlesson": the signed-in user's next booked lesson (as client or teacher) as name=value
// lines (idtimetable, whenhour, partner); nothing after "ok" when he has none.
ActionReply NextLessonAction(ActionContext &ctx);
