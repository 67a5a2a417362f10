// ZIP reading: the directory of any bytes, every entry's content within small bounds, and the
// place each stored name would be written.
#include "fuzzcheck.h"
#include "lesson/books/ziparchive.h"
#include "lesson/books/zipinflate.h"
#include "lesson/books/zippath.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ZipLimits limits;
    limits.maxEntrySize = qint64(1) << 20;
    const TKAZip zip(bytes, limits);
    for (const ZipEntry &entry : zip.entries()) {
        QByteArray content;
        const ZipEntryStatus status = zip.read(entry, content);
        if (status == ZipEntryStatus::Ok) {
            FUZZ_CHECK(content.size() == qsizetype(entry.size));
            FUZZ_CHECK(Crc32Of(content) == entry.crc);
        } else {
            FUZZ_CHECK(content.isEmpty());
        }
        const QString path = ZipTargetPath(entry.name());
        FUZZ_CHECK(!path.startsWith(u'/'));
        for (const QString &part : path.split(u'/'))
            FUZZ_CHECK(part != u".." && part != u"." && (path.isEmpty() || !part.isEmpty()));
        FUZZ_CHECK(!path.contains(u'\\') && !path.contains(QChar(0)));
    }
    return 0;
}
