#include "net/transferstatus.h"

#include "lang/texts.h"
#include "lang/textutil.h"

#include <QLocale>

namespace {

// The locale's separator between hours, minutes and seconds.
QString timeSeparator() {
    const QString format = QLocale().timeFormat(QLocale::ShortFormat);
    for (QChar c : format) {
        if (!c.isLetter() && !c.isSpace())
            return QString(c);
    }
    return QStringLiteral(":");
}

} // namespace

void TransferStatus::reset() {
    m_upper = AppText(148);
    m_lower.clear();
    m_barMaximum = 0;
    m_barValue = 0;
    m_total = 0;
    m_startMs = 0;
}

void TransferStatus::connected() {
    m_upper = AppText(149);
    m_lower.clear();
}

void TransferStatus::transferBegins(qint64 total, qint64 nowMs) {
    m_total = qMax<qint64>(total, 0);
    m_startMs = nowMs;
    m_barMaximum = m_total;
    m_barValue = 0;
    m_upper = FormatText(AppText(150), {m_total / 1024});
    m_lower.clear();
}

void TransferStatus::transferProgress(qint64 count, qint64 nowMs) {
    if (m_total <= kSmallTransfer)
        return;
    m_upper = FormatText(AppText(151), {count * 100 / m_total, count / 1024, m_total / 1024});
    const qint64 elapsed = nowMs - m_startMs;
    if (elapsed <= 0 || count <= 0) {
        m_lower.clear();
    } else {
        const double speed = double(count) / double(elapsed) * 1000.0; // bytes per second
        const qint64 remaining = qMax<qint64>(0, qint64(double(m_total - count) / speed));
        m_lower = FormatText(
            AppText(152), {QLocale().toString(speed / 1024.0, 'f', 1), FormatRemaining(remaining)});
    }
    m_barValue = qBound<qint64>(0, count, m_total);
}

void TransferStatus::transferEnds(bool sending) {
    if (sending)
        m_upper = AppText(153);
    m_lower.clear();
    m_barValue = 0;
}

QString TransferStatus::FormatRemaining(qint64 seconds) {
    const QString sep = timeSeparator();
    const auto two = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    if (seconds < 60)
        return QString::number(seconds);
    if (seconds < 3600)
        return QString::number(seconds / 60) + sep + two(seconds % 60);
    return QString::number(seconds / 3600) + sep + two(seconds / 60 % 60) + sep + two(seconds % 60);
}
