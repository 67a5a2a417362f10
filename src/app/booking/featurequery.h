#pragma once

#include <functional>

struct RequestOutcome;
struct ServerRequest;

// Asks the server once after sign-in which booking features it offers ("bookingfeatures",
// without a window or message) and keeps the answer in the session values. A server that
// does not know the action, or any failure, leaves nothing offered. Slots the client waited
// for that have come free are told now, in one information box.
void AskBookingFeatures(const std::function<RequestOutcome(const ServerRequest &)> &run);
