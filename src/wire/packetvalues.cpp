#include "wire/packetvalues.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace PacketValues {
namespace {

bool digits(std::string_view text, size_t pos, size_t count, int &value) {
    if (pos + count > text.size())
        return false;
    value = 0;
    for (size_t i = pos; i < pos + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool parseDate(std::string_view text, qint64 &days) {
    int y, m, d;
    if (!digits(text, 0, 4, y) || !digits(text, 4, 2, m) || !digits(text, 6, 2, d))
        return false;
    const QDate date(y, m, d);
    if (!date.isValid())
        return false;
    days = ToDateTimeMs(date).ms;
    return true;
}

// "hh:mm:sssss" where the last five digits are seconds * 1000 + milliseconds.
bool parseTime(std::string_view text, qint64 &ms) {
    int h, m, s;
    if (text.size() != 11 || text[2] != ':' || text[5] != ':' || !digits(text, 0, 2, h) ||
        !digits(text, 3, 2, m) || !digits(text, 6, 5, s))
        return false;
    if (h > 23 || m > 59 || s > 59999)
        return false;
    ms = (qint64(h) * 60 + m) * 60000 + s;
    return true;
}

void appendDate(QByteArray &out, const QDate &date) {
    char buffer[16];
    const int n =
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", date.year(), date.month(), date.day());
    out.append(buffer, n);
}

void appendTime(QByteArray &out, const QTime &time) {
    char buffer[16];
    const int n = std::snprintf(buffer, sizeof buffer, "%02d:%02d:%05d", time.hour(), time.minute(),
                                time.second() * 1000 + time.msec());
    out.append(buffer, n);
}

} // namespace

bool ParseInteger(std::string_view text, TFieldType type, qint64 &value) {
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    if (type == TFieldType::UI8) {
        quint64 u = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), u);
        if (r.ec != std::errc() || r.ptr != text.data() + text.size())
            return false;
        value = qint64(u);
        return true;
    }
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size())
        return false;
    qint64 low = std::numeric_limits<qint64>::min(), high = std::numeric_limits<qint64>::max();
    switch (type) {
    case TFieldType::I1:
        low = -128, high = 127;
        break;
    case TFieldType::UI1:
        low = 0, high = 255;
        break;
    case TFieldType::I2:
        low = -32768, high = 32767;
        break;
    case TFieldType::UI2:
        low = 0, high = 65535;
        break;
    case TFieldType::I4:
        low = std::numeric_limits<qint32>::min(), high = std::numeric_limits<qint32>::max();
        break;
    case TFieldType::UI4:
        low = 0, high = std::numeric_limits<quint32>::max();
        break;
    default:
        break;
    }
    return value >= low && value <= high;
}

bool ParseFloat(std::string_view text, double &value) {
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(value);
}

bool ParseBoolean(std::string_view text, bool &value) {
    auto same = [text](std::string_view word) {
        if (text.size() != word.size())
            return false;
        for (size_t i = 0; i < word.size(); ++i)
            if ((text[i] | 0x20) != word[i])
                return false;
        return true;
    };
    if (same("true")) {
        value = true;
        return true;
    }
    if (same("false")) {
        value = false;
        return true;
    }
    return false;
}

bool ParseDateTime(std::string_view text, TFieldType type, TDateTimeMs &value) {
    qint64 days = 0, ms = 0;
    switch (type) {
    case TFieldType::Date:
        if (text.size() != 8 || !parseDate(text, days))
            return false;
        value.ms = days;
        return true;
    case TFieldType::Time:
        if (!parseTime(text, ms))
            return false;
        value.ms = ms;
        return true;
    default:
        if (text.size() != 8 && (text.size() != 20 || text[8] != 'T'))
            return false;
        if (!parseDate(text.substr(0, 8), days))
            return false;
        if (text.size() == 20 && !parseTime(text.substr(9), ms))
            return false;
        value.ms = days + ms;
        return true;
    }
}

void AppendInteger(QByteArray &out, qint64 value) {
    char buffer[24];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr - buffer);
}

void AppendUnsigned(QByteArray &out, quint64 value) {
    char buffer[24];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr - buffer);
}

void AppendFloat(QByteArray &out, double value, int decimals) {
    char buffer[64];
    std::to_chars_result r;
    if (decimals > 0 && std::fabs(value) < 1e15) {
        r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                          qMin(decimals, 18));
        char *end = r.ptr;
        while (end[-1] == '0')
            --end;
        if (end[-1] == '.')
            --end;
        r.ptr = end;
        if (r.ptr - buffer == 2 && buffer[0] == '-' && buffer[1] == '0')
            r.ptr = buffer + 1, buffer[0] = '0';
    } else {
        r = std::to_chars(buffer, buffer + sizeof buffer, value);
    }
    out.append(buffer, r.ptr - buffer);
}

void AppendBoolean(QByteArray &out, bool value) {
    if (value)
        out.append("TRUE", 4);
    else
        out.append("FALSE", 5);
}

void AppendDateTime(QByteArray &out, TDateTimeMs value, TFieldType type) {
    const QTime time = TimePart(value);
    if (type == TFieldType::Time) {
        appendTime(out, time);
        return;
    }
    appendDate(out, DatePart(value));
    if (type != TFieldType::Date && time != QTime(0, 0)) {
        out.append('T');
        appendTime(out, time);
    }
}

} // namespace PacketValues
