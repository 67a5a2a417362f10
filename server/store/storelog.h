#pragma once

#include <QLoggingCategory>

// Log category of the database side: lost and regained connections (tellavo.server.store).
Q_DECLARE_LOGGING_CATEGORY(lcStore)
