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
// The notes of a lesson that the teacher sends the student (a PDF kept beside the chat), the
// list of a student's notes and one of them.
inline constexpr char PostLessonNotes[] = "postlessonnotes";
inline constexpr char GetLessonNotes[] = "getlessonnotes";
inline constexpr char GetLessonNote[] = "getlessonnote";

} // namespace ActionNames
