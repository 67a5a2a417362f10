#pragma once

// The names of the central server's actions, as the program sends them and the server
// dispatches them: one list, so the two cannot drift apart.
namespace ActionNames {

inline constexpr char Login[] = "login";
inline constexpr char Logout[] = "logout";
inline constexpr char GetRecords[] = "mybasegetrecords";
inline constexpr char ApplyUpdates[] = "mybaseapplyupdates";
inline constexpr char NewOrder[] = "neworder";
inline constexpr char SendEmailOrder[] = "sendemailorder";
inline constexpr char SetTimetableStatus[] = "settimetablestatus";
inline constexpr char ChangePass[] = "changepass";
inline constexpr char PostTestResult[] = "posttestresult";
inline constexpr char GetBookFile[] = "getbookfile";
inline constexpr char GetChatFile[] = "getchatfile";
inline constexpr char PostChatFile[] = "postchatfile";
// A short-lived token that proves the session's relay sign-on (servers before it answer
// "error", and the client then signs on without one).
inline constexpr char RelayToken[] = "relaytoken";

// Booking features a server may offer beyond the basic timetable; a server that does not know
// "bookingfeatures" offers none of them, and the program then sends none of the others.
inline constexpr char BookingFeatures[] = "bookingfeatures";
inline constexpr char NextLesson[] = "nextlesson";
inline constexpr char RepeatBooking[] = "bookrepeat";
inline constexpr char CalendarFeed[] = "calendarfeed";
inline constexpr char WaitForSlot[] = "waitforslot";
// Lesson calls: the STUN/TURN servers with a short-lived TURN credential.
inline constexpr char GetCallServers[] = "getcallservers";
// The notes of a lesson that the teacher sends the student (a PDF kept beside the chat), the
// list of a student's notes and one of them.
inline constexpr char PostLessonNotes[] = "postlessonnotes";
inline constexpr char GetLessonNotes[] = "getlessonnotes";
inline constexpr char GetLessonNote[] = "getlessonnote";

} // namespace ActionNames

// The words of the "bookingfeatures" reply's features line, one per feature.
namespace BookingFeatureNames {

inline constexpr char CancelDeadline[] = "deadline";
inline constexpr char LowBalance[] = "lowbalance";
inline constexpr char Repeat[] = "repeat";
inline constexpr char Feed[] = "feed";
inline constexpr char Reminders[] = "reminders";
inline constexpr char Waits[] = "waits";

} // namespace BookingFeatureNames
