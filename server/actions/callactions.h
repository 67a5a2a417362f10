#pragma once

#include "server/actions/actioncontext.h"

// "getcallservers": the STUN and TURN servers of lesson calls, with a TURN credential that
// lasts --turn-ttl seconds (the TURN REST scheme: username "expiry:userid", credential the
// base64 of HMAC-SHA1 over the username with the secret shared with the TURN server). "ok" and
// lines name=value; without TURN configured only the STUN lines (or nothing).
ActionReply GetCallServersAction(ActionContext &ctx);

// The TURN credential of a username, as the TURN server computes it from the shared secret.
QByteArray TurnCredential(const QByteArray &secret, const QByteArray &username);
