#pragma once

#include <QString>

// Message types; they pick the caption and the icon of a message box.
enum MsgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };

// Buttons of a message box, combined into one of the six allowed button sets.
enum MsgButton {
    mbOK = 0x01,
    mbCancel = 0x02,
    mbAbort = 0x04,
    mbRetry = 0x08,
    mbIgnore = 0x10,
    mbYes = 0x20,
    mbNo = 0x40,
};

// Result codes of the pressed button.
enum MsgResult {
    mrOK = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7
};

// The caption of a message type in the current language.
QString MessageCaption(int type);

// Shows a modal message box with the caption of its type and the given button set
// (mbOK, mbOK|mbCancel, mbYes|mbNo, mbYes|mbNo|mbCancel, mbCancel|mbRetry,
// mbAbort|mbRetry|mbIgnore) and returns the code of the pressed button. Any other set first
// shows "Msgdlg buttons error!" and then the box with OK alone. A non-zero help context
// adds a Help button.
int AppMessageBox(const QString &text, int type, int buttons, int helpContext = 0);

// Shows the given shape as long as at least one BeginBusyCursor is not yet ended; the
// cursor that showed before the outermost begin comes back at the outermost end.
void BeginBusyCursor(int shape);
void EndBusyCursor();
// The nesting depth of the busy cursor.
int BusyCursorDepth();

// Keeps the busy cursor for the lifetime of the object (the hourglass unless told otherwise).
class BusyCursorScope {
public:
    explicit BusyCursorScope(int shape = 16 /* Qt::BusyCursor */) { BeginBusyCursor(shape); }
    ~BusyCursorScope() { EndBusyCursor(); }
    BusyCursorScope(const BusyCursorScope &) = delete;
    BusyCursorScope &operator=(const BusyCursorScope &) = delete;
};
