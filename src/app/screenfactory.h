#pragma once

#include "grid/screen.h"

#include <array>

// Creates the four screens of the main window in the order of its screen buttons (orders,
// timetable, users, lesson). A screen that is not built yet is an empty placeholder.
namespace ScreenFactory {

std::array<TScreen *, 4> createScreens();

} // namespace ScreenFactory
