#include "server/http/httplog.h"

Q_LOGGING_CATEGORY(lcHttp, "tellavo.server.http", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRefusal, "tellavo.server.refusal")
