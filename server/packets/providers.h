#pragma once

#include "server/actions/actioncontext.h"
#include "server/packets/packetoutput.h"
#include "server/packets/packetrows.h"

// "mybasegetrecords": the provider's rows as one packet, "okzip".
ActionReply GetRecordsAction(ActionContext &ctx);
// "mybaseapplyupdates": applies the change set in "deltaxml" as one transaction under the
// provider's rules; "ok", the applied count, "|" and, when asked for, the provider's rows.
ActionReply ApplyUpdatesAction(ActionContext &ctx);
// The rows of a provider by name; raises Refusal for an unknown provider.
void FetchProvider(ActionContext &ctx, const QString &name, PacketRows &rows);
// The provider's packet written to the output.
void WriteProviderPacket(ActionContext &ctx, const QString &name, PacketOutput &out);
