#include "server/store/storelog.h"

Q_LOGGING_CATEGORY(lcStore, "tellavo.server.store")
