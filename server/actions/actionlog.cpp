#include "server/actions/actionlog.h"

Q_LOGGING_CATEGORY(lcActions, "tellavo.server.actions")
Q_LOGGING_CATEGORY(lcSignIn, "tellavo.server.signin", QtWarningMsg)
