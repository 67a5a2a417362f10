#pragma once

#include "server/actions/actioncontext.h"

class FreeSlotCache;
class SchoolDatabase;

// What one request thread works with: its own database connection and the server's shared
// sessions, throttle, options and clock.
struct ServerState {
    SchoolDatabase &db;
    SessionStore &sessions;
    LoginThrottle &throttle;
    const ServerOptions &options;
    const ServerClock &clock;
    OnlineClientIds onlineClientIds;
    FreeSlotCache *freeSlots = nullptr;
};

// Runs one request to the script: finds the session before it reads the body's fields, runs
// the named action, turns refusals and failures into "error" replies, and puts a renewed
// session id in front of a reply when the session is old enough.
ActionReply DispatchAction(ActionRequest request, ServerState &state);
