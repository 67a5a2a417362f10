#include "output/report/reportdefinition.h"

#include "errors/apperror.h"
#include "lang/texts.h"

#include <QDataStream>
#include <QIODevice>

namespace {

constexpr quint32 kMagic = 0x54525054; // "TRPT"
constexpr quint16 kVersion = 2;

} // namespace

// The parts of a definition in the byte stream (found by argument-dependent lookup).

static QDataStream &operator<<(QDataStream &out, const TReportText &t) {
    return out << quint8(t.kind) << t.text << t.left << t.top << t.width << t.bold << t.underline
               << quint8(t.alignment) << t.format << t.wrap;
}

static QDataStream &operator>>(QDataStream &in, TReportText &t) {
    quint8 kind = 0, alignment = 0;
    in >> kind >> t.text >> t.left >> t.top >> t.width >> t.bold >> t.underline >> alignment >>
        t.format >> t.wrap;
    t.kind = TReportTextKind(std::min<quint8>(kind, quint8(TReportTextKind::PageNumber)));
    t.alignment = TOutputAlignment(std::min<quint8>(alignment, quint8(TOutputAlignment::Center)));
    return in;
}

static QDataStream &operator<<(QDataStream &out, const TReportLine &l) {
    return out << l.left << l.top << l.width << l.points;
}

static QDataStream &operator>>(QDataStream &in, TReportLine &l) {
    return in >> l.left >> l.top >> l.width >> l.points;
}

namespace {

// A list as its length and its entries; a length past any sane report ends the reading.
template <typename T> void writeList(QDataStream &out, const QList<T> &list) {
    out << quint32(list.size());
    for (const T &entry : list)
        out << entry;
}

template <typename T> void readList(QDataStream &in, QList<T> &list) {
    constexpr quint32 kMaxEntries = 100000;
    quint32 count = 0;
    in >> count;
    if (count > kMaxEntries) {
        in.setStatus(QDataStream::ReadCorruptData);
        return;
    }
    list.clear();
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        T entry;
        in >> entry;
        list.append(entry);
    }
}

} // namespace

static QDataStream &operator<<(QDataStream &out, const TReportBand &b) {
    out << quint8(b.kind) << b.height;
    writeList(out, b.texts);
    writeList(out, b.lines);
    return out;
}

static QDataStream &operator>>(QDataStream &in, TReportBand &b) {
    quint8 kind = 0;
    in >> kind >> b.height;
    readList(in, b.texts);
    readList(in, b.lines);
    b.kind = TReportBandKind(std::min<quint8>(kind, quint8(TReportBandKind::Summary)));
    return in;
}

const TReportBand *TReportDefinition::Band(TReportBandKind kind) const {
    for (const TReportBand &band : bands)
        if (band.kind == kind)
            return &band;
    return nullptr;
}

QByteArray TReportDefinition::Save() const {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << kMagic << kVersion << name << qint32(orientation) << pageWidth << pageHeight
        << marginLeft << marginTop << marginRight << marginBottom << fontPoints << pageNumber;
    writeList(out, bands);
    out << notFitting;
    return bytes;
}

TReportDefinition TReportDefinition::Load(const QByteArray &bytes) {
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    quint16 version = 0;
    in >> magic >> version;
    TReportDefinition d;
    qint32 orientation = 0;
    if (magic == kMagic && version == kVersion) {
        in >> d.name >> orientation >> d.pageWidth >> d.pageHeight >> d.marginLeft >> d.marginTop >>
            d.marginRight >> d.marginBottom >> d.fontPoints >> d.pageNumber;
        readList(in, d.bands);
        in >> d.notFitting;
    }
    if (magic != kMagic || version != kVersion || in.status() != QDataStream::Ok)
        throw AppError(AppText(1710));
    d.orientation = orientation;
    return d;
}
