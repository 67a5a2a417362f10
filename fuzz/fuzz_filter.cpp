// Filter expressions on a fixed table: any text either sets a filter that can be applied to
// every row or is refused with an error.
#include "data/clienttable.h"
#include "wire/packetreader.h"
#include "errors/apperror.h"

#include <cstdint>

namespace {

const char kPacket[] =
    "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"IDORDER\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"SURNAME\" fieldtype=\"string\" WIDTH=\"40\"/>"
    "<FIELD attrname=\"HOURS\" fieldtype=\"r8\"/>"
    "<FIELD attrname=\"BIG\" fieldtype=\"i8\"/>"
    "<FIELD attrname=\"WHEN\" fieldtype=\"dateTime\"/>"
    "<FIELD attrname=\"ACTIVE\" fieldtype=\"boolean\"/>"
    "</FIELDS><PARAMS/></METADATA><ROWDATA>"
    "<ROW IDORDER=\"1\" SURNAME=\"Čapek\" HOURS=\"1.5\" BIG=\"9223372036854775807\" "
    "WHEN=\"20260301T10:00:00000\" ACTIVE=\"TRUE\"/>"
    "<ROW IDORDER=\"2\" SURNAME=\"novák\" HOURS=\"-3\" BIG=\"-9223372036854775808\"/>"
    "<ROW IDORDER=\"3\"/>"
    "</ROWDATA></DATAPACKET>";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static TClientTable table;
    if (!table.Active())
        table.LoadFromBytes(QByteArrayView(kPacket));
    const QString expression =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        table.SetFiltered(false);
        table.SetFilter(expression);
        table.SetFiltered(true);
        for (table.First(); !table.Eof(); table.Next()) {
        }
    } catch (const AppError &) {
    }
    try {
        table.SetFiltered(false);
        table.SetFilter(QString());
    } catch (const AppError &) {
    }
    return 0;
}
