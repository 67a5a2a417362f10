#pragma once

#include "server/actions/actioncontext.h"

// "logout": ends the session (every id handed out for it).
ActionReply LogoutAction(ActionContext &ctx);
// "relaytoken": "ok" and a token that proves one relay sign-on of the user for two minutes.
ActionReply RelayTokenAction(ActionContext &ctx);
// "changepass": "pass" sets the user's own password; "iduser" (staff) resets that user's
// password to empty.
ActionReply ChangePassAction(ActionContext &ctx);
// "posttestresult": stores a client's entrance test score.
ActionReply PostTestResultAction(ActionContext &ctx);
