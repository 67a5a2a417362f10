#pragma once

#include <QByteArray>
#include <QList>
#include <utility>

class Histogram;

// Writes metrics in the plain text format that monitoring systems scrape: one "# HELP" and
// "# TYPE" head per family, then its samples, label values escaped (backslash, quote, line
// feed) and every other control character left out.
class MetricsText {
public:
    using Labels = QList<std::pair<QByteArray, QByteArray>>;

    // Starts a family: type is "counter", "gauge" or "histogram".
    void family(const QByteArray &name, const QByteArray &type, const QByteArray &help);
    void sample(const QByteArray &name, const Labels &labels, double value);
    // The buckets, sum and count of one histogram of the current family.
    void histogram(const QByteArray &name, const Labels &labels, const Histogram &h);
    const QByteArray &text() const { return m_text; }

    static QByteArray EscapeLabelValue(const QByteArray &value);

private:
    QByteArray m_text;
};
