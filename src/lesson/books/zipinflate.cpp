#include "lesson/books/zipinflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace {

// Frees the inflater on every way out.
class RawInflater {
public:
    RawInflater() { m_ready = inflateInit2(&zs, -MAX_WBITS) == Z_OK; }
    ~RawInflater() {
        if (m_ready)
            inflateEnd(&zs);
    }
    RawInflater(const RawInflater &) = delete;
    RawInflater &operator=(const RawInflater &) = delete;
    bool ready() const { return m_ready; }

    void setInput(QByteArrayView data) {
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
        zs.avail_in = uInt(std::min<qint64>(data.size(), UINT_MAX));
    }
    void setOutput(char *to, qint64 size) {
        zs.next_out = reinterpret_cast<Bytef *>(to);
        zs.avail_out = uInt(size);
    }

    z_stream zs{};

private:
    bool m_ready = false;
};

} // namespace

InflateResult RawInflate(QByteArrayView data, qint64 expectedSize, QByteArray &out) {
    out.clear();
    RawInflater inflater;
    if (!inflater.ready() || expectedSize < 0 || expectedSize > UINT_MAX)
        return InflateResult::Short;
    QByteArray buffer(expectedSize, Qt::Uninitialized);
    char spare = 0;
    inflater.setInput(data);
    inflater.setOutput(expectedSize > 0 ? buffer.data() : &spare, expectedSize);
    int rc = inflate(&inflater.zs, Z_FINISH);
    if (rc == Z_STREAM_END) {
        if (qint64(inflater.zs.total_out) != expectedSize)
            return InflateResult::Short;
    } else {
        if ((rc != Z_OK && rc != Z_BUF_ERROR) || inflater.zs.avail_out > 0)
            return InflateResult::Short;
        // The declared size is reached: one byte more would make the entry larger than said.
        inflater.setOutput(&spare, 1);
        rc = inflate(&inflater.zs, Z_FINISH);
        if (inflater.zs.avail_out == 0)
            return InflateResult::TooLarge;
        if (rc == Z_DATA_ERROR || rc == Z_MEM_ERROR || rc == Z_NEED_DICT)
            return InflateResult::Short;
    }
    out = std::move(buffer);
    return InflateResult::Exact;
}

bool MeasureDeflateStream(QByteArrayView data, qint64 maxOutput, qint64 &consumed,
                          qint64 &produced) {
    RawInflater inflater;
    if (!inflater.ready())
        return false;
    QByteArray scratch(64 * 1024, Qt::Uninitialized);
    inflater.setInput(data);
    for (;;) {
        inflater.setOutput(scratch.data(), scratch.size());
        const int rc = inflate(&inflater.zs, Z_NO_FLUSH);
        if (rc == Z_STREAM_END) {
            consumed = qint64(inflater.zs.total_in);
            produced = qint64(inflater.zs.total_out);
            return true;
        }
        if (rc != Z_OK || qint64(inflater.zs.total_out) > maxOutput)
            return false;
    }
}

quint32 Crc32Of(QByteArrayView data) {
    return quint32(crc32_z(0, reinterpret_cast<const Bytef *>(data.data()), size_t(data.size())));
}
