#pragma once

#include <QStackedWidget>

class QLabel;
class QScrollArea;
class QWebEngineView;
class TBookPageGuard;

// The page area of the lesson screen: the picture of an image book's page in a scroll box, or
// the browser of an HTML book (made on first use), with the browser's history for paging.
class TLessonPageView : public QStackedWidget {
    Q_OBJECT
public:
    explicit TLessonPageView(QWidget *parent = nullptr);

    QScrollArea *ScrollBox1;
    QLabel *Image1;

    // Empties the picture and scrolls back to the top left.
    void clearPicture();
    // Shows the picture in the file (nothing when it cannot be read).
    void showImage(const QString &file);
    // Shows the HTML page in the file in the browser.
    void showHtml(const QString &file);
    QWebEngineView *browser() const { return m_wb; }
    QWebEngineView *ensureBrowser();
    bool canGoBack() const { return m_back; }
    bool canGoForward() const { return m_forward; }
    // Forgets the browser's paging state (screen start).
    void resetHistory() { m_back = m_forward = false; }
    // Scrolls the picture by a wheel turn.
    void scrollBy(int delta);

signals:
    // The browser's history changed: back and forward may now be possible or not.
    void historyChanged();
    void titleChanged(const QString &title);

private:
    void updateHistory();

    QWebEngineView *m_wb = nullptr;
    TBookPageGuard *m_guard = nullptr;
    bool m_back = false;
    bool m_forward = false;
};
