#include "net/networkfailure.h"

#include "lang/texts.h"

QString NetworkFailureText(NetworkFailure failure) {
    switch (failure) {
    case NetworkFailure::Refused:
        return AppText(1001);
    case NetworkFailure::Unreachable:
        return AppText(1002);
    case NetworkFailure::TimedOut:
        return AppText(1003);
    case NetworkFailure::Certificate:
        return AppText(1004);
    case NetworkFailure::None:
    case NetworkFailure::Other:
        break;
    }
    return AppText(142);
}

QString NetworkFailureMessage(NetworkFailure failure, const QString &detail) {
    const QString text = NetworkFailureText(failure);
    return detail.isEmpty() ? text : text + u'\n' + detail;
}
