#include "lesson/books/pageprefetch.h"

#include "base/logging.h"
#include "lesson/books/bookfilestore.h"

#include <QFileInfo>

TPagePrefetch::TPagePrefetch(QObject *parent) : QObject(parent), m_request(this) {}

QList<TPagePrefetch::Item> TPagePrefetch::MissingFiles(const tbook &book, int page) {
    QList<Item> items;
    if (book.html || page < book.firstPage || page > book.lastPage)
        return items;
    const auto add = [&](int index, int fileType) {
        const QString target = BookCatalogue::BookFilePath(book.number, index, fileType);
        if (!QFileInfo::exists(target))
            items.append({book.number, index, fileType, target});
    };
    add(page, PageImage);
    for (int recording : PageRecordings(book, page))
        add(recording, Recording);
    return items;
}

void TPagePrefetch::Start(const tbook &book, int page) {
    Cancel();
    m_items = MissingFiles(book, page);
    if (m_items.isEmpty())
        stop();
    else
        fetchNext();
}

void TPagePrefetch::Cancel() {
    m_request.cancel();
    m_items.clear();
}

void TPagePrefetch::fetchNext() {
    const Item &item = m_items.first();
    ServerRequest call;
    call.action = QStringLiteral("getbookfile");
    call.data = QStringLiteral("bookid=%1&fileid=%2&filetype=%3")
                    .arg(item.book)
                    .arg(item.index)
                    .arg(item.fileType)
                    .toLatin1();
    m_request.start(call,
                    [this](bool completed, const QByteArray &body) { received(completed, body); });
}

void TPagePrefetch::received(bool completed, const QByteArray &body) {
    const Item item = m_items.takeFirst();
    // Only a whole file counts: a refusal begins with "error", and an empty body is no file.
    const bool file = completed && !body.isEmpty() && !body.startsWith("error");
    // Shown in the meantime (downloaded in the foreground): the file there is kept.
    const bool stored =
        file && (QFileInfo::exists(item.target) || StoreBookFile(body, item.target, item.fileType));
    if (!stored) {
        qCInfo(lcLesson).noquote() << "Fetching ahead stopped at" << item.target;
        m_items.clear();
    }
    if (m_items.isEmpty())
        stop();
    else
        fetchNext();
}

void TPagePrefetch::stop() {
    m_items.clear();
    if (m_onIdle)
        m_onIdle();
}
