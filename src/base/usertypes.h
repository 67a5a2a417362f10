#pragma once

// The user types of the school's accounts. Types 1 and 2 are staff (type 1 also manages
// type-1 users), 3 is a teacher, 4 a client (student); a missing type counts as a client.
namespace UserTypes {

inline constexpr int Administrator = 1;
inline constexpr int Manager = 2;
inline constexpr int Teacher = 3;
inline constexpr int Client = 4;

// Staff: the administrator and the managers.
inline constexpr bool IsStaff(int type) {
    return type == Administrator || type == Manager;
}
// In a lesson the client is the student side and every other type the teacher side.
inline constexpr bool IsStudentSide(int type) {
    return type == Client;
}

} // namespace UserTypes
