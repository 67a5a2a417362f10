#include "bookpageguard.h"

#include "base/logging.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

void TBookPageGuard::setBookFolder(const QString &folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    m_folder = canonical.isEmpty() ? QString() : canonical + u'/';
}

bool TBookPageGuard::allows(const QUrl &url) const {
    const QString scheme = url.scheme().toLower();
    if (scheme == u"data" || scheme == u"blob" || scheme == u"about")
        return true;
    if (scheme != u"file" || m_folder.isEmpty())
        return false;
    // Links and "..", resolved, must still end inside the folder; a missing file is judged by
    // its folder.
    const QFileInfo info(url.toLocalFile());
    QString path = info.canonicalFilePath();
    if (path.isEmpty()) {
        const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
        if (parent.isEmpty())
            return false;
        path = parent + u'/' + info.fileName();
    }
    return path.startsWith(m_folder);
}

void TBookPageGuard::interceptRequest(QWebEngineUrlRequestInfo &info) {
    if (allows(info.requestUrl()))
        return;
    qCWarning(lcLesson) << "book page request refused:" << info.requestUrl().toString()
                        << "(outside the book's folder)";
    info.block(true);
}
