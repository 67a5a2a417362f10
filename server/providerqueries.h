#pragma once

#include "server/actioncontext.h"
#include "server/packetbuilder.h"

// The rows of each provider for the signed-in user: what he may see, in his language.
// Each raises Refusal(NotAllowed) for a user type that may not read the provider.
PacketBuilder FetchOrderTypes(ActionContext &ctx);
PacketBuilder FetchCourses(ActionContext &ctx);
PacketBuilder FetchOrderStatuses(ActionContext &ctx);
PacketBuilder FetchTtStatuses(ActionContext &ctx);
PacketBuilder FetchUserLevels(ActionContext &ctx);
PacketBuilder FetchUserTypes(ActionContext &ctx);
PacketBuilder FetchUsers(ActionContext &ctx);
PacketBuilder FetchUserInfo(ActionContext &ctx);
PacketBuilder FetchOrders(ActionContext &ctx);
PacketBuilder FetchOrderHistory(ActionContext &ctx);
PacketBuilder FetchTimetable(ActionContext &ctx);
PacketBuilder FetchTtStatusHistory(ActionContext &ctx);
PacketBuilder FetchUserRemarks(ActionContext &ctx);
PacketBuilder FetchLogins(ActionContext &ctx);
PacketBuilder FetchMessages(ActionContext &ctx);
PacketBuilder FetchOnlineTeachers(ActionContext &ctx);

// The SQL text of a user's display name ("Surname Firstname") for a table alias.
QString FullNameSql(const QString &alias);
