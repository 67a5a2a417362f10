// Data packets: load, write in both encodings and read back equal, edit the first row and
// read the change set as a packet again.
#include "data/clienttable.h"
#include "data/field.h"
#include "data/nullmarkers.h"
#include "wire/packetreader.h"
#include "wire/packetwriter.h"
#include "fuzzcheck.h"
#include "errors/apperror.h"

#include <cstdint>

namespace {

void editFirstRow(TClientTable &table) {
    if (table.RecordCount() == 0 || table.FieldCount() < 2)
        return;
    table.First();
    table.Edit();
    TField field = table.Field(table.FieldCount() - 1);
    field.SetAsString(field.AsString() + QStringLiteral("ž"));
    table.Post();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TTableContent content;
    try {
        content = ReadDataPacket(bytes);
    } catch (const AppError &) {
        return 0; // refused cleanly
    }
    for (TPacketEncoding encoding : {TPacketEncoding::Utf8, TPacketEncoding::SingleByte}) {
        QByteArray written;
        try {
            written = WriteDataPacket(content, encoding);
        } catch (const AppError &) {
            continue; // a text the encoding cannot carry is refused, not written changed
        }
        TTableContent again;
        try {
            again = ReadDataPacket(written);
        } catch (const AppError &error) {
            std::fprintf(stderr, "written packet unreadable: %s\n", error.what());
            std::abort();
        }
        FUZZ_CHECK(again.fields.size() == content.fields.size());
        FUZZ_CHECK(again.rows.size() == content.rows.size());
        FUZZ_CHECK(WriteDataPacket(again, encoding) == written);
    }
    try {
        TClientTable table;
        table.LoadFromBytes(bytes);
        editFirstRow(table);
        if (table.ChangeCount() > 0)
            (void)ReadDataPacket(ChangeSetWithNullMarkers(table));
    } catch (const AppError &) {
        // An edit the field refuses (too long, wrong type) is a clean refusal.
    }
    return 0;
}
