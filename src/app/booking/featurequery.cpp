#include "app/booking/featurequery.h"

#include "base/bookingfeatures.h"
#include "base/logging.h"
#include "base/session.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/requestoutcome.h"
#include "net/serverrequest.h"
#include "seam/messagebox.h"
#include "wire/actionnames.h"

#include <QLocale>

namespace {

void TellFreedSlots(const QList<TBookingFeatures::FreedSlot> &slotsFreed) {
    if (slotsFreed.isEmpty())
        return;
    QString text = AppText(1931);
    for (const TBookingFeatures::FreedSlot &slot : slotsFreed)
        text += QStringLiteral("\r\n") +
                FormatText(AppText(1932),
                           {QLocale().toString(slot.when, QLocale::ShortFormat), slot.teacher});
    AppMessageBox(text, mtInformation, mbOK);
}

} // namespace

void AskBookingFeatures(const std::function<RequestOutcome(const ServerRequest &)> &run) {
    ServerRequest request;
    request.action = QString::fromLatin1(ActionNames::BookingFeatures);
    const RequestOutcome outcome = run(request);
    const std::optional<QByteArray> payload =
        outcome.ok() ? ReplyPayload(outcome.reply) : std::optional<QByteArray>();
    if (!payload) {
        // An older server: its unknown-action answer means it offers none of the features.
        qCInfo(lcApp) << "The server offers no booking features (result" << outcome.result << ")";
        return;
    }
    const TBookingFeatures features = TBookingFeatures::Parse(ReplyText(*payload));
    features.StoreIn(SessionValues());
    TellFreedSlots(features.freedSlots);
}
