#include "calllog.h"

Q_LOGGING_CATEGORY(lcCall, "tellavo.lesson.call")
