#pragma once

#include <functional>

// Lets the program's events run, user input held back, until the condition holds or the bound
// has passed, looking again every 10 ms; whether the condition held. The condition is looked
// at first, so a condition that already holds returns at once.
bool WaitBounded(const std::function<bool()> &reached, int boundMs);
