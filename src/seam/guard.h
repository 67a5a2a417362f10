#pragma once

#include <functional>

// Runs a slot, event handler or timer body so that no exception crosses the event loop:
// an AppError (or any other exception) is shown in an error box, a SilentAbort is swallowed.
// Returns false when the body ended by an exception.
bool RunGuarded(const std::function<void()> &body);
