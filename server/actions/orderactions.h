#pragma once

#include "server/actions/actioncontext.h"

// "neworder": an order of an offered type for the signed-in user or, from staff, for a
// client; "ok" and the new order's id.
ActionReply NewOrderAction(ActionContext &ctx);
// "sendemailorder": tells the order's client its status by e-mail; the message is recorded
// and its text written to the outbox folder (the reference server sends no real mail).
ActionReply SendEmailOrderAction(ActionContext &ctx);
