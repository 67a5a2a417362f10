#pragma once

#include "net/requestoutcome.h"
#include "net/serverrequest.h"

#include <QPoint>
#include <QSize>
#include <QString>

// Runs a server request through the application's request runner and hands back its outcome;
// never raises. With the dialog the request runs inside the modal progress dialog, whose
// cancel button ends it with -2; without it the request runs under the busy cursor with user
// input held back until it has ended. The data text goes out in the 8-bit code page; callers
// that need other bytes (UTF-8) pass a ServerRequest.
RequestOutcome RunRequest(const QString &caption, const QString &action, const QString &data,
                          bool useDialog, bool withoutSession);
RequestOutcome RunRequest(const ServerRequest &call);

// The progress dialog's size, and the place of its top-left corner from now on (the sign-in
// puts it over the middle of the main window). Without a place it is centred over the active
// window.
QSize RequestDialogSize();
// From now on a direct request (no dialog, busy cursor) that takes longer than about two
// seconds shows the progress dialog with its cancel button, so the user can always get out.
void InstallSlowRequestDialog();
void SetRequestDialogPosition(const QPoint &topLeft);
