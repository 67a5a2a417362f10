#include "server/ops/metricstext.h"

#include "server/ops/histogram.h"

#include <cmath>

namespace {

QByteArray Number(double value) {
    if (std::isinf(value))
        return value > 0 ? "+Inf" : "-Inf";
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QByteArray::number(qint64(value));
    return QByteArray::number(value, 'g', 12);
}

QByteArray LabelText(const MetricsText::Labels &labels) {
    if (labels.isEmpty())
        return {};
    QByteArray text = "{";
    for (const auto &[name, value] : labels) {
        if (text.size() > 1)
            text += ',';
        text += name + "=\"" + MetricsText::EscapeLabelValue(value) + '"';
    }
    return text + '}';
}

} // namespace

QByteArray MetricsText::EscapeLabelValue(const QByteArray &value) {
    QByteArray escaped;
    escaped.reserve(value.size());
    for (const char c : value) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '"')
            escaped += "\\\"";
        else if (c == '\n')
            escaped += "\\n";
        else if (uchar(c) >= 0x20 && c != 0x7f)
            escaped += c;
    }
    return escaped;
}

void MetricsText::family(const QByteArray &name, const QByteArray &type, const QByteArray &help) {
    m_text += "# HELP " + name + ' ' + help + "\n# TYPE " + name + ' ' + type + '\n';
}

void MetricsText::sample(const QByteArray &name, const Labels &labels, double value) {
    m_text += name + LabelText(labels) + ' ' + Number(value) + '\n';
}

void MetricsText::histogram(const QByteArray &name, const Labels &labels, const Histogram &h) {
    const QList<quint64> counts = h.cumulative();
    const quint64 total = h.count();
    for (size_t i = 0; i <= Histogram::Bounds.size(); ++i) {
        Labels withBound = labels;
        const bool last = i == Histogram::Bounds.size();
        withBound.append({"le", last ? QByteArray("+Inf") : Number(Histogram::Bounds[i])});
        // A count read a moment later may be larger than a bucket's: never below them.
        sample(name + "_bucket", withBound,
               double(last ? std::max(total, counts.last()) : counts[qsizetype(i)]));
    }
    sample(name + "_sum", labels, h.sum());
    sample(name + "_count", labels, double(std::max(total, counts.last())));
}
