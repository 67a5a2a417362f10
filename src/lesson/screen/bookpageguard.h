#pragma once

#include <QString>
#include <QWebEngineUrlRequestInterceptor>

// Keeps an HTML book page inside its own book: every request of the page's browser is let
// through only when it reads a file below the book's folder (or inline data); any other file,
// and any network address (web, WebSocket), is blocked and logged.
class TBookPageGuard : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    explicit TBookPageGuard(QObject *parent = nullptr) : QWebEngineUrlRequestInterceptor(parent) {}

    // The folder whose files the pages may read.
    void setBookFolder(const QString &folder);
    // Whether a request for the address may go.
    bool allows(const QUrl &url) const;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    QString m_folder; // canonical, with a closing "/"
};
