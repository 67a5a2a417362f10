#pragma once

// The two numbered string tables of the interface in Czech and Slovak.
// Each array holds UTF-8 texts; index 0 holds entry 1. Unused entries are "".
namespace texttables {

inline constexpr int CommonCount = 199;
inline constexpr int AppCount = 449;

extern const char *const CommonCs[CommonCount];
extern const char *const CommonSk[CommonCount];
extern const char *const AppCs[AppCount];
extern const char *const AppSk[AppCount];

} // namespace texttables
