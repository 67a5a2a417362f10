#include "lesson/books/zipentry.h"

#include "lang/textutil.h"

#include <QStringDecoder>

namespace {

constexpr quint16 kUtf8Names = 0x0800;
constexpr int kUnixSystem = 3;
constexpr quint32 kUnixTypeMask = 0170000;
constexpr quint32 kUnixLink = 0120000;

} // namespace

bool ZipEntry::folder() const {
    return (externalAttributes & 0x10) || storedName.endsWith('/') || storedName.endsWith('\\');
}

bool ZipEntry::symbolicLink() const {
    return (madeBy >> 8) == kUnixSystem &&
           ((externalAttributes >> 16) & kUnixTypeMask) == kUnixLink;
}

QString ZipEntry::name() const {
    if (flags & kUtf8Names)
        return QString::fromUtf8(storedName);
    // Tools that leave the flag unset often still write UTF-8; other bytes are the 8-bit
    // code page, which is seldom valid UTF-8 beyond ASCII.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(storedName);
    return utf8.hasError() ? FromWin1250(storedName) : decoded;
}

QDateTime ZipEntry::modified() const {
    const QDate date(1980 + (dosDate >> 9), (dosDate >> 5) & 0x0f, dosDate & 0x1f);
    const QTime time(dosTime >> 11, (dosTime >> 5) & 0x3f, (dosTime & 0x1f) * 2);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}
