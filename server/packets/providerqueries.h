#pragma once

#include "server/actions/actioncontext.h"
#include "server/packets/packetfields.h"
#include "server/packets/packetrows.h"

// The rows of each provider for the signed-in user: what he may see, in his language.
// Each writes the fields and then the rows to `rows`, and raises Refusal(NotAllowed), before
// writing anything, for a user type that may not read the provider.
void FetchOrderTypes(ActionContext &ctx, PacketRows &rows);
void FetchCourses(ActionContext &ctx, PacketRows &rows);
void FetchOrderStatuses(ActionContext &ctx, PacketRows &rows);
void FetchTtStatuses(ActionContext &ctx, PacketRows &rows);
void FetchUserLevels(ActionContext &ctx, PacketRows &rows);
void FetchUserTypes(ActionContext &ctx, PacketRows &rows);
void FetchUsers(ActionContext &ctx, PacketRows &rows);
void FetchUserInfo(ActionContext &ctx, PacketRows &rows);
void FetchOrders(ActionContext &ctx, PacketRows &rows);
void FetchOrderHistory(ActionContext &ctx, PacketRows &rows);
void FetchTimetable(ActionContext &ctx, PacketRows &rows);
void FetchTtStatusHistory(ActionContext &ctx, PacketRows &rows);
void FetchUserRemarks(ActionContext &ctx, PacketRows &rows);
void FetchLogins(ActionContext &ctx, PacketRows &rows);
void FetchMessages(ActionContext &ctx, PacketRows &rows);
void FetchOnlineTeachers(ActionContext &ctx, PacketRows &rows);

// The fields of the timetable's packet, and the select of its rows in the session's
// language for the session's job ("... WHERE T.IDJOB = ?", to be followed by more conditions
// and "ORDER BY 2, 1").
QList<TFieldDef> TimetableFields();
QString TimetableSelect(const ActionContext &ctx);

// The SQL text of a user's display name ("Surname Firstname") for a table alias.
QString FullNameSql(const QString &alias);
