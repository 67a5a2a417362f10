// The relay's line buffer: bytes fed in random pieces give the same lines as fed at once,
// no line passes the limit, and the buffer never holds more than one unfinished line.
#include "fuzzcheck.h"
#include "wire/relay/relaylinebuffer.h"
#include "wire/relay/relayprotocol.h"

#include <QList>

#include <cstdint>

namespace {

QList<QByteArray> linesOf(const QByteArray &bytes, qsizetype piece, qsizetype limit) {
    RelayLineBuffer buffer(limit);
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        buffer.append(QByteArrayView(bytes).sliced(at, qMin(piece, bytes.size() - at)));
        QByteArray line;
        for (;;) {
            const RelayLineBuffer::Result r = buffer.next(line);
            if (r == RelayLineBuffer::Result::NeedMore)
                break;
            if (r == RelayLineBuffer::Result::Line) {
                FUZZ_CHECK(line.size() <= limit);
                lines.append(line);
            } else {
                lines.append(QByteArray("<too long>"));
            }
        }
        FUZZ_CHECK(buffer.pending() <= limit + 1);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    const qsizetype piece = 1 + data[0] % 64;
    const qsizetype limit = 1 + data[1] % 128;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 2, qsizetype(size) - 2);
    FUZZ_CHECK(linesOf(bytes, piece, limit) == linesOf(bytes, bytes.size() + 1, limit));
    QByteArray rest = bytes;
    while (!rest.isEmpty())
        (void)RelayProtocol::TakeField(rest);
    (void)RelayProtocol::IsClientId(bytes);
    return 0;
}
