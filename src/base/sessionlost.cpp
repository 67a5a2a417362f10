#include "base/sessionlost.h"

namespace {

std::function<void()> &sessionLostHandler() {
    static std::function<void()> handler;
    return handler;
}

} // namespace

void SetSessionLostHandler(std::function<void()> handler) {
    sessionLostHandler() = std::move(handler);
}

void NotifySessionLost() {
    if (sessionLostHandler())
        sessionLostHandler()();
}
