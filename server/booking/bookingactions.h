#pragma once

#include "server/actions/actioncontext.h"

#include <QByteArray>

// The handler of a booking feature's action, or nullptr for any other name.
using BookingActionHandler = ActionReply (*)(ActionContext &);
BookingActionHandler BookingHandler(const QByteArray &action);
