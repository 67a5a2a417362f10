// The server's form and multipart parsing: never crashes, and a parsed form field of the
// client's encoding decodes within its own length.
#include "fuzzcheck.h"
#include "server/http/formdata.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const FormFields fields = ParseFormFields(bytes);
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        FUZZ_CHECK(FullFormDecode(it.value()).size() <= it.value().size());
    (void)JoinTransportItems(bytes);
    const qsizetype split = bytes.indexOf('\n');
    if (split >= 0) {
        const QByteArray contentType = bytes.left(split);
        const auto field = MultipartField(bytes.mid(split + 1), contentType, "deltaxml");
        if (field)
            FUZZ_CHECK(field->size() <= bytes.size());
    }
    return 0;
}
