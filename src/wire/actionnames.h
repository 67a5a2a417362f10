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

} // namespace ActionNames
