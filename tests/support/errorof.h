#pragma once

#include "errors/apperror.h"

#include <QString>
#include <functional>

// What a call ended with: the message of an AppError, "silent" for a SilentAbort, or
// "no error".
inline QString ErrorOf(const std::function<void()> &call) {
    try {
        call();
    } catch (const AppError &e) {
        return e.message();
    } catch (const SilentAbort &) {
        return QStringLiteral("silent");
    }
    return QStringLiteral("no error");
}
