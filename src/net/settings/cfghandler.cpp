#include "net/settings/cfghandler.h"

#include "base/logging.h"

#include "lang/textutil.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

// A name part must stay a plain file name inside the store's folder.
bool safePart(const QString &part) {
    return !part.contains(u'/') && !part.contains(u'\\') && !part.contains(QChar(0));
}

} // namespace

TFileCfgHandler::TFileCfgHandler(const QString &folder) : m_folder(folder) {
    QDir().mkpath(m_folder);
}

QString TFileCfgHandler::itemPath(const QString &section, const QString &subSection,
                                  const QString &key) const {
    if (key.isEmpty() || !safePart(key) || !safePart(section) || !safePart(subSection))
        return {};
    QString name = key + u'.' + section;
    if (!subSection.isEmpty())
        name += u'.' + subSection;
    return QDir(m_folder).filePath(name);
}

bool TFileCfgHandler::Read(const QString &section, const QString &subSection, QString &text,
                           const QString &key) {
    text.clear();
    const QString path = itemPath(section, subSection, key);
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (file.size() <= 0 || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    text = FromWin1250(bytes);
    return !bytes.isEmpty();
}

bool TFileCfgHandler::Write(const QString &section, const QString &subSection, const QString &text,
                            const QString &key) {
    const QString path = itemPath(section, subSection, key);
    if (path.isEmpty() || !QDir().mkpath(m_folder)) {
        qCWarning(lcNet).noquote() << "configuration item" << section << subSection << key
                                   << "not written: no folder" << m_folder;
        return false;
    }
    const QByteArray bytes = ToWin1250(text);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    qCWarning(lcNet).noquote() << "configuration item" << path << "not written:" << file.errorString();
    return false;
}

bool TFileCfgHandler::Delete(const QString &section, const QString &subSection,
                             const QString &key) {
    const QString path = itemPath(section, subSection, key);
    return !path.isEmpty() && QFile::remove(path);
}
