#pragma once

#include <QLoggingCategory>

// Log categories of the HTTP side: one line per request with its action, user, status and
// duration (tellavo.server.http, info, off unless switched on) and one per refused request
// with the reason (tellavo.server.refusal, on).
Q_DECLARE_LOGGING_CATEGORY(lcHttp)
Q_DECLARE_LOGGING_CATEGORY(lcRefusal)
