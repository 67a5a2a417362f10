#pragma once

#include <QLoggingCategory>

// Log category of the lesson relay: sign-ons, refusals and dropped clients
// (tellavo.server.relay).
Q_DECLARE_LOGGING_CATEGORY(lcRelay)
