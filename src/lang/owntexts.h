#pragma once

// Texts of our own that the school's numbered tables do not have: messages, captions and hints
// of features beyond the listed ones. They are read like the application texts, by AppText
// with numbers from OwnTextFirst up, Czech and Slovak side by side. Ranges by area:
//   1000-1099 start, sign-in, settings, requests, tables and grids (from 1050: data, grids,
//             settings messages, message box and progress window captions)
//   1100-1199 profile, password and user dialog
//   1200-1299 orders          1300-1399 timetable       1400-1499 users administration
//   1500-1599 entrance test and rich text
//   1600-1699 lesson: relay, lesson screen, course books, audio
//   1700-1799 output: export, Excel, preview, print and PDF
//   1800-1899 lesson calls
//   1900-1999 booking features beyond the timetable (their own table, bookingtexts.cpp)
namespace texttables {

inline constexpr int OwnTextFirst = 1000;
inline constexpr int OwnTextLast = 1999;

struct OwnText {
    int number;
    const char *cs; // UTF-8
    const char *sk; // UTF-8
};

// The entry of that number, or nullptr when there is none.
const OwnText *FindOwnText(int number);
// The same within the booking features' range.
const OwnText *FindBookingText(int number);

} // namespace texttables
