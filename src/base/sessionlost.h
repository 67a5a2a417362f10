#pragma once

#include <functional>

// The server has ended the session that a request carried (it answered 203). The handler
// that the program installs ends the local session; it may do so later, from the event loop.
void SetSessionLostHandler(std::function<void()> handler);
void NotifySessionLost();
