#pragma once

#include <QString>
#include <QtGlobal>

// The two status lines and the bar of a request's progress display, computed from the
// exchange's events; times are milliseconds of any steady clock.
class TransferStatus {
public:
    // Transfers up to this size show only their size, no percentages.
    static constexpr qint64 kSmallTransfer = 16384;

    TransferStatus() { reset(); }

    // "Připojování k serveru..." before anything happened.
    void reset();
    void connected();
    void transferBegins(qint64 total, qint64 nowMs);
    void transferProgress(qint64 count, qint64 nowMs);
    void transferEnds(bool sending);

    const QString &upper() const { return m_upper; }
    const QString &lower() const { return m_lower; }
    qint64 barMaximum() const { return m_barMaximum; }
    qint64 barValue() const { return m_barValue; }

    // Remaining seconds as s, m:ss or h:mm:ss.
    static QString FormatRemaining(qint64 seconds);

private:
    QString m_upper;
    QString m_lower;
    qint64 m_barMaximum = 0;
    qint64 m_barValue = 0;
    qint64 m_total = 0;
    qint64 m_startMs = 0;
};
