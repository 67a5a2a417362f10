#include "base/bookingfeatures.h"

#include "base/namevaluelist.h"

#include <QRegularExpression>

namespace {

// The session values' names; prefixed so that no sign-in value is taken for them.
constexpr char kOffered[] = "booking.features";
constexpr char kDeadline[] = "booking.canceldeadlinehours";
constexpr char kLowBalance[] = "booking.lowbalancehours";
constexpr char kReminder[] = "booking.reminderhours";

int HoursOr(const QString &text, int fallback) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= 0 && value <= 24 * 14 ? value : fallback;
}

double AmountOr(const QString &text, double fallback) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && value >= 0 && value <= 1000 ? value : fallback;
}

void ReadSettings(TBookingFeatures &f, const NameValueList &values, const QString &prefix) {
    f.cancelDeadlineHours = HoursOr(values.value(prefix + QStringLiteral("canceldeadlinehours")),
                                    f.cancelDeadlineHours);
    f.lowBalanceHours =
        AmountOr(values.value(prefix + QStringLiteral("lowbalancehours")), f.lowBalanceHours);
    f.reminderHours =
        HoursOr(values.value(prefix + QStringLiteral("reminderhours")), f.reminderHours);
}

} // namespace

TBookingFeatures TBookingFeatures::Parse(const QString &lines) {
    NameValueList values;
    values.setText(lines);
    TBookingFeatures f;
    for (const QString &word :
         values.value(u"features")
             .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        f.offered.insert(word);
    ReadSettings(f, values, QString());
    const int freed = qBound(0, values.value(u"slotfreedcount").toInt(), 100);
    for (int i = 1; i <= freed; ++i) {
        const QString line = values.value(QStringLiteral("slotfreed%1").arg(i));
        const qsizetype bar = line.indexOf(u'|');
        const QDateTime when =
            QDateTime::fromString(line.left(bar), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (bar > 0 && when.isValid())
            f.freedSlots.append({when, line.mid(bar + 1)});
    }
    return f;
}

TBookingFeatures TBookingFeatures::FromSession(const NameValueList &session) {
    TBookingFeatures f;
    const QString offered = session.value(QString::fromLatin1(kOffered));
    if (offered.isEmpty())
        return f;
    for (const QString &word : offered.split(u' ', Qt::SkipEmptyParts))
        f.offered.insert(word);
    ReadSettings(f, session, QStringLiteral("booking."));
    return f;
}

void TBookingFeatures::StoreIn(NameValueList &session) const {
    QStringList words(offered.begin(), offered.end());
    words.sort();
    session.setValue(QLatin1String(kOffered), words.join(u' '));
    session.setValue(QLatin1String(kDeadline), QString::number(cancelDeadlineHours));
    session.setValue(QLatin1String(kLowBalance), QString::number(lowBalanceHours));
    session.setValue(QLatin1String(kReminder), QString::number(reminderHours));
}
