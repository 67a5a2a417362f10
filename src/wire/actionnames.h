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
// Lesson calls: the STUN/TURN servers with a short-lived TURN credential.
inline constexpr char GetCallServers[] = "getcallservers";

} // namespace ActionNames
