#pragma once

#include "lesson/books/bookcatalogue.h"
#include "net/quietrequest.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

// Fetches the files of a page ahead of time — its image and its recordings that are not on
// disk yet — one at a time in the background, without any window, cursor or message, so that
// turning to that page does not wait for a download. Any failure ends the run quietly (the
// page then downloads as usual when it is shown); a file is stored whole or not at all.
class TPagePrefetch : public QObject {
    Q_OBJECT
public:
    // One file to fetch: "getbookfile" with the book, index and file type, stored at target.
    struct Item {
        int book = 0;
        int index = 0;
        int fileType = 0;
        QString target;
    };

    explicit TPagePrefetch(QObject *parent = nullptr);

    // Starts fetching what of the page is missing (a run before is cancelled).
    void Start(const tbook &book, int page);
    // Ends the run; a file on its way is not stored.
    void Cancel();
    bool IsRunning() const { return !m_items.isEmpty(); }
    // Called whenever a run ends by itself, all stored or not (for tests and measurements).
    void setOnIdle(std::function<void()> onIdle) { m_onIdle = std::move(onIdle); }

    // The files of an image book's page that are not on disk: its image, then its recordings.
    static QList<Item> MissingFiles(const tbook &book, int page);

private:
    void fetchNext();
    void received(bool completed, const QByteArray &body);
    void stop();

    QuietRequest m_request;
    QList<Item> m_items;
    std::function<void()> m_onIdle;
};
