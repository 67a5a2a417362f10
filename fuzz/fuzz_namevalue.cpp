// The name=value session list and the settings file: text read into the list, written to a
// file and read back gives the same values.
#include "base/namevaluelist.h"
#include "fuzzcheck.h"
#include "errors/apperror.h"
#include "lang/textutil.h"
#include "net/settings/settingsfile.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    NameValueList list;
    list.setText(FromWin1250(bytes));
    const QString path = dir.filePath(QStringLiteral("fuzz.ini"));
    try {
        WriteNameValueFile(path, list);
    } catch (const AppError &) {
        return 0; // lines the file cannot hold are refused, never written changed
    }
    const NameValueList again = ReadNameValueFile(path);
    FUZZ_CHECK(again.lines() == list.lines());
    return 0;
}
