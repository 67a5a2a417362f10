#pragma once

#include "server/actions/actioncontext.h"

// "login": checks name and password (203 when wrong), records the sign-in, and answers
// with an update demand, a new book catalogue, or the session and its lookup packets.
ActionReply LoginAction(ActionContext &ctx);
// Compares dotted version texts number by number (missing or unreadable parts count as 0).
int CompareVersions(const QString &a, const QString &b);
