// Reply decoding: inflating a zlib stream (bounded, round trip of what inflates), splitting a
// reply into packet sections, and reading an apply reply.
#include "wire/packetframing.h"
#include "fuzzcheck.h"
#include "errors/apperror.h"
#include "wire/compression.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto inflated = InflateStream(bytes, qsizetype(1) << 20)) {
        FUZZ_CHECK(inflated->size() <= (qsizetype(1) << 20));
        const QByteArray again = CompressText(*inflated, 6);
        FUZZ_CHECK(InflateStream(again, qsizetype(1) << 20) == *inflated);
    }
    try {
        (void)DecompressText(bytes);
    } catch (const AppError &) {
    }
    QByteArray rest = bytes;
    qsizetype before = rest.size() + 1;
    while (!rest.isEmpty()) {
        FUZZ_CHECK(rest.size() < before); // every split consumes
        before = rest.size();
        (void)NextPacketSection(rest);
    }
    try {
        (void)ParseApplyReply(bytes);
    } catch (const AppError &) {
    }
    return 0;
}
