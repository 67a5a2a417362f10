#pragma once

#include <QLoggingCategory>

// Log categories of the actions: failed actions (tellavo.server.actions, on) and one line per
// sign-in, accepted or refused (tellavo.server.signin, info, off unless switched on).
Q_DECLARE_LOGGING_CATEGORY(lcActions)
Q_DECLARE_LOGGING_CATEGORY(lcSignIn)
