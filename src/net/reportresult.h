#pragma once

#include "net/requestoutcome.h"

#include <QString>

// Shows the outcome of a server request: on success the success text in an information box
// (nothing when there is none); otherwise an error box with the text for the result code,
// followed by a carriage return and the reply when the reply is not empty.
void ReportResult(int result, const QString &reply, const QString &successText = QString());
// The same for a request's outcome; a failed exchange (-1) shows the sentence for its cause
// without the transport's own words (they go to the log), and a session that the server ended shows
// nothing here (the program ends the session and says so once).
void ReportResult(const RequestOutcome &outcome, const QString &successText = QString());

// The error text for a result code other than 0.
QString ResultText(int result);
// The refusal of a sign-in that waits after repeated failures, with the time left.
QString SignInBlockedText(int seconds);
