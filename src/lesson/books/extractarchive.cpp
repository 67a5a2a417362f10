#include "lesson/books/extractarchive.h"

#include "base/logging.h"
#include "lesson/books/zippath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>

namespace {

constexpr QFile::Permissions kReadOnly =
    QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther;
constexpr QFile::Permissions kReadWrite = kReadOnly | QFile::WriteOwner | QFile::WriteUser;

QString statusText(ZipEntryStatus status) {
    switch (status) {
    case ZipEntryStatus::Ok:
        return QStringLiteral("ok");
    case ZipEntryStatus::Unsupported:
        return QStringLiteral("encrypted or of an unknown method");
    case ZipEntryStatus::NoData:
        return QStringLiteral("no local header or data past the end");
    case ZipEntryStatus::Absurd:
        return QStringLiteral("declared size beyond the bounds");
    case ZipEntryStatus::TooLarge:
        return QStringLiteral("inflates beyond its declared size");
    case ZipEntryStatus::Damaged:
        return QStringLiteral("damaged data");
    case ZipEntryStatus::BadCrc:
        return QStringLiteral("CRC-32 does not match");
    }
    return {};
}

// Writes the entries of one archive below one folder, never outside it: every folder on the
// way is created here or checked to be a real folder (a symbolic link is not followed).
class Extractor {
public:
    Extractor(const TKAZip &zip, const QString &target, const ZipLimits &limits,
              ExtractReport &report)
        : m_zip(zip), m_target(target), m_limits(limits), m_report(report) {}

    void run(qint64 archiveSize) {
        if (const ZipEntry *overlap = overlapping()) {
            m_report.error = QStringLiteral("Overlapping entries: ") + overlap->name() + u' ';
            qCWarning(lcLesson) << "archive refused:" << m_report.error;
            return;
        }
        m_budget =
            qMin(m_limits.maxTotal, qMax(m_limits.ratioFloor, archiveSize * m_limits.maxRatio));
        qsizetype count = 0;
        for (const ZipEntry &entry : m_zip.entries()) {
            if (++count > m_limits.maxEntries) {
                skip(entry, QStringLiteral("beyond the bound on the number of entries"));
                break;
            }
            if (!extract(entry))
                break;
        }
    }

private:
    // An entry whose data shares bytes with another's (one compressed stream read as many
    // files): no sound archive has them.
    const ZipEntry *overlapping() const {
        QList<const ZipEntry *> located;
        for (const ZipEntry &entry : m_zip.entries())
            if (entry.dataOffset >= 0 && !entry.folder())
                located.append(&entry);
        std::sort(located.begin(), located.end(), [](const ZipEntry *a, const ZipEntry *b) {
            return a->localOffset < b->localOffset;
        });
        qint64 end = 0;
        for (const ZipEntry *entry : located) {
            if (qint64(entry->localOffset) < end)
                return entry;
            end = entry->dataOffset + qint64(entry->compressedSize);
        }
        return nullptr;
    }

    // False when the extraction stops at this entry.
    bool extract(const ZipEntry &entry) {
        const QString path = ZipTargetPath(entry.name());
        if (entry.symbolicLink())
            return skip(entry, QStringLiteral("symbolic link"));
        if (entry.folder()) {
            if (!path.isEmpty() && !ensureFolder(path))
                skip(entry, QStringLiteral("folder cannot be created inside the target"));
            return true;
        }
        if (path.isEmpty())
            return skip(entry, QStringLiteral("name outside the target folder"));
        const qsizetype slash = path.lastIndexOf(u'/');
        if (slash > 0 && !ensureFolder(path.left(slash)))
            return skip(entry, QStringLiteral("folder cannot be created inside the target"));
        if (qint64(entry.size) > m_budget - m_total)
            return skip(entry, QStringLiteral("beyond the bound on bytes written"));
        QByteArray content;
        const ZipEntryStatus status = m_zip.read(entry, content);
        if (status == ZipEntryStatus::Unsupported) {
            m_report.error = QStringLiteral("Cannot process this file: ") + entry.name() + u' ';
            qCWarning(lcLesson) << "extraction stopped:" << m_report.error;
            return false;
        }
        if (status != ZipEntryStatus::Ok)
            return skip(entry, statusText(status));
        if (!write(path, entry, content))
            return skip(entry, QStringLiteral("cannot be written"));
        m_total += content.size();
        m_report.written.append(path);
        return true;
    }

    bool skip(const ZipEntry &entry, const QString &reason) {
        m_report.skipped.append(entry.name() + QStringLiteral(": ") + reason);
        qCWarning(lcLesson) << "archive entry skipped:" << entry.name() << reason;
        return true;
    }

    bool ensureFolder(const QString &relative) {
        if (m_folders.contains(relative))
            return true;
        QString walked;
        for (const QString &part : relative.split(u'/')) {
            walked += (walked.isEmpty() ? QString() : QStringLiteral("/")) + part;
            if (m_folders.contains(walked))
                continue;
            const QFileInfo info(m_target.filePath(walked));
            if (info.isSymLink() || (info.exists() && !info.isDir()))
                return false;
            if (!info.exists() && !m_target.mkdir(walked))
                return false;
            m_folders.insert(walked);
        }
        return true;
    }

    // Writes the file whole under a temporary name beside it and renames it into place, which
    // replaces an old file (or a link) without writing through it. Not synced to disk file by
    // file: an archive is extracted again when its start page is missing.
    bool write(const QString &relative, const ZipEntry &entry, const QByteArray &content) {
        const QString path = m_target.filePath(relative);
        if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
            return false;
        QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
        if (!file.open() || file.write(content) != content.size() || !file.flush())
            return false;
        const QDateTime modified = entry.modified();
        if (modified.isValid())
            file.setFileTime(modified, QFileDevice::FileModificationTime);
        file.setPermissions(entry.readOnly() ? kReadOnly : kReadWrite);
        file.close();
        if (std::rename(QFile::encodeName(file.fileName()).constData(),
                        QFile::encodeName(path).constData()) != 0)
            return false;
        file.setAutoRemove(false);
        return true;
    }

    const TKAZip &m_zip;
    const QDir m_target;
    const ZipLimits m_limits;
    ExtractReport &m_report;
    QSet<QString> m_folders;
    qint64 m_total = 0;
    qint64 m_budget = 0;
};

} // namespace

int ExtractArchive(const QString &archivePath, const QString &targetFolder, ExtractReport *report,
                   const ZipLimits &limits) {
    ExtractReport ownReport;
    ExtractReport &result = report ? *report : ownReport;
    result = ExtractReport();
    if (!QFileInfo::exists(archivePath))
        return erArchiveMissing;
    if (!QFileInfo(targetFolder).isDir())
        return erTargetMissing;
    QFile file(archivePath);
    if (!file.open(QIODevice::ReadOnly))
        return erCannotOpen;
    QByteArray copy;
    QByteArrayView bytes;
    if (file.size() > 0) {
        if (const uchar *mapped = file.map(0, file.size()))
            bytes = QByteArrayView(mapped, file.size());
        else
            bytes = copy = file.readAll();
    }
    const TKAZip zip(bytes, limits);
    if (zip.badEntries())
        qCWarning(lcLesson) << "archive" << archivePath << "has bad entries";
    Extractor(zip, targetFolder, limits, result).run(bytes.size());
    return 0;
}
