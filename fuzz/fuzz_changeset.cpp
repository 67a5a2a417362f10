// The server's change-set reader: any packet is read into changes or refused with an error.
#include "errors/apperror.h"
#include "server/actions/changeset.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    try {
        (void)ReadChangeSet(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const AppError &) {
    }
    return 0;
}
