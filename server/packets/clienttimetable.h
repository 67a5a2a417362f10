#pragma once

#include "server/actions/actioncontext.h"
#include "server/packets/packetoutput.h"

class FreeSlotCache;

// Writes a student's timetable packet (his own lessons and the free slots he can still book,
// by lesson time) from his own rows and the free slots his job's students share, the latter
// kept in the cache and spliced in as they were written and deflated. Gives false, having
// written nothing, when the rows are not in the forms it relies on; the caller then writes
// the packet from the query.
bool WriteClientTimetable(ActionContext &ctx, FreeSlotCache &cache, PacketOutput &out);
// Reads the free slots of the context's job in its language into the cache, unless it holds
// them already.
void PrimeFreeSlots(ActionContext &ctx, FreeSlotCache &cache);
