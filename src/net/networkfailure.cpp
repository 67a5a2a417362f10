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
    // The transport's own words ("Connection refused", "Operation canceled") are English and
    // technical: the request runner has written them to the log; the user reads our sentence.
    Q_UNUSED(detail);
    return NetworkFailureText(failure);
}
