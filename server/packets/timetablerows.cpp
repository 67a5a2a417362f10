#include "server/packets/timetablerows.h"

#include "server/packets/packettext.h"

namespace {

constexpr std::string_view kRowStart = "<ROW";
constexpr std::string_view kIdStart = "<ROW IDTIMETABLE=\"";
constexpr std::string_view kWhenStart = "\" WHENHOUR=\"";

} // namespace

bool TimetableRows::read(QByteArray text, qsizetype from) {
    m_text = std::move(text);
    m_from = from;
    m_rows.clear();
    const QByteArrayView all(m_text);
    qsizetype begin = from;
    while (begin < all.size()) {
        // Texts inside a row escape "<", so each "<ROW" starts a row.
        qsizetype next = all.indexOf(QByteArrayView(kRowStart.data(), 4), begin + 1);
        if (next < 0)
            next = all.size();
        if (!readRow(begin, next))
            return false;
        begin = next;
    }
    for (int i = 1; i < count(); ++i) {
        if (!before(i - 1, *this, i))
            return false;
    }
    return true;
}

bool TimetableRows::readRow(qsizetype begin, qsizetype end) {
    const std::string_view row(m_text.constData() + begin, size_t(end - begin));
    if (row.substr(0, kIdStart.size()) != kIdStart)
        return false;
    size_t at = kIdStart.size();
    qint64 id = 0;
    const size_t digitsAt = at;
    while (at < row.size() && row[at] >= '0' && row[at] <= '9' && at - digitsAt < 18)
        id = id * 10 + (row[at++] - '0');
    if (at == digitsAt || row.substr(at, kWhenStart.size()) != kWhenStart)
        return false;
    at += kWhenStart.size();
    const size_t whenEnd = row.find('"', at);
    if (whenEnd == std::string_view::npos)
        return false;
    m_rows.push_back({end, begin + qsizetype(at), qsizetype(whenEnd - at), id});
    return true;
}

std::string_view TimetableRows::when(int row) const {
    const Row &r = m_rows[size_t(row)];
    return {m_text.constData() + r.whenAt, size_t(r.whenSize)};
}

bool TimetableRows::before(int a, const TimetableRows &other, int b) const {
    const int order = when(a).compare(other.when(b));
    return order < 0 || (order == 0 && id(a) < other.id(b));
}

int TimetableRows::firstFrom(std::string_view moment) const {
    int low = 0, high = count();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (when(mid) < moment)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

QByteArrayView TimetableRows::text(int from, int to) const {
    const qsizetype begin = from == 0 ? m_from : m_rows[size_t(from - 1)].end;
    const qsizetype end = to == 0 ? m_from : m_rows[size_t(to - 1)].end;
    return QByteArrayView(m_text).sliced(begin, end - begin);
}

QByteArray TimetableRows::WhenForm(const QDateTime &moment) {
    const QByteArray stored = moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")).toLatin1();
    char buffer[PacketText::kNumberRoom];
    const char *end = PacketText::WriteStoredDateTime(buffer, {stored.constData(), size_t(stored.size())});
    return end ? QByteArray(buffer, end - buffer) : QByteArray();
}
