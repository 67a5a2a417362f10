#pragma once

#include "server/actioncontext.h"

class SchoolDatabase;

// The server's shared state that every request reaches.
struct ServerState {
    SchoolDatabase &db;
    SessionStore &sessions;
    const ServerOptions &options;
    const ServerClock &clock;
    OnlineClientIds onlineClientIds;
};

// Runs one request to the script: finds the session, runs the named action, turns refusals
// and failures into "error" replies, and puts a renewed session id in front of a reply when
// the session is old enough.
ActionReply DispatchAction(const ActionRequest &request, ServerState &state);
