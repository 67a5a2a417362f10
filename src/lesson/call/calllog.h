#pragma once

#include <QLoggingCategory>

// The call's log: signalling refused, engine failures, routes and timings.
Q_DECLARE_LOGGING_CATEGORY(lcCall)
