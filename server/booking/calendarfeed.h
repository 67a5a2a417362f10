#pragma once

#include "server/actions/actioncontext.h"

#include <optional>

struct ServerState;

// "calendarfeed": the signed-in user's secret calendar address ("op=get" makes one when he
// has none, "op=show" only shows one he has) or its revocation ("op=revoke": the address stops
// answering at once). The reply is "ok" and the address's path on this server, empty after a
// revocation.
ActionReply CalendarFeedAction(ActionContext &ctx);

// A GET of a feed address, which needs no session: the iCalendar document of that user's
// lessons, or 404 for anything that is not a live address. No value when the path is not
// under the feed folder at all.
std::optional<ActionReply> CalendarFeedReply(const QString &path, ServerState &state);

// The folder of the feed addresses: beside the script ("/tellavo/calendar/").
QString CalendarFeedFolder(const QString &scriptPath);
