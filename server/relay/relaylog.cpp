#include "relaylog.h"

Q_LOGGING_CATEGORY(lcRelay, "tellavo.server.relay")
